// The probe: one register exchange through the transfers' own port and exchange.
#include "cli/commands/card_probe.h"

#include <cstdint>
#include <sstream>

#include "cli/terminal_operator.h"
#include "core/app_context.h"
#include "link/clock.h"
#include "link/com_port.h"
#include "link/register_exchange.h"

namespace quorvex::cli {

namespace {
constexpr int kRtsPulseMs = 50;
}  // namespace

bool CardAnswers(SerialPorts& ports, int n, Clock& clock) {
  AppContext ctx{.texts = EnglishTextSet()};
  ctx.comPortNumber = n;
  // The port's own complaints ("Fehler") mean only that no card answers here.
  std::ostringstream unheard;
  TerminalOperator op(unheard, ctx.texts, {true, false, false}, nullptr, nullptr);
  ComPort port(ports, clock, op, ctx);
  port.OpenComPort();
  if (!port.IsOpen()) return false;
  struct Release {
    ComPort& port;
    ~Release() {
      port.ClearRts();
      port.CloseComPort();
    }
  } release{port};
  // Low, then high: the card takes what follows as a transfer.
  port.ClearRts();
  clock.Sleep(kRtsPulseMs);
  port.SetRts();
  clock.Sleep(kRtsPulseMs);
  std::uint8_t konfigByte = 0;
  return RegisterExchange(port, 0, 0, Direction::Read, konfigByte);
}

}  // namespace quorvex::cli
