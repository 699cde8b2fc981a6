// quorvex-cli ports: the COM numbers that lead to a device nobody holds now.
#include <CLI/CLI.hpp>
#include <memory>
#include <string>
#include <vector>

#include "cli/card_probe.h"
#include "cli/command_setup.h"
#include "cli/common_options.h"
#include "cli/interrupt.h"
#include "cli/port_list.h"
#include "cli/printing.h"
#include "link/clock.h"
#include "link/serial_line.h"

namespace quorvex::cli {

namespace {

struct PortsOptions : CommonOptions {
  bool probe = false;
};

int Ports(const PortsOptions& o, Console& c) {
  const PortNameEnvironment env = Environment(o);
  const auto system = MakeSystemSerialPorts(env);
  const auto ports = ListFreePorts(env, *system);
  if (ports.empty()) {
    if (!o.quiet) c.err << "No free COM port.\n";
    return kExitOk;
  }
  std::vector<std::vector<std::string>> rows{{"Port", "Name", "Device", "Stable name"}};
  if (o.probe) rows[0].push_back("Card");
  // The probe's pauses and frames are the transfers' own, so Ctrl+C lets go of a port as a
  // transfer does.
  InterruptWatch watch;
  FrameGate gate(watch);
  SteadyClock pauses;
  InterruptibleClock clock(gate, pauses);
  FrameGatedPorts gated(*system, gate);
  for (const FreePort& p : ports) {
    rows.push_back({"COM" + std::to_string(p.number), p.name, p.device, p.stableName});
    if (o.probe) rows.back().push_back(CardAnswers(gated, p.number, clock) ? "answers" : "");
  }
  PrintTable(c.out, rows);
  return kExitOk;
}

}  // namespace

void SetupPortsCommand(CLI::App& app, CommandHost& host) {
  auto o = std::make_shared<PortsOptions>();
  CLI::App* command =
      AddCommand(app, host, "ports", "list the COM ports that lead to a device and are free now",
                 *o, [o](Console& c) { return Ports(*o, c); });
  command->add_flag("--probe", o->probe,
                    "also mark where a card answers: sends a read request for register 0 to "
                    "whatever is attached to each free port");
}

}  // namespace quorvex::cli
