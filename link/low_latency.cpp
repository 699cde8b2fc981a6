// Low latency asked of the driver for one open port and given back, said once per open.
#include "link/low_latency.h"

#include <cstring>

namespace quorvex {

namespace {

void Tell(const LineReport& report, const std::string& text) {
  if (report) report(text);
}

}  // namespace

LowLatency::LowLatency(SerialFlagsIo& io, const std::string& port, const LineReport& report)
    : io_(io) {
  int error = io_.Get(oldFlags_);
  if (error == 0 && (oldFlags_ & kLowLatencyFlag) != 0) {
    Tell(report, port + ": the driver delivers received bytes at once already (low latency)");
    return;
  }
  if (error == 0) error = io_.Set(oldFlags_ | kLowLatencyFlag);
  if (error != 0) {
    Tell(report, port + ": the driver offers no low latency mode (" + std::strerror(error) +
                     "); the port is used as it is");
    return;
  }
  changed_ = true;
  Tell(report, port + ": low latency asked of the driver and granted until the port closes");
}

LowLatency::~LowLatency() {
  // Other programs on this port expect the driver as it was.
  if (changed_) io_.Set(oldFlags_);
}

}  // namespace quorvex
