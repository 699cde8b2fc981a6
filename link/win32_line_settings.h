// The device control block of the card's line, filled the same whatever the port held before.
#pragma once

namespace quorvex::win32 {

// The Win32 constants the block takes, by value, so that a stand-in block can be filled on any
// platform; the backend checks them against <windows.h> when it is built.
inline constexpr unsigned kNoParity = 0;          // NOPARITY
inline constexpr unsigned kOneStopBit = 0;        // ONESTOPBIT
inline constexpr unsigned kDtrControlEnable = 1;  // DTR_CONTROL_ENABLE
inline constexpr unsigned kRtsControlEnable = 1;  // RTS_CONTROL_ENABLE
inline constexpr char kXonChar = 0x11;
inline constexpr char kXoffChar = 0x13;
// Far below the 2048-byte input queue, as the driver demands even with XON/XOFF off.
inline constexpr unsigned kXonXoffLimit = 512;

// Sets every field the card's line depends on, over what GetCommState reported: a previous
// program may have left handshaking or abort-on-error in the port, and a failed GetCommState
// leaves the block zeroed.
template <typename Dcb>
void SetCardLine(Dcb& dcb) {
  dcb.DCBlength = sizeof(Dcb);
  dcb.BaudRate = 1200;
  dcb.ByteSize = 8;
  dcb.Parity = kNoParity;
  dcb.StopBits = kOneStopBit;
  // Windows has no other mode; a zeroed block would be refused.
  dcb.fBinary = 1;
  dcb.fParity = 0;
  // No flow control of any kind. The card drives none of these lines and sends XON and XOFF
  // values inside its frames: a handshake left on holds our bytes back while WriteFile reports
  // them sent, or eats bytes of a reply.
  dcb.fOutxCtsFlow = 0;
  dcb.fOutxDsrFlow = 0;
  dcb.fDsrSensitivity = 0;
  dcb.fOutX = 0;
  dcb.fInX = 0;
  dcb.fTXContinueOnXoff = 1;
  // The transfer pulses RTS with EscapeCommFunction, which cannot move it in handshake or toggle
  // mode. Both lines are raised on open, as a terminal's are on Linux.
  dcb.fDtrControl = kDtrControlEnable;
  dcb.fRtsControl = kRtsControlEnable;
  // Otherwise one framing error stops every later read and write until someone clears it.
  dcb.fAbortOnError = 0;
  // Every byte as it came: no replacement of bytes with parity errors, no dropping of zeros.
  dcb.fErrorChar = 0;
  dcb.fNull = 0;
  // SetCommState refuses equal XON and XOFF characters, as a zeroed block has them.
  dcb.XonChar = kXonChar;
  dcb.XoffChar = kXoffChar;
  dcb.XonLim = kXonXoffLimit;
  dcb.XoffLim = kXonXoffLimit;
  dcb.wReserved = 0;
}

}  // namespace quorvex::win32
