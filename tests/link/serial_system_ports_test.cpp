// What every backend shares: the Win32 device names and a refused open. A whole transfer through
// the Win32 backend is proven against the simulator under Wine (tools/wine_run.sh).
#include <gtest/gtest.h>

#include <climits>

#include "link/port_names.h"
#include "link/serial_line.h"

namespace quorvex {
namespace {

TEST(PortNames, Win32DeviceNameCarriesTheNumberAsWritten) {
  EXPECT_EQ(Win32ComDeviceName(3), "\\\\?\\COM3");
  EXPECT_EQ(Win32ComDeviceName(10), "\\\\?\\COM10");
  EXPECT_EQ(Win32ComDeviceName(-1), "\\\\?\\COM-1");
  EXPECT_EQ(Win32ComDeviceName(0), "\\\\?\\COM0");
}

// No COM port of these numbers exists on the machines that run the suites; the open must say
// so instead of handing out a line whose every byte fails.
TEST(SystemSerialPorts, NumbersWithoutAPortOpenNothing) {
  const auto ports = MakeSystemSerialPorts();
  for (int n : {-1, 0, 256, 254, INT_MIN}) {
    EXPECT_EQ(ports->Open(n), nullptr) << n;
    EXPECT_FALSE(ports->Probe(n)) << n;
  }
}

}  // namespace
}  // namespace quorvex
