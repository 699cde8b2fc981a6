// quorvex-cli show: a .KFG file's channels as the window shows them.
#include <CLI/CLI.hpp>
#include <memory>
#include <string>

#include "cli/command_setup.h"
#include "cli/common_options.h"
#include "cli/named_files.h"
#include "cli/printing.h"

namespace quorvex::cli {

namespace {

struct ShowOptions : CommonOptions {
  std::string file;
  bool json = false;
};

int Show(const ShowOptions& o, Console& c) {
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

}  // namespace

void SetupShowCommand(CLI::App& app, CommandHost& host) {
  auto o = std::make_shared<ShowOptions>();
  CLI::App* command =
      AddCommand(app, host, "show", "show a .KFG file's channels as the window shows them", *o,
                 [o](Console& c) { return Show(*o, c); });
  command->add_option("file", o->file, ".KFG file")->required();
  command->add_flag("--json", o->json, "print JSON instead of a table");
}

}  // namespace quorvex::cli
