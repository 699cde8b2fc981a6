// ports --probe: whether a card answers on a port.
#pragma once

namespace quorvex {
class Clock;
class SerialPorts;
}  // namespace quorvex

namespace quorvex::cli {

// Opens COM n, flags a transfer on RTS as a transfer does and asks for register 0; true when a
// reply came that passed its check. It sends a read request to whatever is attached. The port is
// let go with RTS low on every path.
bool CardAnswers(SerialPorts& ports, int n, Clock& clock);

}  // namespace quorvex::cli
