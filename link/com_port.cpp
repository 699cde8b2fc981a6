// The transfers' COM port: open with the "Fehler" box, RTS, bytes with their 10 ms pauses.
#include "link/com_port.h"

#include <string>
#include <string_view>

#include "core/app_context.h"
#include "core/operator.h"
#include "link/clock.h"

namespace quorvex {

namespace {
// The one German text of the program; kept in German because operators know it by sight.
constexpr const char* kPortErrorCaption = "Fehler";
constexpr const char* kPortErrorText =
    "COM-Schnittstelle nicht verf\xC3\xBC"
    "gbar";
constexpr int kBytePauseMs = 10;
}  // namespace

ComPort::ComPort(SerialPorts& ports, Clock& clock, Operator& op, const AppContext& ctx)
    : ports_(ports), clock_(clock), op_(op), ctx_(ctx) {
  // A refused setting or a failed byte leaves the operator's messages as they are; the debug log
  // (and the command line's trace) says which system call it was.
  ports_.SetLineReport([to = &op](std::string_view line) { to->AddDebugLine(line); });
}

ComPort::~ComPort() {
  line_.reset();
  ports_.ReleaseChecked();
  ports_.SetLineReport({});
}

void ComPort::OpenComPort() {
  // A second open of a held port would fail on the exclusive lock; start from a closed port.
  line_.reset();
  line_ = ports_.Open(ctx_.comPortNumber);
  if (!line_) {
    // The caller is not told: every byte operation now fails at once, and the transfer reports
    // that in its own words.
    op_.MessageBox(kPortErrorCaption, kPortErrorText, BoxIcon::Error);
    return;
  }
  line_->Configure();
}

void ComPort::CloseComPort() {
  line_.reset();
  // A transfer that ended between its check and its open leaves no line behind.
  ports_.ReleaseChecked();
}

void ComPort::SetRts() {
  if (line_) line_->SetRts(true);
}

void ComPort::ClearRts() {
  if (line_) line_->SetRts(false);
}

bool ComPort::WriteComByte(std::uint8_t b) {
  if (!line_) return false;
  // A lost byte shows up as a missing or bad reply, which the exchange already handles.
  line_->WriteByte(b);
  clock_.Sleep(kBytePauseMs);
  return true;
}

bool ComPort::ReadComByte(std::uint8_t& b) {
  b = 0;
  if (!line_) return false;
  clock_.Sleep(kBytePauseMs);
  std::uint8_t received = 0;
  if (!line_->ReadByte(received)) return false;
  b = received;
  return true;
}

bool ComPort::ComPortAvailable(int n) {
  return ports_.CheckForOpen(n);
}

}  // namespace quorvex
