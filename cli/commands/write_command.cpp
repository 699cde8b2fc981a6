// quorvex-cli write: a .KFG file checked as the window checks it, written and read back.
#include <CLI/CLI.hpp>
#include <chrono>
#include <memory>
#include <optional>
#include <string>

#include "cli/card_batch.h"
#include "cli/card_run.h"
#include "cli/command_setup.h"
#include "cli/commands/card_backup.h"
#include "cli/configuration_input.h"
#include "cli/error_report.h"
#include "cli/many_cards.h"
#include "cli/named_files.h"
#include "cli/port_list.h"
#include "cli/port_selection.h"
#include "cli/printing.h"
#include "core/config_view.h"
#include "core/errors.h"
#include "storage/atomic_file.h"
#include "storage/file_error.h"

namespace quorvex::cli {

namespace {

struct WriteOptions : CardOptions {
  std::string file;
  bool noVerify = false;
  bool json = false;
  std::string backup;  // folder
};

// What the card holds, read as read -o reads it and saved under a name of its own; false after
// a report, and then nothing may be written to the card.
bool BackUp(const WriteOptions& o, Console& c, CardRun& run, std::optional<std::string>& path,
            int& exitCode, CardTransfer& transfer) {
  path = "";
  const auto start = std::chrono::steady_clock::now();
  const auto held = run.ReadImage(c.err, exitCode);
  transfer.backupRead = true;
  transfer.backupExitCode = exitCode;
  transfer.backupHeld = held;
  transfer.backupSeconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  if (!held) {
    Report(c.err, "No backup of " + PortName(o.port, o.network) +
                      " was saved, so nothing was written to it.");
    return false;
  }
  const std::string stem = o.network.count(o.port) != 0
                               ? PortFileName(o.port, o.network)
                               : BackupStem(StableDeviceName(o.port, Environment(o)), o.port);
  try {
    path = SaveBackup(o.backup, stem, std::chrono::system_clock::now(), *held);
  } catch (const FileError& e) {
    throw FileError(std::string(e.what()) +
                    "; the backup was not saved, so nothing was written to " +
                    PortName(o.port, o.network));
  }
  if (!o.quiet)
    c.err << "Backup of " << PortName(o.port, o.network) << "'s configuration: " << *path << "\n";
  return true;
}

int Write(const WriteOptions& o, Console& c, const CardPlace& place) {
  CardTransfer unrecorded;
  CardTransfer& transfer = place.transfer != nullptr ? *place.transfer : unrecorded;
  const std::optional<ConfigImage> given = LoadConfiguration(o.file, c.err);
  if (!given) return kExitBadInput;
  const ConfigImage& fileImage = *given;
  CardRun run(o, c);
  MemoryPanel& panel = run.Panel();
  ShowImage(panel, fileImage);
  if (!o.backup.empty()) {
    // A file the window would refuse is refused before the card is touched at all.
    if (!run.CheckChannels()) return kExitBadInput;
    std::optional<std::string> unlogged;
    int exitCode = kExitOk;
    if (!BackUp(o, c, run, place.backup != nullptr ? *place.backup : unlogged, exitCode,
                transfer)) {
      return exitCode;
    }
  }
  const TransferOutcome outcome = run.Write();
  if (outcome != TransferOutcome::Done) {
    run.ReportFailure(c.err, outcome, "Writing");
    return OutcomeExitCode(outcome);
  }
  // The window writes what it shows; a file whose values it shows rounded is written rounded.
  const ConfigImage written = EncodeConfiguration(panel);
  transfer.held = written;
  if (written != fileImage && !o.quiet) {
    c.err << "Note: the card was given the values as the window shows them, which differ from "
             "the file's bytes.\n";
  }
  if (o.noVerify) {
    if (!o.quiet) c.err << "Written to " << PortName(o.port, o.network) << " (not read back).\n";
    return kExitOk;
  }
  int exitCode = kExitOk;
  const auto card = run.ReadImage(c.err, exitCode);
  if (!card) return exitCode;
  transfer.readBackEqual = *card == written;
  if (*card == written) {
    if (!o.quiet)
      c.err << "Written to " << PortName(o.port, o.network)
            << " and read back: the card holds it.\n";
    return kExitOk;
  }
  c.out << "The card's read-back differs from what was written:\n";
  PrintComparison(c.out, written, *card, "Written", "Card", run.Texts(), c.comparison);
  return kExitDifferent;
}

}  // namespace

void SetupWriteCommand(CLI::App& app, CommandHost& host) {
  auto o = std::make_shared<WriteOptions>();
  CLI::App* command =
      AddCommand(app, host, "write",
                 "check a .KFG file or a record (.csv), write it to the card and read it back", *o,
                 [o](Console& c) {
                   const CardCommandFacts facts{"write", [o](int) { return o->file; },
                                                (o->noVerify ? 1 : 2) * kRegistersPerTransfer +
                                                    (o->backup.empty() ? 0 : kRegistersPerTransfer),
                                                o->json};
                   // Before any card is touched, as an unwritable log is.
                   if (!o->backup.empty() && (!PathExists(o->backup) || IsRegularFile(o->backup))) {
                     throw ReportedError(o->backup + ": no such folder for the backups");
                   }
                   return RunCardCommand(facts, *o, c, [o](const CardPlace& place, Console& pc) {
                     WriteOptions card = *o;
                     PlaceCard(card, place);
                     return Write(card, pc, place);
                   });
                 });
  AddCardOptions(command, *o);
  command->add_option("file", o->file, ".KFG file, or a configuration record (.csv)")->required();
  command->add_flag("--no-verify", o->noVerify, "do not read the card back");
  command->add_option("--backup", o->backup,
                      "first read each card as read -o does and keep what it holds in this "
                      "folder, as <stable name or COMn>-<UTC time>.KFG (never replacing a file); "
                      "a card whose backup failed is not written (exit code 3, or 2 when the "
                      "file could not be saved)");
  command->add_flag("--json", o->json, "one JSON object per card instead of a line");
}

}  // namespace quorvex::cli
