// quorvex-cli diff: two .KFG files compared field by field.
#include <CLI/CLI.hpp>
#include <memory>
#include <string>

#include "cli/command_setup.h"
#include "cli/common_options.h"
#include "cli/named_files.h"
#include "cli/printing.h"

namespace quorvex::cli {

namespace {

struct DiffOptions : CommonOptions {
  std::string first;
  std::string second;
};

int Diff(const DiffOptions& o, Console& c) {
  const ConfigImage first = LoadImage(o.first);
  const ConfigImage second = LoadImage(o.second);
  return PrintComparison(c.out, first, second, o.first, o.second, EnglishTextSet());
}

}  // namespace

void SetupDiffCommand(CLI::App& app, CommandHost& host) {
  auto o = std::make_shared<DiffOptions>();
  CLI::App* command = AddCommand(app, host, "diff", "compare two .KFG files field by field", *o,
                                 [o](Console& c) { return Diff(*o, c); });
  command->add_option("first", o->first, "first .KFG file")->required();
  command->add_option("second", o->second, "second .KFG file")->required();
}

}  // namespace quorvex::cli
