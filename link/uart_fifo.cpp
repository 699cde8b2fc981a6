// The 1-byte receive trigger asked of a PC's own UART, said once per open.
#include "link/uart_fifo.h"

namespace quorvex {

FifoAnswer AskOneByteTrigger(FifoControlIo& io, const std::string& port, const LineReport& report) {
  const unsigned long error = io.Set(kOneByteTrigger);
  FifoAnswer answer = FifoAnswer::kGranted;
  std::string said = "a 1-byte receive trigger asked of the UART and granted until the port closes";
  if (error == kErrorInvalidParameter || error == kErrorNotSupported ||
      error == kErrorInvalidFunction) {
    answer = FifoAnswer::kRefused;
    said = "the driver sets no UART receive trigger (error " + std::to_string(error) +
           "); the port is used as it is";
  } else if (error != 0) {
    answer = FifoAnswer::kFailed;
    said = "asking the UART for a 1-byte receive trigger failed with error " +
           std::to_string(error) + "; the port is used as it is";
  }
  if (report) report(port + ": " + said);
  return answer;
}

}  // namespace quorvex
