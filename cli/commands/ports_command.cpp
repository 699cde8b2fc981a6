// quorvex-cli ports: the COM numbers that lead to a device nobody holds now.
#include <CLI/CLI.hpp>
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "cli/command_setup.h"
#include "cli/commands/card_probe.h"
#include "cli/common_options.h"
#include "cli/interrupt.h"
#include "cli/port_list.h"
#include "cli/printing.h"
#include "link/clock.h"
#include "link/latency_timer.h"
#include "link/serial_line.h"

namespace quorvex::cli {

namespace {

struct PortsOptions : CommonOptions {
  bool probe = false;
  bool json = false;
};

std::string Advice(const FreePort& p) {
  return HoldBackAdvice(p.latencyTimerMs, p.receiveFifoTrigger, ThisPortSystem());
}

std::string TimerCell(const FreePort& p) {
  // The mark refers to the advice printed below the table.
  return HoldBackValue(p.latencyTimerMs, p.receiveFifoTrigger) + (Advice(p).empty() ? "" : " *");
}

nlohmann::ordered_json PortJson(const FreePort& p) {
  nlohmann::ordered_json port{{"port", "COM" + std::to_string(p.number)},
                              {"name", p.name},
                              {"device", p.device},
                              {"stable_name", p.stableName},
                              {"latency_timer_ms", nullptr}};
  if (p.latencyTimerMs) {
    port["latency_timer_ms"] = *p.latencyTimerMs;
    const std::string advice = Advice(p);
    if (!advice.empty()) port["latency_advice"] = advice;
  }
  port["receive_fifo_trigger"] = nullptr;
  if (p.receiveFifoTrigger) {
    port["receive_fifo_trigger"] = *p.receiveFifoTrigger;
    const std::string advice = Advice(p);
    if (!advice.empty()) port["receive_fifo_advice"] = advice;
  }
  return port;
}

int Ports(const PortsOptions& o, Console& c) {
  const PortNameEnvironment env = Environment(o);
  const auto system = MakeSystemSerialPorts(env);
  const auto ports = ListFreePorts(env, *system);
  if (ports.empty() && !o.json) {
    if (!o.quiet) c.err << "No free COM port.\n";
    return kExitOk;
  }
  const TextSet texts = EnglishTextSet();
  std::vector<std::vector<std::string>> rows{
      {"Port", "Name", "Device", "Stable name", texts.latencyColumn}};
  nlohmann::ordered_json document = nlohmann::ordered_json::array();
  if (o.probe) rows[0].push_back("Card");
  // The probe's pauses and frames are the transfers' own, so Ctrl+C lets go of a port as a
  // transfer does.
  InterruptWatch watch;
  FrameGate gate(watch);
  SteadyClock pauses;
  InterruptibleClock clock(gate, pauses);
  FrameGatedPorts gated(*system, gate);
  std::vector<std::string> advice;
  for (const FreePort& p : ports) {
    rows.push_back(
        {"COM" + std::to_string(p.number), p.name, p.device, p.stableName, TimerCell(p)});
    document.push_back(PortJson(p));
    if (o.probe) {
      const bool answers = CardAnswers(gated, p.number, clock);
      rows.back().push_back(answers ? "answers" : "");
      document.back()["card_answers"] = answers;
    }
    if (const std::string said = Advice(p); !said.empty()) {
      advice.push_back("* COM" + std::to_string(p.number) + ": " + said);
    }
  }
  if (o.json) {
    PrintJson(c.out, document);
    return kExitOk;
  }
  // The column only where a driver tells a timer or a receive trigger: ptys have neither.
  const bool anyTimer = std::any_of(ports.begin(), ports.end(), [](const FreePort& p) {
    return p.latencyTimerMs.has_value() || p.receiveFifoTrigger.has_value();
  });
  if (!anyTimer) {
    for (auto& row : rows) row.erase(row.begin() + 4);
  }
  PrintTable(c.out, rows);
  for (const std::string& line : advice) c.out << line << '\n';
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
  command->add_flag("--json", o->json,
                    "print JSON instead of a table: one object per free port, with its adapter's "
                    "latency timer or its UART's receive FIFO trigger and the advice about it");
}

}  // namespace quorvex::cli
