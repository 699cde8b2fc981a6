// quorvex-cli ports: the COM numbers that lead to a device nobody holds now, and those the window
// gave to device server ports.
#include <CLI/CLI.hpp>
#include <algorithm>
#include <exception>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "cli/command_setup.h"
#include "cli/commands/card_probe.h"
#include "cli/common_options.h"
#include "cli/interrupt.h"
#include "cli/port_list.h"
#include "cli/port_selection.h"
#include "cli/printing.h"
#include "link/clock.h"
#include "link/latency_timer.h"
#include "link/serial_line.h"
#include "procedures/network_probes.h"

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

// The window's assignments; a settings file that cannot be told or read costs only them.
NetworkAssignments AssignedPorts(const PortsOptions& o, Console& c) {
  try {
    return WindowAssignedPorts();
  } catch (const std::exception& e) {
    if (!o.quiet) c.err << "The window's device server ports are not listed: " << e.what() << '\n';
    return {};
  }
}

// The COM numbers the window gave to device server ports, after the machine's own: with --probe,
// whether each server takes a connection now (asked side by side, the card behind it is not).
void ListServerPorts(const PortsOptions& o, Console& c, const std::vector<FreePort>& local,
                     nlohmann::ordered_json& document) {
  const NetworkAssignments assigned = AssignedPorts(o, c);
  if (assigned.empty()) return;
  const std::map<int, ProbeAnswer> answers =
      o.probe ? ProbeAll(assigned) : std::map<int, ProbeAnswer>{};
  const TextSet texts = EnglishTextSet();
  std::vector<std::vector<std::string>> rows{{"Port", "Device server"}};
  if (o.probe) rows[0].push_back("Server");
  rows[0].push_back("Note");
  bool anyNote = false;
  for (const auto& [n, endpoint] : assigned) {
    const std::string port = "COM" + std::to_string(n);
    rows.push_back({port, NetworkEndpointUrl(endpoint)});
    nlohmann::ordered_json entry{{"port", port}, {"device_server", NetworkEndpointUrl(endpoint)}};
    if (o.probe) {
      const ProbeAnswer& answer = answers.at(n);
      rows.back().push_back(answer.answers ? "answers" : answer.reason);
      entry["server_answers"] = answer.answers;
      if (!answer.answers) entry["server_problem"] = answer.reason;
    }
    // The assignment wins over a device of this machine with the same number, as in the window.
    std::string note;
    for (const FreePort& p : local) {
      if (p.number != n) continue;
      note = texts.serverWins;
      if (const auto at = note.find("%1"); at != std::string::npos) note.replace(at, 2, p.name);
      entry["instead_of"] = p.name;
    }
    anyNote = anyNote || !note.empty();
    rows.back().push_back(note);
    document.push_back(entry);
  }
  if (o.json) return;
  if (!anyNote) {
    for (auto& row : rows) row.pop_back();
  }
  c.out << (local.empty() ? "" : "\n") << "Device server ports of the window:\n";
  PrintTable(c.out, rows);
}

int Ports(const PortsOptions& o, Console& c) {
  const PortNameEnvironment env = Environment(o);
  const auto system = MakeSystemSerialPorts(env);
  const auto ports = ListFreePorts(env, *system);
  nlohmann::ordered_json document = nlohmann::ordered_json::array();
  if (ports.empty() && !o.json) {
    if (!o.quiet) c.err << "No free COM port.\n";
    ListServerPorts(o, c, ports, document);
    return kExitOk;
  }
  const TextSet texts = EnglishTextSet();
  std::vector<std::vector<std::string>> rows{
      {"Port", "Name", "Device", "Stable name", texts.latencyColumn}};
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
    ListServerPorts(o, c, ports, document);
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
  ListServerPorts(o, c, ports, document);
  return kExitOk;
}

}  // namespace

void SetupPortsCommand(CLI::App& app, CommandHost& host) {
  auto o = std::make_shared<PortsOptions>();
  CLI::App* command =
      AddCommand(app, host, "ports",
                 "list the COM ports that lead to a device and are free now, and the device "
                 "server ports the window assigned COM numbers to",
                 *o, [o](Console& c) { return Ports(*o, c); });
  command->add_flag("--probe", o->probe,
                    "also mark where a card answers: sends a read request for register 0 to "
                    "whatever is attached to each free port; and whether each assigned device "
                    "server takes a connection (all asked at once, about 3 s at most)");
  command->add_flag("--json", o->json,
                    "print JSON instead of a table: one object per free port, with its adapter's "
                    "latency timer or its UART's receive FIFO trigger and the advice about it, "
                    "then one per assigned device server port");
}

}  // namespace quorvex::cli
