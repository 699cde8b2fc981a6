// Tests of how a command's failure becomes its report line and exit code.
#include "cli/error_report.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <stdexcept>

#include "cli/commands.h"
#include "cli/config_json.h"
#include "cli/interrupt.h"
#include "core/errors.h"

namespace quorvex::cli {
namespace {

struct FailureCase {
  const char* kind;
  std::function<int()> fail;
  int exitCode;
  const char* report;
};

// A script tells the failures apart only by these codes, and only JSON paths keep their wording.
TEST(ErrorReportTest, EachFailureKindGivesItsExitCodeAndOneReportLine) {
  const FailureCase cases[] = {
      {"interrupt", []() -> int { throw Interrupted(); }, kExitInterrupted,
       "quorvex-cli: Interrupted; the port was closed and no file was written.\n"},
      {"document", []() -> int { throw JsonInputError("$.channels[2].unit: no such unit"); },
       kExitBadInput, "quorvex-cli: $.channels[2].unit: no such unit\n"},
      {"reported", []() -> int { throw ReportedError("File not found"); }, kExitBadInput,
       "quorvex-cli: File not found.\n"},
      {"other", []() -> int { throw std::runtime_error("Serial line lost."); }, kExitTransferFailed,
       "quorvex-cli: Serial line lost.\n"},
  };
  for (const FailureCase& c : cases) {
    std::ostringstream err;
    EXPECT_EQ(RunReported(err, c.fail), c.exitCode) << c.kind;
    EXPECT_EQ(err.str(), c.report) << c.kind;
  }
  std::ostringstream quiet;
  EXPECT_EQ(RunReported(quiet, [] { return kExitDifferent; }), kExitDifferent);
  EXPECT_EQ(quiet.str(), "");
}

}  // namespace
}  // namespace quorvex::cli
