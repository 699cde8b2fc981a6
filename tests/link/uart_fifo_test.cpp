// The 1-byte receive trigger asked of a PC's own UART: once per request, a refusal no error.
#include "link/uart_fifo.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quorvex {
namespace {

// A driver that answers every request with `error` and records what it was asked.
class RecordingFifoControl : public FifoControlIo {
 public:
  unsigned long error = 0;
  std::vector<unsigned long> asked;

  unsigned long Set(unsigned long fifoControl) override {
    asked.push_back(fifoControl);
    return error;
  }
};

TEST(UartFifo, EachOpenAsksOnceForTheOneByteTriggerAndARefusalIsNoError) {
  struct Case {
    std::string name;
    unsigned long error;
    FifoAnswer answer;
    std::string said;  // part of the one line the report gets
  };
  const std::vector<Case> cases{
      {"Windows' serial driver", 0, FifoAnswer::kGranted, "granted until the port closes"},
      // Wine, and a USB adapter's driver without a UART.
      {"Wine", 87, FifoAnswer::kRefused, "no UART receive trigger (error 87); the port is used"},
      {"no such request", 1, FifoAnswer::kRefused, "no UART receive trigger (error 1)"},
      {"not supported", 50, FifoAnswer::kRefused, "no UART receive trigger (error 50)"},
      // The device went away between the open and the request.
      {"failing", 22, FifoAnswer::kFailed, "failed with error 22; the port is used as it is"},
  };
  for (const Case& c : cases) {
    RecordingFifoControl io;
    io.error = c.error;
    std::vector<std::string> report;
    EXPECT_EQ(AskOneByteTrigger(io, "COM1", [&](std::string_view s) { report.emplace_back(s); }),
              c.answer)
        << c.name;
    // FIFO on, both FIFOs emptied, both trigger bits clear: one byte.
    EXPECT_EQ(io.asked, std::vector<unsigned long>{0x07}) << c.name;
    ASSERT_EQ(report.size(), 1u) << c.name;
    EXPECT_EQ(report[0].rfind("COM1: ", 0), 0u) << report[0];
    EXPECT_NE(report[0].find(c.said), std::string::npos) << report[0];
  }
}

}  // namespace
}  // namespace quorvex
