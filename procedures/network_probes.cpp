// Device server ports probed side by side, each on a thread of its own.
#include "procedures/network_probes.h"

#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>
#include <utility>

#include "link/network_line.h"

namespace quorvex {

namespace {

// A probe ends by the connect time-out (3 s); the rest covers starting many threads at once on a
// busy machine. What has not answered by then is told as the silent server it most likely is.
constexpr std::chrono::milliseconds kPatience{3500};

}  // namespace

// Held by every probe thread, so it outlives the object that started them.
struct NetworkProbes::Shared {
  std::mutex mutex;
  Report report;  // empty once the object is gone

  void Deliver(const ProbeAnswer& answer) {
    const std::lock_guard<std::mutex> lock(mutex);
    if (report) report(answer);
  }
};

NetworkProbes::NetworkProbes(Report report) : shared_(std::make_shared<Shared>()) {
  shared_->report = std::move(report);
}

NetworkProbes::~NetworkProbes() {
  const std::lock_guard<std::mutex> lock(shared_->mutex);
  shared_->report = nullptr;
}

void NetworkProbes::Start(int comNumber, const NetworkEndpoint& endpoint) {
  try {
    // Detached: nobody waits for a silent server. The thread touches only what it holds.
    std::thread([shared = shared_, comNumber, endpoint] {
      ProbeAnswer answer{comNumber, endpoint, false, {}};
      answer.answers = ProbeNetworkPort(endpoint, answer.reason);
      shared->Deliver(answer);
    }).detach();
  } catch (const std::exception& e) {
    // Out of threads: this server is not asked, and the program goes on.
    shared_->Deliver({comNumber, endpoint, false, std::string("not asked: ") + e.what()});
  }
}

std::map<int, ProbeAnswer> ProbeAll(const NetworkAssignments& assignments) {
  std::mutex mutex;
  std::condition_variable arrived;
  std::map<int, ProbeAnswer> answers;
  {
    NetworkProbes probes([&](const ProbeAnswer& answer) {
      const std::lock_guard<std::mutex> lock(mutex);
      answers[answer.comNumber] = answer;
      arrived.notify_all();
    });
    for (const auto& [comNumber, endpoint] : assignments) probes.Start(comNumber, endpoint);
    std::unique_lock<std::mutex> lock(mutex);
    arrived.wait_for(lock, kPatience, [&] { return answers.size() == assignments.size(); });
  }  // from here on no probe reports any more
  for (const auto& [comNumber, endpoint] : assignments) {
    if (answers.count(comNumber) == 0) {
      answers[comNumber] = {comNumber, endpoint, false, "no answer within 3 s"};
    }
  }
  return answers;
}

}  // namespace quorvex
