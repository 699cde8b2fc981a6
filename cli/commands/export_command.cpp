// quorvex-cli export: a .KFG file as the JSON document of what the window shows.
#include <CLI/CLI.hpp>
#include <memory>
#include <optional>
#include <string>

#include "cli/command_setup.h"
#include "cli/common_options.h"
#include "cli/config_json.h"
#include "cli/named_files.h"
#include "core/channel_panel.h"
#include "core/config_view.h"
#include "core/errors.h"

namespace quorvex::cli {

namespace {

struct ExportOptions : CommonOptions {
  std::string file;
  std::string output;
};

int Export(const ExportOptions& o, Console& c) {
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
    SaveText(o.output, text);
  }
  return kExitOk;
}

}  // namespace

void SetupExportCommand(CLI::App& app, CommandHost& host) {
  auto o = std::make_shared<ExportOptions>();
  CLI::App* command = AddCommand(app, host, "export",
                                 "a .KFG file as a JSON document (its form: docs/command-line.md)",
                                 *o, [o](Console& c) { return Export(*o, c); });
  command->add_option("file", o->file, ".KFG file")->required();
  command->add_option("-o,--output", o->output, "JSON file (standard output without it)");
}

}  // namespace quorvex::cli
