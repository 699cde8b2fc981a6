// quorvex-cli ports: the COM numbers that lead to a device nobody holds now.
#include <CLI/CLI.hpp>
#include <memory>
#include <string>
#include <vector>

#include "cli/command_setup.h"
#include "cli/common_options.h"
#include "cli/port_list.h"
#include "cli/printing.h"
#include "link/serial_line.h"

namespace quorvex::cli {

namespace {

int Ports(const CommonOptions& o, Console& c) {
  const PortNameEnvironment env = Environment(o);
  const auto system = MakeSystemSerialPorts(env);
  const auto ports = ListFreePorts(env, *system);
  if (ports.empty()) {
    if (!o.quiet) c.err << "No free COM port.\n";
    return kExitOk;
  }
  std::vector<std::vector<std::string>> rows{{"Port", "Name", "Device", "Stable name"}};
  for (const FreePort& p : ports) {
    rows.push_back({"COM" + std::to_string(p.number), p.name, p.device, p.stableName});
  }
  PrintTable(c.out, rows);
  return kExitOk;
}

}  // namespace

void SetupPortsCommand(CLI::App& app, CommandHost& host) {
  auto o = std::make_shared<CommonOptions>();
  AddCommand(app, host, "ports", "list the COM ports that lead to a device and are free now", *o,
             [o](Console& c) { return Ports(*o, c); });
}

}  // namespace quorvex::cli
