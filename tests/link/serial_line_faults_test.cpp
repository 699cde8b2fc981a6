// Tests of what the Win32 backend makes of a port: the line settings over any inherited block,
// and the failed calls told once each, with their repeats counted.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "link/line_faults.h"
#include "link/win32_line_settings.h"

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#endif

namespace quorvex {
namespace {

#ifdef _WIN32
using Dcb = DCB;
#else
// The Win32 block's fields with their widths, so that the settings are checked on every build.
struct Dcb {
  std::uint32_t DCBlength;
  std::uint32_t BaudRate;
  std::uint32_t fBinary : 1, fParity : 1, fOutxCtsFlow : 1, fOutxDsrFlow : 1, fDtrControl : 2,
      fDsrSensitivity : 1, fTXContinueOnXoff : 1, fOutX : 1, fInX : 1, fErrorChar : 1, fNull : 1,
      fRtsControl : 2, fAbortOnError : 1, fDummy2 : 17;
  std::uint16_t wReserved, XonLim, XoffLim;
  std::uint8_t ByteSize, Parity, StopBits;
  char XonChar, XoffChar, ErrorChar, EofChar, EvtChar;
  std::uint16_t wReserved1;
};
#endif

// Every field the line's behaviour depends on.
auto LineFields(const Dcb& d) {
  return std::make_tuple(d.DCBlength, d.BaudRate, d.ByteSize, d.Parity, d.StopBits, d.fBinary,
                         d.fParity, d.fOutxCtsFlow, d.fOutxDsrFlow, d.fDsrSensitivity, d.fOutX,
                         d.fInX, d.fTXContinueOnXoff, d.fDtrControl, d.fRtsControl, d.fAbortOnError,
                         d.fErrorChar, d.fNull, d.XonChar, d.XoffChar, d.XonLim, d.XoffLim,
                         d.wReserved);
}

Dcb Filled(int inherited) {
  Dcb d;
  std::memset(&d, inherited, sizeof d);
  win32::SetCardLine(d);
  return d;
}

// Whatever a previous program left in the port (handshakes, XON/XOFF, abort on error, another
// word size), or a failed GetCommState's zeroed block: every field the line depends on is set,
// so a block of all bits clear and one of all bits set must come out the same, and right.
TEST(Win32LineSettings, WhateverThePortHeldTheLineIsTheCardsOwn) {
  EXPECT_EQ(LineFields(Filled(0x00)), LineFields(Filled(0xFF)));
  for (const int inherited : {0x00, 0xFF}) {
    SCOPED_TRACE(inherited);
    const Dcb d = Filled(inherited);
    EXPECT_EQ(d.DCBlength, sizeof(Dcb));
    EXPECT_EQ(std::make_tuple(d.BaudRate, d.ByteSize, d.Parity, d.StopBits),
              std::make_tuple(1200u, 8, 0, 0));
    EXPECT_EQ(d.fBinary, 1u);
    // Nothing may hold a byte back or eat one.
    EXPECT_EQ(d.fOutxCtsFlow + d.fOutxDsrFlow + d.fDsrSensitivity + d.fOutX + d.fInX, 0);
    EXPECT_EQ(d.fAbortOnError + d.fErrorChar + d.fNull + d.fParity, 0);
    // EscapeCommFunction moves RTS and DTR only in the modes DISABLE (0) and ENABLE (1).
    EXPECT_LE(d.fRtsControl, 1u);
    EXPECT_LE(d.fDtrControl, 1u);
    // SetCommState refuses a block with equal XON and XOFF characters or limits beyond the queue.
    EXPECT_NE(d.XonChar, d.XoffChar);
    EXPECT_LT(d.XonLim + d.XoffLim, 2048);
  }
}

struct Told {
  std::vector<std::string> lines;
  LineReport Report() {
    return [this](std::string_view line) { lines.emplace_back(line); };
  }
};

// A port that vanished fails every byte of a transfer; the log gets each failure once and how
// often it came again when the port closes.
TEST(LineFaults, EachFailureIsToldOnceAndItsRepeatsCountedAtClose) {
  Told told;
  {
    LineFaults faults("COM7", told.Report());
    faults.Failed("SetCommState", 87);
    for (int i = 0; i < 3; ++i) faults.Failed("WriteFile", 22);
    faults.Failed("WriteFile", 995);
    faults.Note("WriteFile sent nothing within its time-out");
    faults.Failed("SetCommState", 87);
    EXPECT_EQ(told.lines, (std::vector<std::string>{
                              "COM7: SetCommState failed with error 87",
                              "COM7: WriteFile failed with error 22",
                              "COM7: WriteFile failed with error 995",
                              "COM7: WriteFile sent nothing within its time-out",
                          }));
  }
  ASSERT_EQ(told.lines.size(), 6u);
  EXPECT_EQ(told.lines[4], "COM7: SetCommState failed with error 87 (once more)");
  EXPECT_EQ(told.lines[5], "COM7: WriteFile failed with error 22 (2 times more)");
}

TEST(LineFaults, WithoutAReportFailuresAreDropped) {
  EXPECT_NO_THROW({
    LineFaults faults("COM7", nullptr);
    faults.Failed("ReadFile", 5);
    faults.Failed("ReadFile", 5);
  });
}

}  // namespace
}  // namespace quorvex
