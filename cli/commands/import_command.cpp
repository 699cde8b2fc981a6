// quorvex-cli import: a JSON document or a configuration record (CSV) checked as the window checks
// its fields, saved as .KFG.
#include <CLI/CLI.hpp>
#include <cstddef>
#include <memory>
#include <string>

#include "cli/command_setup.h"
#include "cli/common_options.h"
#include "cli/config_json.h"
#include "cli/configuration_input.h"
#include "cli/named_files.h"
#include "core/channel_panel.h"
#include "core/quantity_catalogue.h"

namespace quorvex::cli {

namespace {

// A configuration document is a few kilobytes; anything far larger is no such document.
constexpr std::size_t kMaxDocumentBytes = 1 << 20;

struct ImportOptions : CommonOptions {
  std::string file;
  std::string output;
};

// The name says which form a file has; without a telling name, a JSON document starts with a
// brace or bracket, which no record's first cell does.
bool IsJson(const std::string& path, const std::string& text) {
  if (IsRecordFile(path)) return false;
  if (path.size() >= 5 && path.compare(path.size() - 5, 5, ".json") == 0) return true;
  const std::size_t first = text.find_first_not_of(" \t\r\n");
  return first != std::string::npos && (text[first] == '{' || text[first] == '[');
}

int Import(const ImportOptions& o, Console& c) {
  const std::string text = LoadTextStart(o.file, kMaxDocumentBytes + 1);
  std::optional<ConfigImage> image;
  if (IsJson(o.file, text)) {
    if (text.size() > kMaxDocumentBytes) {
      throw JsonInputError("$: the file is larger than a configuration document can be");
    }
    MemoryPanel panel;
    FillChannelLists(panel);
    EnterDocument(text, panel);
    image = CheckedImage(panel, c.err);
  } else {
    image = RecordImage(o.file, text, c.err);
  }
  if (!image) return kExitBadInput;
  SaveImage(o.output, *image);
  return kExitOk;
}

}  // namespace

void SetupImportCommand(CLI::App& app, CommandHost& host) {
  auto o = std::make_shared<ImportOptions>();
  CLI::App* command = AddCommand(
      app, host, "import",
      "check a JSON document or a configuration record (.csv) as the window checks and save it "
      "as .KFG",
      *o, [o](Console& c) { return Import(*o, c); });
  command
      ->add_option("file", o->file,
                   "JSON file, or the record's CSV file (as exported, or saved again by a "
                   "spreadsheet)")
      ->required();
  command->add_option("-o,--output", o->output, ".KFG file")->required();
}

}  // namespace quorvex::cli
