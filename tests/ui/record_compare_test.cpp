// Comparing the window with the card, and the record of what the window shows, through the real
// window's menu items on the offscreen platform.
#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <memory>
#include <string>
#include <vector>

#include "core/app_context.h"
#include "core/channel_editing.h"
#include "core/config_image.h"
#include "core/config_record.h"
#include "core/config_view.h"
#include "core/text_set.h"
#include "tests/support/fake_clock.h"
#include "tests/support/fake_operator.h"
#include "tests/support/panel_setup.h"
#include "tests/ui/window_test_support.h"
#include "ui/main_frm.h"
#include "ui/qt_channel_panel.h"
#include "ui/record_document.h"

namespace quorvex::testing {
namespace {

constexpr const char* kReleaseBox =
    "box:Transmission|Now release the connection between device and PC|none";

// Runs a poppler tool on a file; the tools are installed with the other dependencies, so a
// missing one fails the test rather than skipping it.
QString Poppler(const char* tool, const QString& pdf) {
  const QString program = QStandardPaths::findExecutable(QLatin1String(tool));
  EXPECT_FALSE(program.isEmpty()) << tool << " missing: run tools/ensure_deps.sh";
  if (program.isEmpty()) return {};
  QProcess process;
  QStringList arguments{pdf};
  if (QLatin1String(tool) == QLatin1String("pdftotext")) arguments << QStringLiteral("-");
  process.start(program, arguments);
  EXPECT_TRUE(process.waitForFinished(30000));
  EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
  return QString::fromUtf8(process.readAllStandardOutput());
}

// On Linux the tools come with the other dependencies and their absence fails above. On Windows
// (and under Wine, which cannot see the host's) they are there only where someone installed
// them; without them the PDF is checked by its first bytes alone.
bool PopplerToRun() {
#ifdef _WIN32
  return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty();
#else
  return true;
#endif
}

class RecordCompareTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    ASSERT_TRUE(ShowActive(*frm_));
    ctx_.comPortNumber = 1;
    ShowConfiguration(frm_->Panel(), kKnownConfiguration);
    op_.log.clear();
  }

  void Trigger(const char* item) { frm_->findChild<QAction*>(QLatin1String(item))->trigger(); }
};

TEST_F(RecordCompareTest, CompareNamesEachFieldTheCardHoldsOtherwiseAndLeavesTheWindowAlone) {
  struct Case {
    int channel;
    ChannelSetting onCard;
    const char* difference;  // "" when the card holds what the window shows
  };
  const Case cases[] = {
      {1, kKnownConfiguration[0], ""},
      {2, {7, kMilliamps, "4", "20", "1000"}, "Channel 2, Measurement value: window CO, box NO"},
      {1, {0, kVolts, "1", "10", "25"}, "Channel 1, Offset: window 0.5 V, box 1.0 V"},
      {1, {0, kVolts, "0.5", "5", "25"}, "Channel 1, Range: window 10.0 V, box 5.0 V"},
      {1,
       {0, kVolts, "0.5", "10", "30"},
       "Channel 1, Measurement range: window 25.0 %, box 30.0 %"},
  };
  for (const Case& c : cases) {
    MemoryPanel card;
    Configuration onCard = kKnownConfiguration;
    onCard[static_cast<std::size_t>(c.channel - 1)] = c.onCard;
    ShowConfiguration(card, onCard);
    ports_.registers = EncodeConfiguration(card);
    op_.log.clear();
    const PanelState before = Snapshot(frm_->Panel());
    const std::string fileBefore = frm_->RememberedFileName();

    Trigger("Vergleichen");

    const std::string box =
        *c.difference == '\0'
            ? "The box holds the configuration shown."
            : std::string("The box holds a different configuration:\n") + c.difference;
    const std::vector<std::string> boxes = op_.Boxes();
    ASSERT_FALSE(boxes.empty());
    EXPECT_EQ(boxes.back(), "Compare with box|" + box + "|information") << c.difference;
    // The release prompt, the comparison's status, its box.
    EXPECT_EQ(op_.log[op_.log.size() - 3], kReleaseBox);
    EXPECT_EQ(op_.LastStatus(), *c.difference == '\0' ? "Compared with box: equal"
                                                      : "Compared with box: 1 field differs");
    EXPECT_EQ(Snapshot(frm_->Panel()), before) << c.difference;
    EXPECT_EQ(frm_->RememberedFileName(), fileBefore);
  }
  EXPECT_TRUE(Reports().empty());
}

TEST_F(RecordCompareTest, CompareNamesAUnitChangeAloneWhenTheNumbersReadAlike) {
  SetChannel(frm_->Panel(), 4, "Lambda", kMilliamps, "0", "0", "5");
  FormatAllChannels(frm_->Panel());
  MemoryPanel card;
  ShowConfiguration(card, kKnownConfiguration);
  SetChannel(card, 4, "Lambda", kVolts, "0", "0", "5");
  ports_.registers = EncodeConfiguration(card);
  const PanelState before = Snapshot(frm_->Panel());

  Trigger("Vergleichen");

  EXPECT_EQ(op_.Boxes().back(),
            "Compare with box|The box holds a different configuration:\n"
            "Channel 4, Format: window mA, box V|information");
  EXPECT_EQ(Snapshot(frm_->Panel()), before);
}

TEST_F(RecordCompareTest, CompareTellsBytesApartThatShowAlikeAndComparesOnlyWhatCouldBeWritten) {
  // The window shows 1.5 V and would write 30; a card holding 31 shows as 1.5 V too.
  SetChannel(frm_->Panel(), 1, "O2", kVolts, "1.5", "10", "25");
  FormatAllChannels(frm_->Panel());
  ports_.registers = kKnownImage;
  ports_.registers[ChannelOffset(1) + 1] = 31;
  Trigger("Vergleichen");
  EXPECT_EQ(op_.Boxes().back(),
            "Compare with box|The box holds a different configuration:\n"
            "Channel 1, Offset: window 1.5 V, box 1.55 V|information");

  // An offset the write would refuse is no configuration to look for on the card.
  SetChannel(frm_->Panel(), 1, "O2", kVolts, "3.0", "10", "25");
  op_.log.clear();
  Trigger("Vergleichen");
  ASSERT_EQ(op_.Boxes().size(), 1u);
  EXPECT_NE(op_.Boxes()[0].find("Offset not in range between 0 and 2.5 V"), std::string::npos);
}

TEST_F(RecordCompareTest, AFailedReadReportsAsReadingDoesAndComparesNothing) {
  ports_.answers = false;
  const PanelState before = Snapshot(frm_->Panel());

  Trigger("Vergleichen");

  EXPECT_EQ(op_.LastStatus(), "Error by configuration reading");
  EXPECT_EQ(op_.log.back(), kReleaseBox);
  EXPECT_EQ(op_.Boxes().size(), 2u);  // connect and release prompts only
  EXPECT_EQ(Snapshot(frm_->Panel()), before);
  EXPECT_FALSE(frm_->TransferRunning());
}

TEST_F(RecordCompareTest, NewItemsHaveAccessKeysOfTheirOwnInTheirMenus) {
  for (const char* menuName : {"Datei1", "Uebertragen"}) {
    std::vector<QChar> keys;
    for (QAction* a : frm_->findChild<QMenu*>(QLatin1String(menuName))->actions()) {
      if (a->isSeparator()) continue;
      const qsizetype amp = a->text().indexOf(QLatin1Char('&'));
      ASSERT_GE(amp, 0) << a->objectName().toStdString();
      keys.push_back(a->text().at(amp + 1).toLower());
    }
    for (std::size_t i = 0; i < keys.size(); ++i) {
      for (std::size_t j = i + 1; j < keys.size(); ++j) EXPECT_NE(keys[i], keys[j]) << menuName;
    }
  }
}

class ExportTest : public RecordCompareTest {
 protected:
  // Exports through the menu item, the save dialog answering `name` in the test folder.
  QString Export(const QString& name) {
    const QString path = dir_.filePath(name);
    op_.fileAnswers.push_back(path.toStdString());
    Trigger("Protokollexportieren1");
    return path;
  }
};

TEST_F(ExportTest, CsvHoldsTheFactsTheImageAndEveryChannelAsShownWithItsRegisters) {
  const QString path = Export(QStringLiteral("record.CSV"));
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray bytes = file.readAll();
  EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBF"));
  // The minute of the export is the one thing the test cannot know beforehand.
  const std::string csv =
      QString::fromUtf8(bytes.mid(3))
          .replace(QRegularExpression(QStringLiteral("^Date,\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d,"),
                                      QRegularExpression::MultilineOption),
                   QStringLiteral("Date,(now),"))
          .toStdString();
  EXPECT_EQ(csv, "Program," + ProgramNameAndVersion() +
                     ",,,,,,\r\n"
                     "Date,(now),,,,,,\r\n"
                     "Configuration file," +
                     frm_->RememberedFileName() +
                     ",,,,,,\r\n"
                     "COM port,COM1,,,,,,\r\n"
                     "\"Image (41 bytes, hex)\"," +
                     ImageHex(kKnownImage) +
                     ",,,,,,\r\n"
                     ",,,,,,,\r\n"
                     "Channel,Measurement value,Format,Offset,Range,Measurement range,Measurement "
                     "unit,Registers (hex)\r\n"
                     "1,O2,V,0.5,10.0,25.0,%,00 0A C8 00 FA\r\n"
                     "2,CO,mA,4.0,20.0,1000,ppm,01 28 C8 03 E8\r\n"
                     "3,TGas,V,0.0,10.2,1200,\u00b0C,02 00 CC 04 B0\r\n"
                     "4,Lambda,mA,0.0,20.0,5.00,,03 00 C8 01 F4\r\n"
                     "5,Eta,V,2.5,5.0,120.0,%,04 32 64 04 B0\r\n"
                     "6,CO2,mA,5.0,20.4,20.0,%,05 32 CC 00 C8\r\n"
                     "7,TRaum,V,1.0,10.0,50,\u00b0C,07 14 C8 01 F4\r\n"
                     "8,Sens6,mA,0.4,16.0,63000,ppm,11 04 A0 F6 18\r\n");
  EXPECT_EQ(op_.LastStatus(), "Record exported to record.CSV");
  ASSERT_EQ(op_.fileRequests.size(), 1u);
  EXPECT_EQ(op_.fileRequests[0].title, "Export record");
  EXPECT_TRUE(Reports().empty());
}

TEST_F(ExportTest, PdfIsOneA4PageThatHoldsEveryChannelAndTheImage) {
  // A name without the extension gets it.
  const QString path = Export(QStringLiteral("record")) + QLatin1String(".pdf");
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_TRUE(file.read(5) == "%PDF-");
  if (!PopplerToRun()) GTEST_SKIP() << "no pdfinfo or pdftotext on this Windows";
  const QString info = Poppler("pdfinfo", path);
  EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\n"))))
      << info.toStdString();
  EXPECT_TRUE(info.contains(QStringLiteral("(A4)"))) << info.toStdString();

  const QString text = Poppler("pdftotext", path);
  ConfigRecord record;
  record.channels = ViewConfiguration(frm_->Panel());
  for (const RecordRow& row : RecordTable(record, ctx_.texts)) {
    for (const std::string& cell : row) {
      EXPECT_TRUE(text.contains(QString::fromStdString(cell))) << cell << " in:\n"
                                                               << text.toStdString();
    }
  }
  EXPECT_TRUE(text.contains(QStringLiteral("Quorvex ")));
  EXPECT_TRUE(text.contains(QStringLiteral("COM1")));
  EXPECT_TRUE(text.contains(QString::fromStdString(ImageHex(kKnownImage)).left(30)));
  EXPECT_TRUE(text.contains(QStringLiteral("55 00 0A C8 00 FA")));
  EXPECT_TRUE(Reports().empty());
}

TEST_F(ExportTest, AFailedWriteIsReportedAndLeavesNoFile) {
  const QString path = Export(QStringLiteral("missing/record.csv"));
  EXPECT_FALSE(QFile::exists(path));
  ASSERT_EQ(Reports().size(), 1u);
  QStringList left = QDir(dir_.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries);
  left.removeAll(QStringLiteral("quorvex.ini"));
  EXPECT_TRUE(left.isEmpty()) << left.join(' ').toStdString();
}

TEST_F(ExportTest, AnInvalidChannelStopsTheExportWithItsCheck) {
  SetChannel(frm_->Panel(), 3, "TGas", kVolts, "3", "10", "1200");
  const QString path = Export(QStringLiteral("record.csv"));
  EXPECT_FALSE(QFile::exists(path));
  EXPECT_TRUE(op_.fileRequests.empty());
  EXPECT_EQ(op_.Boxes().size(), 1u);
}

TEST(RecordPrintTest, PrintsOnePageThroughQtsPdfOutput) {
  TestApp();
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  MemoryPanel panel;
  FillKnownConfiguration(panel);
  ConfigRecord record;
  record.program = ProgramNameAndVersion();
  record.channels = ViewConfiguration(panel);
  record.image = kKnownImage;
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  const QString path = dir.filePath(QStringLiteral("printed.pdf"));
  printer.setOutputFileName(path);
  PrintRecord(printer, record, EnglishTextSet());
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_TRUE(file.read(5) == "%PDF-");
  if (!PopplerToRun()) GTEST_SKIP() << "no pdfinfo or pdftotext on this Windows";
  EXPECT_TRUE(
      Poppler("pdfinfo", path).contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\n"))));
  EXPECT_TRUE(Poppler("pdftotext", path).contains(QStringLiteral("Sens6")));
}

}  // namespace
}  // namespace quorvex::testing
