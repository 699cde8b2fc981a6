// quorvex-cli's commands: arguments, the window's procedures run from a script, exit codes.
#include "cli/commands.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "cli/card_batch.h"
#include "cli/card_log.h"
#include "cli/card_probe.h"
#include "cli/config_json.h"
#include "cli/interrupt.h"
#include "cli/line_trace.h"
#include "cli/port_list.h"
#include "cli/port_selection.h"
#include "cli/terminal_operator.h"
#include "core/app_context.h"
#include "core/channel_editing.h"
#include "core/channel_panel.h"
#include "core/config_image.h"
#include "core/config_view.h"
#include "core/errors.h"
#include "core/quantity_catalogue.h"
#include "core/version.h"
#include "link/card_transfer.h"
#include "link/com_port.h"
#include "link/port_names.h"
#include "link/serial_line.h"
#include "storage/atomic_file.h"
#include "storage/kfg_file.h"

namespace quorvex::cli {

namespace {

constexpr const char* kProgram = "quorvex-cli";
constexpr const char* kExitCodes =
    "Exit codes: 0 done or equal; 1 files or card differ; 2 bad usage, bad input file\n"
    "or an output file that cannot be written; 3 transfer failed; 4 port not available;\n"
    "130 interrupted. With several ports: 0 when every card is done and equal, otherwise\n"
    "the highest of 1 (some differ), 3 (some failed) and 4 (some port not available).";
// A configuration document is a few kilobytes; anything far larger is no such document.
constexpr std::size_t kMaxDocumentBytes = 1 << 20;

struct Options {
  std::string comDir;
  std::string trace;
  bool quiet = false;
  bool wait = false;
  bool json = false;
  bool noVerify = false;
  int port = 0;
  std::vector<std::string> portValues;  // --port as given: "3", "3,4,5", "3-10"
  std::vector<int> ports;
  std::string log;
  bool probe = false;
  // A card of many: the batch's interrupt, and where the card's thread shows its progress.
  InterruptSource* interrupt = nullptr;
  CardProgress* progress = nullptr;
  std::string file;
  std::string second;
  std::string output;
};

// The default error report's form: the message, with a full stop where it has none.
std::string Sentence(std::string message) {
  if (message.empty() || message.back() != '.') message += '.';
  return message;
}

void Report(std::ostream& err, const std::string& message) {
  err << kProgram << ": " << message << '\n';
}

// Terminal columns a UTF-8 text takes: one per character ("°C" is two).
std::size_t Columns(std::string_view text) {
  return static_cast<std::size_t>(
      std::count_if(text.begin(), text.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

void PrintTable(std::ostream& out, const std::vector<std::vector<std::string>>& rows) {
  std::vector<std::size_t> widths;
  for (const auto& row : rows) {
    widths.resize(std::max(widths.size(), row.size()));
    for (std::size_t i = 0; i < row.size(); ++i) widths[i] = std::max(widths[i], Columns(row[i]));
  }
  for (const auto& row : rows) {
    std::string line;
    for (std::size_t i = 0; i < row.size(); ++i) {
      line += row[i];
      if (i + 1 < row.size()) line.append(widths[i] - Columns(row[i]) + 2, ' ');
    }
    // An empty last cell leaves only padding behind.
    line.erase(line.find_last_not_of(' ') + 1);
    out << line << '\n';
  }
}

void PrintConfiguration(std::ostream& out, const ConfigurationView& view, const ConfigImage& image,
                        const TextSet& texts) {
  std::vector<std::vector<std::string>> rows;
  std::vector<std::string> header{texts.channel};
  for (ChannelField field : kChannelFields) header.push_back(FieldHeader(texts, field));
  rows.push_back(std::move(header));
  for (std::size_t i = 0; i < view.size(); ++i) {
    const ChannelView& c = view[i];
    rows.push_back({std::to_string(i + 1), c.quantity, c.unit, c.offset, c.range,
                    FieldText(c, ChannelField::MeasurementRange)});
  }
  PrintTable(out, rows);
  out << '\n' << "Image: " << ImageHex(image) << '\n';
}

void PrintJson(std::ostream& out, const nlohmann::ordered_json& document) {
  out << document.dump(2) << '\n';
}

nlohmann::ordered_json ShownJson(const ConfigurationView& view, const ConfigImage& image) {
  nlohmann::ordered_json document;
  document["channels"] = ChannelsJson(view);
  document["image"] = ImageHex(image);
  return document;
}

// Field by field as the window shows them; registers only where no shown field tells them apart.
int PrintComparison(std::ostream& out, const ConfigImage& first, const ConfigImage& second,
                    const std::string& firstName, const std::string& secondName,
                    const TextSet& texts,
                    std::vector<std::vector<std::string>>* comparison = nullptr) {
  if (first == second) {
    out << "Equal: " << firstName << " and " << secondName << " hold the same configuration.\n";
    return kExitOk;
  }
  std::vector<std::vector<std::string>> rows{{texts.channel, "Field", firstName, secondName}};
  for (const FieldDifference& d : CompareConfigurations(ViewImage(first), ViewImage(second))) {
    rows.push_back({std::to_string(d.channel), FieldHeader(texts, d.field), d.first, d.second});
  }
  if (rows.size() == 1) {
    rows[0] = {"Register", "", firstName, secondName};
    for (std::size_t r = 0; r < first.size(); ++r) {
      if (first[r] != second[r])
        rows.push_back({RegisterName(r), "", HexBytes(&first[r], 1), HexBytes(&second[r], 1)});
    }
  }
  PrintTable(out, rows);
  if (comparison != nullptr) *comparison = std::move(rows);
  return kExitDifferent;
}

// The storage layer's messages are the window's ("File not found"); a command may name two
// files, so it says which.
ConfigImage LoadImage(const std::string& path) {
  try {
    return ReadKfgImage(path);
  } catch (const FileError& e) {
    throw FileError(path + ": " + e.what());
  }
}

void SaveImage(const std::string& path, const ConfigImage& image) {
  try {
    WriteKfgImage(path, image);
  } catch (const FileError& e) {
    throw FileError(path + ": " + e.what());
  }
}

std::string FirstMissingRegister(const RegisterRecord& record) {
  for (std::size_t r = 0; r < record.good.size(); ++r) {
    if (!record.good[r]) return RegisterName(r);
  }
  return {};
}

int OutcomeExitCode(TransferOutcome outcome) {
  switch (outcome) {
    case TransferOutcome::Done:
      return kExitOk;
    case TransferOutcome::NotValid:
      return kExitBadInput;
    case TransferOutcome::PortNotAvailable:
      return kExitPortNotAvailable;
    case TransferOutcome::Failed:
      break;
  }
  return kExitTransferFailed;
}

PortNameEnvironment Environment(const Options& o) {
  PortNameEnvironment env = PortNameEnvironment::FromProcess();
  if (!o.comDir.empty()) env.comDir = o.comDir;
  return env;
}

// Everything one command needs to talk to the card: the window's procedures on the real port,
// with Ctrl+C, the trace and the progress display watching.
class CardSession {
 public:
  CardSession(const Options& o, Console& console)
      : ownWatch_(o.interrupt == nullptr ? std::make_unique<InterruptWatch>() : nullptr),
        gate_(o.interrupt == nullptr ? *ownWatch_ : *o.interrupt),
        trace_(o.trace.empty() ? nullptr : std::make_unique<TraceLog>(o.trace)),
        op_(console.err, ctx_.texts, {o.quiet, o.wait, console.errIsTerminal && !o.quiet},
            ownWatch_.get(), trace_.get()),
        system_(MakeSystemSerialPorts(Environment(o))),
        ports_(*system_, trace_.get(), [this, progress = o.progress](std::uint16_t a) {
          op_.RegisterDone(a);
          if (progress != nullptr) progress->registers.fetch_add(1, std::memory_order_relaxed);
        }) {
    ctx_.comPortNumber = o.port;
  }

  TransferOutcome Write(MemoryPanel& panel, RegisterRecord& record) {
    return Run("Writing", SendenClick, panel, record);
  }
  TransferOutcome Read(MemoryPanel& panel, RegisterRecord& record) {
    return Run("Reading", EmpfangenClick, panel, record);
  }
  // Reads the card into a scratch panel; the card's bytes, or nothing after a report.
  std::optional<ConfigImage> ReadImage(std::ostream& err, int& exitCode) {
    MemoryPanel panel;
    FillChannelLists(panel);
    RegisterRecord record;
    const TransferOutcome outcome = Read(panel, record);
    exitCode = OutcomeExitCode(outcome);
    if (outcome == TransferOutcome::Done) return record.values;
    ReportFailure(err, outcome, "Reading", record);
    return std::nullopt;
  }
  void ReportFailure(std::ostream& err, TransferOutcome outcome, const std::string& what,
                     const RegisterRecord& record) {
    if (outcome == TransferOutcome::PortNotAvailable) {
      Report(err, "COM" + std::to_string(ctx_.comPortNumber) +
                      " leads to no device, or another program holds it.");
    } else if (outcome == TransferOutcome::Failed) {
      Report(err, what + " failed: the card did not answer for " + FirstMissingRegister(record) +
                      " on COM" + std::to_string(ctx_.comPortNumber) + ".");
    }
  }
  const TextSet& Texts() const { return ctx_.texts; }

 private:
  TransferOutcome Run(const char* what, TransferOutcome (*procedure)(TransferSeams&),
                      MemoryPanel& panel, RegisterRecord& record) {
    op_.BeginProgress(std::string(what) + " COM" + std::to_string(ctx_.comPortNumber));
    TransferSeams s{panel, op_, port_, clock_, ctx_, registerAddress_, &record};
    const TransferOutcome outcome = procedure(s);
    op_.EndProgressLine();
    return outcome;
  }
  AppContext ctx_{.texts = EnglishTextSet()};
  std::unique_ptr<InterruptWatch> ownWatch_;
  FrameGate gate_;
  SteadyClock pauses_;
  InterruptibleClock clock_{gate_, pauses_};
  std::unique_ptr<TraceLog> trace_;
  TerminalOperator op_;
  std::unique_ptr<SerialPorts> system_;
  WatchedPorts ports_;
  FrameGatedPorts gated_{ports_, gate_};
  ComPort port_{gated_, clock_, op_, ctx_};
  std::uint16_t registerAddress_ = 0;
};

int Show(const Options& o, Console& c) {
  const ConfigImage image = LoadImage(o.file);
  const ConfigurationView view = ViewImage(image);
  if (o.json) {
    nlohmann::ordered_json document{{"file", o.file}};
    document.update(ShownJson(view, image));
    PrintJson(c.out, document);
  } else {
    PrintConfiguration(c.out, view, image, EnglishTextSet());
  }
  return kExitOk;
}

int Read(const Options& o, Console& c) {
  CardSession session(o, c);
  MemoryPanel panel;
  FillChannelLists(panel);
  RegisterRecord record;
  const TransferOutcome outcome = session.Read(panel, record);
  if (outcome != TransferOutcome::Done) {
    session.ReportFailure(c.err, outcome, "Reading", record);
    if (!o.output.empty()) Report(c.err, o.output + " was not written.");
    return OutcomeExitCode(outcome);
  }
  // The card's bytes as they came: what the window shows of them may be rounded.
  if (!o.output.empty()) SaveImage(o.output, record.values);
  const ConfigurationView view = ViewConfiguration(panel);
  if (o.json) {
    PrintJson(c.out, ShownJson(view, record.values));
  } else {
    PrintConfiguration(c.out, view, record.values, session.Texts());
  }
  return kExitOk;
}

int Write(const Options& o, Console& c) {
  const ConfigImage fileImage = LoadImage(o.file);
  CardSession session(o, c);
  MemoryPanel panel;
  ShowImage(panel, fileImage);
  RegisterRecord record;
  const TransferOutcome outcome = session.Write(panel, record);
  if (outcome != TransferOutcome::Done) {
    session.ReportFailure(c.err, outcome, "Writing", record);
    return OutcomeExitCode(outcome);
  }
  // The window writes what it shows; a file whose values it shows rounded is written rounded.
  const ConfigImage written = EncodeConfiguration(panel);
  if (written != fileImage && !o.quiet) {
    c.err << "Note: the card was given the values as the window shows them, which differ from "
             "the file's bytes.\n";
  }
  if (o.noVerify) {
    if (!o.quiet) c.err << "Written to COM" << o.port << " (not read back).\n";
    return kExitOk;
  }
  int exitCode = kExitOk;
  const auto card = session.ReadImage(c.err, exitCode);
  if (!card) return exitCode;
  if (*card == written) {
    if (!o.quiet) c.err << "Written to COM" << o.port << " and read back: the card holds it.\n";
    return kExitOk;
  }
  c.out << "The card's read-back differs from what was written:\n";
  PrintComparison(c.out, written, *card, "Written", "Card", session.Texts(), c.comparison);
  return kExitDifferent;
}

int Verify(const Options& o, Console& c) {
  const ConfigImage fileImage = LoadImage(o.file);
  CardSession session(o, c);
  int exitCode = kExitOk;
  const auto card = session.ReadImage(c.err, exitCode);
  if (!card) return exitCode;
  return PrintComparison(c.out, fileImage, *card, "File", "Card", session.Texts(), c.comparison);
}

int Diff(const Options& o, Console& c) {
  const ConfigImage first = LoadImage(o.file);
  const ConfigImage second = LoadImage(o.second);
  return PrintComparison(c.out, first, second, o.file, o.second, EnglishTextSet());
}

int Export(const Options& o, Console& c) {
  const ConfigImage image = LoadImage(o.file);
  MemoryPanel panel;
  ShowImage(panel, image);
  const std::string text = ConfigurationDocument(ViewConfiguration(panel)).dump(2) + "\n";
  // The document holds what the window shows; say so when importing it cannot give the same
  // bytes back, rather than let a round trip change a configuration unnoticed.
  std::optional<ConfigImage> again;
  try {
    again = EncodeConfiguration(panel);
  } catch (const ReportedError&) {
  }
  if ((!again || *again != image) && !o.quiet) {
    c.err << "Note: " << o.file
          << " holds values the window shows rounded; importing the document gives other bytes.\n";
  }
  if (o.output.empty()) {
    c.out << text;
  } else {
    try {
      WriteFileAtomically(o.output, text);
    } catch (const FileError& e) {
      throw FileError(o.output + ": " + e.what());
    }
  }
  return kExitOk;
}

int Import(const Options& o, Console& c) {
  std::string text;
  try {
    text = ReadFileStart(o.file, kMaxDocumentBytes + 1);
  } catch (const FileError& e) {
    throw FileError(o.file + ": " + e.what());
  }
  if (text.size() > kMaxDocumentBytes) {
    throw JsonInputError("$: the file is larger than a configuration document can be");
  }
  MemoryPanel panel;
  FillChannelLists(panel);
  EnterDocument(text, panel);

  AppContext ctx{.texts = EnglishTextSet()};
  TerminalOperator op(c.err, ctx.texts, {}, nullptr, nullptr);
  try {
    if (!ValidateAllChannels(panel, op, ctx)) return kExitBadInput;
  } catch (const ReportedError& e) {
    Report(c.err,
           ctx.texts.channel + " " + std::to_string(ctx.errorChannel) + ": " + Sentence(e.what()));
    return kExitBadInput;
  }
  SaveImage(o.output, EncodeConfiguration(panel));
  return kExitOk;
}

int Ports(const Options& o, Console& c) {
  const PortNameEnvironment env = Environment(o);
  const auto system = MakeSystemSerialPorts(env);
  const auto ports = ListFreePorts(env, *system);
  if (ports.empty()) {
    if (!o.quiet) c.err << "No free COM port.\n";
    return kExitOk;
  }
  std::vector<std::vector<std::string>> rows{{"Port", "Name", "Device", "Stable name"}};
  if (o.probe) rows[0].push_back("Card");
  // The probe's pauses and frames are the transfers' own, so Ctrl+C lets go of the port as they do.
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

using Command = int (*)(const Options&, Console&);

// Runs a command and turns what it throws into the report and the exit code a script acts on.
int Guarded(const std::function<int()>& run, std::ostream& err) {
  try {
    return run();
  } catch (const Interrupted&) {
    Report(err, "Interrupted; the port was closed and no file was written.");
    return kExitInterrupted;
  } catch (const JsonInputError& e) {
    Report(err, e.what());
    return kExitBadInput;
  } catch (const ReportedError& e) {
    Report(err, Sentence(e.what()));
    return kExitBadInput;
  } catch (const std::exception& e) {
    Report(err, Sentence(e.what()));
    return kExitTransferFailed;
  }
}

// A file name for one card of many: {port} becomes the port's number.
std::string WithPort(std::string pattern, int port) {
  for (std::size_t at = pattern.find("{port}"); at != std::string::npos;
       at = pattern.find("{port}", at)) {
    pattern.replace(at, 6, std::to_string(port));
  }
  return pattern;
}

// The reason a command reported last, without the program's name in front.
std::string LastReport(const std::string& err) {
  const std::string prefix = std::string(kProgram) + ": ";
  const std::size_t at = err.rfind(prefix);
  if (at == std::string::npos) return {};
  std::string message = err.substr(at + prefix.size());
  message.erase(message.find_last_not_of('\n') + 1);
  return message;
}

// The file the log names for a card: the one written or compared, or the one read into.
std::string LoggedFile(const std::string& command, const Options& o, int port) {
  return command == "read" ? WithPort(o.output, port) : o.file;
}

// One port, as before; with --log, its line too.
int RunOneCard(const std::string& command, Command run, const Options& o, Console& c,
               CardLog* log) {
  if (log == nullptr) return run(o, c);
  const auto start = std::chrono::steady_clock::now();
  CardResult result;
  Console logged = c;
  logged.comparison = &result.comparison;
  result.exitCode = Guarded([&] { return run(o, logged); }, c.err);
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  log->Append(MakeLogEntry(command, o.port, StableDeviceName(o.port, Environment(o)),
                           LoggedFile(command, o, o.port), result, seconds));
  return result.exitCode;
}

void CheckManyCardOptions(const std::string& command, const Options& o) {
  if (o.wait) throw ReportedError("--wait takes a single port");
  if (command == "read" && o.output.find("{port}") == std::string::npos) {
    throw ReportedError("reading several cards needs -o with {port} in the file name");
  }
  if (!o.trace.empty() && o.trace.find("{port}") == std::string::npos) {
    throw ReportedError("--trace for several cards needs {port} in the file name");
  }
}

// Many ports: one session per card, each on its own thread, all started together.
int RunManyCards(const std::string& command, Command run, const Options& o, Console& c,
                 CardLog* log) {
  CheckManyCardOptions(command, o);
  // Before any card's thread starts, so that each inherits it.
  InterruptWatch watch;
  BatchPlan plan{command, o.ports, {}, {}, kConfigImageSize, o.json, c.errIsTerminal && !o.quiet,
                 log};
  if (command == "write" && !o.noVerify) plan.registersPerCard *= 2;
  for (int port : o.ports) plan.stableNames.push_back(StableDeviceName(port, Environment(o)));
  plan.file = [&](int port) { return LoggedFile(command, o, port); };
  const CardJob job = [&](int port, CardProgress& progress) {
    Options card = o;
    card.port = port;
    card.quiet = true;
    card.interrupt = &watch;
    card.progress = &progress;
    card.output = WithPort(o.output, port);
    card.trace = WithPort(o.trace, port);
    std::ostringstream out;
    std::ostringstream err;
    CardResult result;
    Console console{out, err, false, &result.comparison};
    result.exitCode = Guarded([&] { return run(card, console); }, err);
    result.message = LastReport(err.str());
    return result;
  };
  const int exitCode = RunBatch(plan, job, c.out, c.err);
  if (exitCode == kExitInterrupted) {
    Report(c.err, "Interrupted; every port was closed and no unfinished card's file was written.");
  }
  return exitCode;
}

// write, read and verify: one card as always, or many at once.
int RunCards(const std::string& command, Command run, Options& o, Console& c) {
  o.ports = ParsePortList(o.portValues);
  o.port = o.ports.front();
  // An unwritable log is found before any card is touched.
  const auto log = o.log.empty() ? nullptr : std::make_unique<CardLog>(o.log);
  const bool batch = o.ports.size() > 1 || (o.json && command != "read");
  if (!batch) return RunOneCard(command, run, o, c, log.get());
  return RunManyCards(command, run, o, c, log.get());
}

void AddCommon(CLI::App* command, Options& o) {
  command->add_option("--com-dir", o.comDir,
                      "folder whose COM<n> links name the ports (as QUORVEX_COM_DIR)");
  command->add_option("--trace", o.trace,
                      "write every frame, with milliseconds since start, and the debug lines to "
                      "this file");
  command->add_flag("-q,--quiet", o.quiet, "print only results and errors");
  command->footer(kExitCodes);
}

void AddPort(CLI::App* command, Options& o) {
  // A single number is checked as it always was; anything else must be a port list.
  const CLI::Validator portList(
      [](std::string& value) {
        const bool number =
            !value.empty() && value.find_first_not_of("0123456789") == std::string::npos;
        if (number) return CLI::Range(kFirstComPort, kLastComPort)(value);
        return PortListError(value);
      },
      "PORTS");
  command
      ->add_option("-p,--port", o.portValues,
                   "COM port number (1 to 255); several cards at once: a list (3,4,5), a range "
                   "(3-10), or --port again")
      ->required()
      ->type_size(1)
      ->allow_extra_args(false)
      ->check(portList);
  command->add_option("--log", o.log,
                      "append one JSON line per card to this file (time, host, port, device, "
                      "file and its SHA-256, outcome, differences, seconds)");
  command->add_flag("--wait", o.wait,
                    "wait for Enter at each prompt to connect or release the card");
}

}  // namespace

int RunCli(int argc, const char* const* argv, Console console) {
  Options o;
  CLI::App app{
      "Configures the eight outputs of the analogue output card: shows, compares and "
      "converts .KFG files, and writes, reads and verifies the card.",
      kProgram};
  app.set_version_flag("--version", std::string(kProgram) + " " + kProgramVersion);
  // CLI11 reads "/name" as an option on Windows, which would take a path such as /data/a.kfg
  // (the current drive's root, or a path a POSIX shell passes on) for an unknown option. The
  // subcommands inherit this, so it comes before them.
  app.allow_windows_style_options(false);
  app.require_subcommand(1, 1);
  app.footer(kExitCodes);

  std::vector<std::pair<CLI::App*, Command>> commands;
  auto add = [&](const char* name, const char* help, int (*run)(const Options&, Console&)) {
    CLI::App* command = app.add_subcommand(name, help);
    AddCommon(command, o);
    commands.emplace_back(command, run);
    return command;
  };

  auto* show = add("show", "show a .KFG file's channels as the window shows them", Show);
  show->add_option("file", o.file, ".KFG file")->required();
  show->add_flag("--json", o.json, "print JSON instead of a table");

  auto* read = add("read", "read the card's configuration", Read);
  AddPort(read, o);
  read->add_option("-o,--output", o.output,
                   "also save it to this .KFG file (only when every register was read); with "
                   "several ports {port} in the name becomes each port's number");
  read->add_flag("--json", o.json, "print JSON instead of a table");

  auto* write = add("write", "check a .KFG file, write it to the card and read it back", Write);
  AddPort(write, o);
  write->add_option("file", o.file, ".KFG file")->required();
  write->add_flag("--no-verify", o.noVerify, "do not read the card back");
  write->add_flag("--json", o.json, "one JSON object per card instead of a line");

  auto* verify = add("verify", "read the card and compare it with a .KFG file", Verify);
  AddPort(verify, o);
  verify->add_option("file", o.file, ".KFG file")->required();
  verify->add_flag("--json", o.json, "one JSON object per card instead of a line");

  auto* diff = add("diff", "compare two .KFG files field by field", Diff);
  diff->add_option("first", o.file, "first .KFG file")->required();
  diff->add_option("second", o.second, "second .KFG file")->required();

  auto* exportCommand =
      add("export", "a .KFG file as a JSON document (see the README for its form)", Export);
  exportCommand->add_option("file", o.file, ".KFG file")->required();
  exportCommand->add_option("-o,--output", o.output, "JSON file (standard output without it)");

  auto* import =
      add("import", "check a JSON document as the window checks and save it as .KFG", Import);
  import->add_option("file", o.file, "JSON file")->required();
  import->add_option("-o,--output", o.output, ".KFG file")->required();

  auto* ports = add("ports", "list the COM ports that lead to a device and are free now", Ports);
  ports->add_flag("--probe", o.probe,
                  "also mark where a card answers: sends a read request for register 0 to "
                  "whatever is attached to each free port");

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    const int code = app.exit(e, console.out, console.err);
    return code == 0 ? kExitOk : kExitBadInput;
  }

  return Guarded(
      [&]() -> int {
        for (const auto& [command, run] : commands) {
          if (!command->parsed()) continue;
          if (o.portValues.empty()) return run(o, console);
          return RunCards(command->get_name(), run, o, console);
        }
        return kExitBadInput;
      },
      console.err);
}

}  // namespace quorvex::cli
