// The batch runner: threads, the per-card lines and progress lines, the log, the summary.
#include "cli/card_batch.h"

#include <nlohmann/json.hpp>

#include <chrono>
#include <cstdio>
#include <exception>
#include <map>
#include <memory>
#include <thread>

#include "cli/card_log.h"
#include "cli/port_selection.h"
#include "storage/atomic_file.h"
#include "storage/sha256.h"

namespace quorvex::cli {

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kDisplayTick = std::chrono::milliseconds(100);
constexpr int kBarWidth = 20;
constexpr int kInternalError = 3;

// One card's place: its thread writes the result and then sets `ended`; only then does the
// main thread read the result.
struct Slot {
  int port = 0;
  PortDevice device;
  CardProgress progress;
  CardResult result;
  double seconds = 0;
  std::atomic<bool> ended{false};
  bool reported = false;
  HistoryNote history;  // how its record went, once it is reported
  std::thread thread;
};

std::string PlanPortName(const BatchPlan& plan, int port) {
  return plan.portName ? plan.portName(port) : "COM" + std::to_string(port);
}

void RunOne(const CardJob& job, Slot& slot) {
  const auto start = Clock::now();
  try {
    slot.result = job(slot.port, slot.progress);
  } catch (const std::exception& e) {
    slot.result = {kInternalError, {}, e.what(), std::nullopt, {}};
  } catch (...) {
    slot.result = {kInternalError, {}, "unknown error", std::nullopt, {}};
  }
  slot.seconds = std::chrono::duration<double>(Clock::now() - start).count();
  slot.ended.store(true, std::memory_order_release);
}

std::string Seconds(double seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f s", seconds);
  return text;
}

std::vector<std::string> Differences(const CardResult& r) {
  std::vector<std::string> texts;
  for (std::size_t i = 1; i < r.comparison.size(); ++i) {
    texts.push_back(DifferenceText(r.comparison.front(), r.comparison[i]));
  }
  return texts;
}

std::string CardLine(const BatchPlan& plan, const Slot& s) {
  std::string line = PlanPortName(plan, s.port) + "  " +
                     (s.device.stableName.empty() ? "-" : s.device.stableName) + "  " +
                     (s.device.friendlyName.empty() ? "" : s.device.friendlyName + "  ") +
                     OutcomeWord(plan.command, s.result.exitCode) + "  " + Seconds(s.seconds);
  const std::vector<std::string> differences = Differences(s.result);
  for (std::size_t i = 0; i < differences.size(); ++i)
    line += (i == 0 ? "  " : "; ") + differences[i];
  if (differences.empty() && !s.result.message.empty()) line += "  " + s.result.message;
  if (s.result.backup && !s.result.backup->empty()) line += "  backup " + *s.result.backup;
  return line;
}

std::string CardJson(const BatchPlan& plan, const Slot& s) {
  const HistoryNote& note = s.history;
  nlohmann::ordered_json card;
  card["port"] = PlanPortName(plan, s.port);
  card["device"] = s.device.stableName;
  if (!s.device.friendlyName.empty()) card["device_name"] = s.device.friendlyName;
  card["outcome"] = OutcomeWord(plan.command, s.result.exitCode);
  card["exit_code"] = s.result.exitCode;
  card["seconds"] = static_cast<double>(static_cast<long long>(s.seconds * 1000.0)) / 1000.0;
  card["differences"] = Differences(s.result);
  card["message"] = s.result.message;
  card["file"] = plan.file ? plan.file(s.port) : std::string();
  if (s.result.backup) card["backup"] = *s.result.backup;
  if (plan.history && note.failure.empty()) card["history"] = note.id;
  if (plan.history && !note.failure.empty()) card["history_error"] = note.failure;
  return card.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

void ReportEnded(const BatchPlan& plan, Slot& s, std::ostream& out, std::ostream& err) {
  s.reported = true;
  if (plan.log != nullptr) {
    try {
      LogEntry entry =
          MakeLogEntry(plan.command, s.port, s.device,
                       plan.file ? plan.file(s.port) : std::string(), s.result, s.seconds);
      entry.portName = PlanPortName(plan, s.port);
      plan.log->Append(entry);
    } catch (const std::exception& e) {
      err << "quorvex-cli: " << e.what() << '\n';
    }
  }
  if (plan.history) {
    s.history = plan.history(s.port, s.device, s.result, s.seconds);
  }
  if (plan.progressLines) return;
  out << (plan.json ? CardJson(plan, s) : CardLine(plan, s)) << '\n' << std::flush;
}

std::string ProgressLine(const BatchPlan& plan, const Slot& s) {
  if (s.ended.load(std::memory_order_acquire)) return CardLine(plan, s);
  const int done = s.progress.registers.load(std::memory_order_relaxed);
  const int total = plan.registersPerCard;
  const int filled = total > 0 ? std::min(kBarWidth, done * kBarWidth / total) : 0;
  return PlanPortName(plan, s.port) + "  [" + std::string(static_cast<std::size_t>(filled), '#') +
         std::string(static_cast<std::size_t>(kBarWidth - filled), '.') + "]  " +
         std::to_string(done) + "/" + std::to_string(total);
}

void DrawProgress(const BatchPlan& plan, const std::vector<std::unique_ptr<Slot>>& slots,
                  std::ostream& err, bool first) {
  if (!first) err << "\x1b[" << slots.size() << 'A';
  for (const auto& s : slots) err << "\r\x1b[K" << ProgressLine(plan, *s) << '\n';
  err << std::flush;
}

void PrintSummary(const BatchPlan& plan, const std::vector<std::unique_ptr<Slot>>& slots,
                  double seconds, int exitCode, std::ostream& out) {
  std::map<int, int> counts;
  for (const auto& s : slots) ++counts[s->result.exitCode];
  std::string line = std::to_string(slots.size()) + " cards in " + Seconds(seconds) + ":";
  const char* separator = " ";
  for (const auto& [code, count] : counts) {
    line += separator + std::to_string(count) + " " + OutcomeWord(plan.command, code);
    separator = ", ";
  }
  out << line << "; exit code " << exitCode << '\n';
}

}  // namespace

std::string OutcomeWord(const std::string& command, int exitCode) {
  switch (exitCode) {
    case 0:
      return command == "verify" ? "equal" : command == "read" ? "read" : "written";
    case 1:
      return "differs";
    case 2:
      return "bad input";
    case 3:
      return "failed";
    case 4:
      return "not available";
    case 130:
      return "interrupted";
    default:
      return "exit code " + std::to_string(exitCode);
  }
}

LogEntry MakeLogEntry(const std::string& command, int port, const PortDevice& device,
                      const std::string& file, const CardResult& result, double seconds) {
  LogEntry entry{command,
                 port,
                 device.stableName,
                 file,
                 {},
                 OutcomeWord(command, result.exitCode),
                 Differences(result),
                 seconds,
                 result.backup,
                 {},
                 device.friendlyName};
  const bool fileIsTheCards = command != "read" || result.exitCode == 0;
  if (!file.empty() && fileIsTheCards && IsRegularFile(file)) {
    entry.fileSha256 = Sha256Hex(ReadFileStart(file, std::size_t{1} << 20));
  }
  // Read back from the disk: the record vouches for what the folder holds.
  if (result.backup && !result.backup->empty() && IsRegularFile(*result.backup)) {
    entry.backupSha256 = Sha256Hex(ReadFileStart(*result.backup, std::size_t{1} << 20));
  }
  return entry;
}

std::string DifferenceText(const std::vector<std::string>& header,
                           const std::vector<std::string>& row) {
  // The first two columns say where (channel and field, or register), the others what.
  std::string text;
  for (std::size_t i = 0; i < row.size() && i < header.size(); ++i) {
    if (i < 2) {
      if (i == 0 && !header[0].empty()) text += header[0] + " ";
      if (!row[i].empty()) text += (i == 1 ? ", " : "") + row[i];
      continue;
    }
    text += (i == 2 ? ": " : ", ") + header[i] + " " + row[i];
  }
  return text;
}

int RunBatch(const BatchPlan& plan, const CardJob& job, std::ostream& out, std::ostream& err) {
  const auto start = Clock::now();
  std::vector<std::unique_ptr<Slot>> slots;
  for (std::size_t i = 0; i < plan.ports.size(); ++i) {
    auto slot = std::make_unique<Slot>();
    slot->port = plan.ports[i];
    if (i < plan.devices.size()) slot->device = plan.devices[i];
    slots.push_back(std::move(slot));
  }
  for (auto& s : slots) s->thread = std::thread(RunOne, std::cref(job), std::ref(*s));

  // The cards' threads are joined on every path, also when the display throws.
  struct Joiner {
    std::vector<std::unique_ptr<Slot>>& slots;
    ~Joiner() {
      for (auto& s : slots)
        if (s->thread.joinable()) s->thread.join();
    }
  } joiner{slots};

  if (plan.progressLines) DrawProgress(plan, slots, err, true);
  for (std::size_t left = slots.size(); left > 0;) {
    std::this_thread::sleep_for(kDisplayTick);
    for (auto& s : slots) {
      if (s->reported || !s->ended.load(std::memory_order_acquire)) continue;
      ReportEnded(plan, *s, out, err);
      --left;
    }
    if (plan.progressLines) DrawProgress(plan, slots, err, false);
  }
  std::vector<int> codes;
  for (const auto& s : slots) codes.push_back(s->result.exitCode);
  const int exitCode = CombineExitCodes(codes);
  if (plan.progressLines) {
    // The progress lines give way to the cards' lines, which go where a script reads them.
    err << "\x1b[" << slots.size() << "A\x1b[J" << std::flush;
    for (const auto& s : slots)
      out << (plan.json ? CardJson(plan, *s) : CardLine(plan, *s)) << '\n';
  }
  if (!plan.json) {
    PrintSummary(plan, slots, std::chrono::duration<double>(Clock::now() - start).count(), exitCode,
                 out);
  }
  return exitCode;
}

}  // namespace quorvex::cli
