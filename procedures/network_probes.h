// Device server ports probed side by side: each on a thread of its own, so that a sweep over
// many servers, some of them silent, takes about one connect time-out whatever their number.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>

#include "link/network_port.h"

namespace quorvex {

struct ProbeAnswer {
  int comNumber = 0;
  NetworkEndpoint endpoint;
  bool answers = false;
  std::string reason;  // why it does not, as the connect tells it
};

// Probes started here report to `report`, each once, on its own thread, as long as this object
// lives. The destructor waits for no probe (a silent server holds one for the whole connect
// time-out), only for a report being made at that moment; none comes after it.
class NetworkProbes {
 public:
  using Report = std::function<void(const ProbeAnswer&)>;
  explicit NetworkProbes(Report report);
  ~NetworkProbes();
  NetworkProbes(const NetworkProbes&) = delete;
  NetworkProbes& operator=(const NetworkProbes&) = delete;

  // Asks the server of COM n aside. When no thread can be had, that is reported at once, from
  // here, as the server's answer: it was not asked.
  void Start(int comNumber, const NetworkEndpoint& endpoint);

 private:
  struct Shared;
  std::shared_ptr<Shared> shared_;
};

// Every assigned server asked side by side; returns each one's answer, within a little more than
// one connect time-out.
std::map<int, ProbeAnswer> ProbeAll(const NetworkAssignments& assignments);

}  // namespace quorvex
