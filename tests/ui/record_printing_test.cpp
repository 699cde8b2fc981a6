// The print module: found from the program's folder as built, and a clear message when missing.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <stdexcept>
#include <string>

#include "ui/record_printing.h"

namespace quorvex::testing {
namespace {

TEST(RecordPrintingTest, TheProgramFindsItsPrintModuleFromItsOwnFolder) {
  EXPECT_NE(LoadPrintModule(PrintModuleFiles(QStringLiteral(QUORVEX_PROGRAM_DIR))), nullptr);
}

TEST(RecordPrintingTest, AMissingOrBrokenModuleIsReportedNotCrashedOn) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QStringList files = PrintModuleFiles(dir.path());
  struct Case {
    bool broken;  // a file of the module's name that is no library
    const char* message;
  };
  for (const Case& c : {Case{false, "Printing is not available: quorvex-print"},
                        Case{true, "Printing is not available: "}}) {
    if (c.broken) {
      QFile file(files.back());
      ASSERT_TRUE(file.open(QIODevice::WriteOnly));
      file.write("not a library");
    }
    try {
      LoadPrintModule(files);
      ADD_FAILURE() << "loaded from " << dir.path().toStdString();
    } catch (const std::runtime_error& e) {
      EXPECT_EQ(std::string(e.what()).rfind(c.message, 0), 0u) << e.what();
    }
  }
}

}  // namespace
}  // namespace quorvex::testing
