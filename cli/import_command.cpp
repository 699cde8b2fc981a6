// quorvex-cli import: a JSON document checked as the window checks its fields, saved as .KFG.
#include <CLI/CLI.hpp>
#include <cstddef>
#include <memory>
#include <string>

#include "cli/command_setup.h"
#include "cli/common_options.h"
#include "cli/config_json.h"
#include "cli/error_report.h"
#include "cli/named_files.h"
#include "cli/terminal_operator.h"
#include "core/app_context.h"
#include "core/channel_panel.h"
#include "core/errors.h"
#include "core/quantity_catalogue.h"
#include "procedures/channel_check.h"

namespace quorvex::cli {

namespace {

// A configuration document is a few kilobytes; anything far larger is no such document.
constexpr std::size_t kMaxDocumentBytes = 1 << 20;

struct ImportOptions : CommonOptions {
  std::string file;
  std::string output;
};

int Import(const ImportOptions& o, Console& c) {
  const std::string text = LoadTextStart(o.file, kMaxDocumentBytes + 1);
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

}  // namespace

void SetupImportCommand(CLI::App& app, CommandHost& host) {
  auto o = std::make_shared<ImportOptions>();
  CLI::App* command = AddCommand(app, host, "import",
                                 "check a JSON document as the window checks and save it as .KFG",
                                 *o, [o](Console& c) { return Import(*o, c); });
  command->add_option("file", o->file, "JSON file")->required();
  command->add_option("-o,--output", o->output, ".KFG file")->required();
}

}  // namespace quorvex::cli
