// What every backend shares: the Win32 device names and a refused open. A whole transfer through
// the Win32 backend is proven against the simulator under Wine (tools/wine_run.sh).
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

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

#ifdef _WIN32
// A refused open tells the debug log which call failed and why; the availability sweep over all
// numbers tells nothing.
TEST(SystemSerialPorts, ARefusedOpenIsToldWithItsErrorCode) {
  const auto ports = MakeSystemSerialPorts();
  std::vector<std::string> told;
  ports->SetLineReport([&](std::string_view line) { told.emplace_back(line); });
  EXPECT_FALSE(ports->Probe(254));
  EXPECT_TRUE(told.empty());
  EXPECT_EQ(ports->Open(254), nullptr);
  ASSERT_EQ(told.size(), 1u);
  EXPECT_EQ(told[0].rfind("COM254: CreateFileA failed with error ", 0), 0u) << told[0];
}
#endif

}  // namespace
}  // namespace quorvex
