// The window's history: each transfer's record through the window's own menu items against the
// fake card, the history window's table, filter, changes, tags, "Load into window" and the
// printed history, on the offscreen platform.
#include <gtest/gtest.h>

#include <QAction>
#include <QDate>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTextEdit>
#include <functional>
#include <string>
#include <vector>

#include "core/config_image.h"
#include "core/config_record.h"
#include "core/config_view.h"
#include "core/image_layout.h"
#include "core/text_set.h"
#include "storage/card_tags.h"
#include "storage/history.h"
#include "storage/settings.h"
#include "storage/sha256.h"
#include "tests/support/panel_setup.h"
#include "tests/ui/window_test_support.h"
#include "ui/card_tag_panel.h"
#include "ui/device_server_ports.h"
#include "ui/history_texts.h"
#include "ui/history_window.h"
#include "ui/history_window_details.h"
#include "ui/history_window_model.h"
#include "ui/history_window_print.h"
#include "ui/qt_channel_panel.h"
#include "ui/serial_device_window.h"

namespace quorvex::testing {
namespace {

constexpr const char* kDevice = "/dev/serial/by-id/usb-FTDI_FT232R_A1-if00-port0";

class HistoryWindowTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    historyPath_ = dir_.filePath("history.sqlite").toStdString();
    frm_->UseHistory(historyPath_);
    frm_->SetPortIdentity([](int n) {
      return n == 1 ? PortIdentity{kDevice, false} : PortIdentity{};
    });
    frm_->SetQuestion([this](const std::string& question) {
      questions_.push_back(question);
      return answer_;
    });
    SaveCardTag(frm_->SettingsPath(), "COM1", "QIR-4711");
    ASSERT_TRUE(ShowActive(*frm_));
    ctx_.comPortNumber = 1;
    ShowConfiguration(frm_->Panel(), kKnownConfiguration);
    ports_.registers = kKnownImage;
    op_.log.clear();
  }

  void Trigger(const char* item) { frm_->findChild<QAction*>(QLatin1String(item))->trigger(); }

  std::vector<HistoryRecord> Records(const HistoryQuery& query = {}) {
    return History(historyPath_).Find(query);
  }

  HistoryWindow& OpenHistory() {
    Trigger("Verlauf1");
    HistoryWindow* window = frm_->HistoryView();
    EXPECT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    return *window;
  }

  void Type(HistoryWindow& window, const char* field, const QString& text) {
    window.findChild<QLineEdit*>(QLatin1String(field))->setText(text);
  }

  std::string historyPath_;
  std::vector<std::string> questions_;
  bool answer_ = false;
};

ConfigImage WithByte(ConfigImage image, std::size_t index, std::uint8_t value) {
  image[index] = value;
  return image;
}

TEST_F(HistoryWindowTest, EveryTransferOfTheWindowGivesItsRecord) {
  const QString kfg = dir_.filePath("plant.KFG");
  struct Case {
    const char* name;
    std::function<void()> arrange;
    const char* item;
    const char* action;
    const char* outcome;
    std::optional<ConfigImage> image;
    bool file;  // the saved file named, with its digest
    std::optional<bool> readBackEqual;
    std::size_t differences;
  };
  const ConfigImage otherCard = WithByte(kKnownImage, 2, 20);  // channel 1's offset
  const std::vector<Case> cases = {
      {"write of a saved file",
       [&] {
         op_.fileAnswers.push_back(kfg.toStdString());
         Trigger("Konfigurationspeichern1");
         ports_.registers = {};
       },
       "Senden", kHistoryWrite, "written", kKnownImage, true, true, 0},
      // The channels are the saved file's from here on: a write or compare names it, a read not.
      {"read", [&] { ports_.registers = otherCard; }, "Empfangen", kHistoryRead, "read", otherCard,
       false, std::nullopt, 0},
      {"compare, equal", [] {}, "Vergleichen", kHistoryVerify, "equal", kKnownImage, true,
       std::nullopt, 0},
      {"compare, one field differs", [&] { ports_.registers = otherCard; }, "Vergleichen",
       kHistoryVerify, "differs", otherCard, true, std::nullopt, 1},
      {"write to a card that never answers", [&] { ports_.answers = false; }, "Senden",
       kHistoryWrite, "failed", std::nullopt, true, std::nullopt, 0},
      {"read of a port that is not there", [&] { ctx_.comPortNumber = 2; }, "Empfangen",
       kHistoryRead, "not available", std::nullopt, false, std::nullopt, 0},
  };
  std::size_t count = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ShowConfiguration(frm_->Panel(), kKnownConfiguration);
    ports_.registers = kKnownImage;
    ports_.answers = true;
    ctx_.comPortNumber = 1;
    c.arrange();
    Trigger(c.item);
    const std::vector<HistoryRecord> records = Records();
    ASSERT_EQ(records.size(), ++count);
    const HistoryRecord& r = records.front();
    EXPECT_EQ(r.action, c.action);
    EXPECT_EQ(r.outcome, c.outcome);
    EXPECT_EQ(r.image, c.image);
    EXPECT_EQ(r.readBackEqual, c.readBackEqual);
    EXPECT_EQ(r.differences.size(), c.differences);
    EXPECT_EQ(r.port, "COM" + std::to_string(ctx_.comPortNumber));
    EXPECT_EQ(r.device, ctx_.comPortNumber == 1 ? kDevice : "");
    EXPECT_EQ(r.tag, ctx_.comPortNumber == 1 ? "QIR-4711" : "");
    EXPECT_EQ(r.program, ProgramNameAndVersion());
    if (c.file) {
      QFile file(kfg);
      ASSERT_TRUE(file.open(QIODevice::ReadOnly));
      const QByteArray bytes = file.readAll();
      EXPECT_EQ(r.file, kfg.toStdString());
      EXPECT_EQ(r.fileSha256, Sha256Hex(bytes.toStdString()));
    } else {
      EXPECT_EQ(r.file, "");
    }
  }
  // The compare's difference in the compare box's own words.
  EXPECT_NE(Records()[2].differences.at(0).find("Channel 1, Offset: window 0.5 V, box 1.0 V"),
            std::string::npos)
      << Records()[2].differences.at(0);
  // A check that refused the channels never reached the card: nothing to record.
  frm_->Panel().SetText("Edit1", "9");
  Trigger("Senden");
  EXPECT_EQ(Records().size(), count);
}

TEST_F(HistoryWindowTest, AHistoryThatCannotBeWrittenTellsOnceAndLeavesTheTransferAsItEnded) {
  // A history whose folder is a file: neither opened nor made.
  QFile blocker(dir_.filePath("blocker"));
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  blocker.close();
  frm_->UseHistory(dir_.filePath("blocker/history.sqlite").toStdString());
  ports_.registers = {};
  Trigger("Senden");
  EXPECT_EQ(ports_.registers, kKnownImage);
  const std::vector<std::string> statuses = op_.Statuses();
  ASSERT_FALSE(statuses.empty());
  EXPECT_NE(statuses.back().find("This transfer is not in the history: "), std::string::npos)
      << statuses.back();
  int told = 0;
  for (const std::string& line : op_.log) {
    told += line.rfind("debug:This transfer is not in the history", 0) == 0 ? 1 : 0;
  }
  EXPECT_EQ(told, 1);
  EXPECT_TRUE(Reports().empty());
}

TEST_F(HistoryWindowTest, TheTableFiltersByTagPortAndDateNewestFirst) {
  Trigger("Empfangen");
  SaveCardTag(frm_->SettingsPath(), "COM1", "QIR-4712");
  Trigger("Empfangen");
  HistoryWindow& window = OpenHistory();
  const HistoryTableModel& model = window.Model();
  ASSERT_EQ(model.rowCount(), 2);
  EXPECT_EQ(model.RecordAt(0)->tag, "QIR-4712");
  EXPECT_EQ(model.data(model.index(0, HistoryTableModel::kPort)).toString().toStdString(),
            std::string("COM1 \u2013 ") + kDevice);
  struct Case {
    const char* field;
    QString text;
    int rows;
  };
  const QString day = QString::fromStdString(Records().front().timeUtc.substr(0, 10));
  const QDate date = QDate::fromString(day, Qt::ISODate);
  for (const Case& c :
       {Case{"TagFilter", QStringLiteral("QIR-4711"), 1},
        Case{"TagFilter", QStringLiteral("QIR-9"), 0},
        Case{"PortFilter", QStringLiteral("COM1"), 2},
        Case{"PortFilter", QString::fromLatin1(kDevice), 2},
        Case{"PortFilter", QStringLiteral("COM2"), 0}, Case{"SinceFilter", day, 2},
        Case{"SinceFilter", date.addDays(1).toString(Qt::ISODate), 0}, Case{"UntilFilter", day, 2},
        Case{"UntilFilter", date.addDays(-1).toString(Qt::ISODate), 0}}) {
    SCOPED_TRACE(std::string(c.field) + " " + c.text.toStdString());
    Type(window, c.field, c.text);
    EXPECT_EQ(model.rowCount(), c.rows);
    Type(window, c.field, QString());
    EXPECT_EQ(model.rowCount(), 2);
  }
}

TEST_F(HistoryWindowTest, CaptionsAndScreenReaderNamesFollowTheWindowsLanguage) {
  HistoryWindow& window = OpenHistory();
  struct Case {
    const char* languageItem;
    const char* menuItem;
    const char* title;
    const char* tagFilterName;
    const char* tableName;
  };
  for (const Case& c :
       {Case{"Deutsch1", "&Verlauf...", "Verlauf", "Kennung", "Eintr\u00e4ge des Verlaufs"},
        Case{"Englisch1", "&History...", "History", "Tag", "History records"}}) {
    SCOPED_TRACE(c.languageItem);
    Trigger(c.languageItem);
    EXPECT_EQ(frm_->findChild<QAction*>(QStringLiteral("Verlauf1"))->text(),
              QString::fromUtf8(c.menuItem));
    EXPECT_EQ(window.windowTitle(), QString::fromUtf8(c.title));
    EXPECT_EQ(window.findChild<QLineEdit*>(QStringLiteral("TagFilter"))->accessibleName(),
              QString::fromUtf8(c.tagFilterName));
    EXPECT_EQ(window.findChild<QWidget*>(QStringLiteral("HistoryTable"))->accessibleName(),
              QString::fromUtf8(c.tableName));
  }
}

TEST(HistoryChangesTest, FieldsChangedSinceTheCardsPreviousRecordAreMarkedBeforeAndAfter) {
  const TextSet english = TextSetFor(kEnglishLanguageNumber);
  ConfigImage allChanged = kKnownImage;
  for (int n = 1; n <= kChannelCount; ++n) {
    allChanged[static_cast<std::size_t>(ChannelOffset(n)) + 2] ^= 0x01;  // every channel's range
  }
  struct Case {
    const char* name;
    std::optional<ConfigImage> before;
    std::size_t changedCells;
    const char* firstChange;
  };
  for (const Case& c :
       {Case{"first record", std::nullopt, 0, ""}, Case{"unchanged", kKnownImage, 0, ""},
        Case{"one field", WithByte(kKnownImage, 2, 20), 1, "1.0 V \u2192 0.5 V"},
        Case{"every channel", allChanged, 8, ""}}) {
    SCOPED_TRACE(c.name);
    const std::vector<RecordRow> table = ChangedTable(kKnownImage, c.before, english);
    ASSERT_EQ(table.size(), 1u + kChannelCount);
    std::size_t changed = 0;
    std::string first;
    for (std::size_t row = 1; row < table.size(); ++row) {
      for (const std::string& cell : table[row]) {
        if (cell.find("\u2192") == std::string::npos) continue;
        if (first.empty()) first = cell;
        ++changed;
      }
    }
    EXPECT_EQ(changed, c.changedCells);
    if (*c.firstChange != '\0') {
      EXPECT_EQ(first, c.firstChange);
    }
  }
}

TEST_F(HistoryWindowTest, TheSelectedRecordShowsWhatChangedSinceTheCardsPreviousOne) {
  Trigger("Empfangen");
  ports_.registers = WithByte(kKnownImage, 2, 20);
  Trigger("Empfangen");
  HistoryWindow& window = OpenHistory();
  auto details = [&window] {
    return window.findChild<QTextEdit*>(QStringLiteral("RecordDetails"))->toPlainText();
  };
  window.Select(0);
  EXPECT_TRUE(details().contains(QStringLiteral("0.5 V \u2192 1.0 V"))) << details().toStdString();
  EXPECT_TRUE(details().contains(QStringLiteral("Changed since record 1")));
  window.Select(1);
  EXPECT_TRUE(details().contains(QStringLiteral("Nothing earlier is known of this card.")));
  EXPECT_FALSE(details().contains(QStringLiteral("\u2192")));
}

TEST_F(HistoryWindowTest, LoadIntoWindowAsksAboutChangedChannelsFirst) {
  ports_.registers = WithByte(kKnownImage, 2, 20);
  Trigger("Empfangen");                                   // the card's configuration, kept as read
  ShowConfiguration(frm_->Panel(), kKnownConfiguration);  // then changed in the window
  HistoryWindow& window = OpenHistory();
  window.Select(0);
  auto* load = window.findChild<QPushButton*>(QStringLiteral("LoadIntoWindow"));
  const int opens = ports_.opens;
  struct Case {
    bool answer;
    std::size_t questions;
    ConfigImage shown;
  };
  const ConfigImage record = WithByte(kKnownImage, 2, 20);
  for (const Case& c : {Case{false, 1, kKnownImage}, Case{true, 2, record},
                        Case{false, 2, record}}) {  // nothing changed since: no question
    answer_ = c.answer;
    load->click();
    EXPECT_EQ(questions_.size(), c.questions);
    EXPECT_EQ(EncodeConfiguration(frm_->Panel()), c.shown);
  }
  EXPECT_EQ(op_.LastStatus(), "Configuration from history record 1");
  EXPECT_EQ(Records().size(), 1u);  // loading is no transfer
  EXPECT_EQ(ports_.opens, opens);
}

TEST_F(HistoryWindowTest, ATagGivenLaterFindsTheRecordUnderItAndKeepsTheChain) {
  SaveCardTag(frm_->SettingsPath(), "COM1", "");
  Trigger("Empfangen");
  HistoryWindow& window = OpenHistory();
  window.Select(0);
  Type(window, "RecordTag", QStringLiteral("  QIR-4713 "));
  window.findChild<QPushButton*>(QStringLiteral("GiveTag"))->click();
  const std::vector<HistoryRecord> tagged = Records(HistoryQuery{"QIR-4713", "", "", "", 0});
  ASSERT_FALSE(tagged.empty());
  EXPECT_EQ(tagged.back().action, kHistoryRead);
  EXPECT_TRUE(History(historyPath_).Check().intact);
}

TEST_F(HistoryWindowTest, ACardsHistoryPrintsToAPdfThatReadsBack) {
  Trigger("Empfangen");
  ports_.registers = WithByte(kKnownImage, 2, 20);
  Trigger("Empfangen");
  History history(historyPath_);
  const std::vector<HistoryRecord> records = CardRecords(history, Records().front());
  ASSERT_EQ(records.size(), 2u);
  const QByteArray pdf =
      HistoryPdf(history, records, ctx_.texts, HistoryTextsFor(kEnglishLanguageNumber));
  ASSERT_TRUE(pdf.startsWith("%PDF-"));
  const QString path = dir_.filePath("history.pdf");
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(pdf);
  file.close();
  const QString program = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
  ASSERT_FALSE(program.isEmpty()) << "pdftotext missing: run tools/ensure_deps.sh";
  QProcess process;
  process.start(program, {path, QStringLiteral("-")});
  ASSERT_TRUE(process.waitForFinished(30000));
  const QString text = QString::fromUtf8(process.readAllStandardOutput());
  for (const QString& expected :
       {QStringLiteral("QIR-4711"), QStringLiteral("0.5 V \u2192 1.0 V"),
        QStringLiteral("Nothing earlier is known of this card."), QStringLiteral("Sens6")}) {
    EXPECT_TRUE(text.contains(expected)) << expected.toStdString() << "\n" << text.toStdString();
  }
}

TEST(CardTagsTest, TheSerialDeviceWindowKeepsATagPerPortAndPerDeviceServerPort) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const std::string settings = dir.filePath("quorvex.ini").toStdString();
  DeviceServerAssignments servers(settings);
  servers.Assign(5, NetworkEndpoint{NetworkProtocol::Rfc2217, "10.0.0.5", 4001});
  CardTagStore tags(settings);
  QWidget opener;
  servers.Serve(opener);
  tags.Serve(opener);
  const SerialDeviceAccess access{
      [] { return std::vector<SerialDevice>{}; }, [](int, const std::string&) {}, {}, false, {}};
  SerialDeviceWindow window(3, &opener, access);
  auto* com = window.findChild<QSpinBox*>(QStringLiteral("CardTagCom"));
  auto* tag = window.findChild<QLineEdit*>(QStringLiteral("CardTag"));
  auto* keep = window.findChild<QPushButton*>(QStringLiteral("KeepCardTag"));
  ASSERT_TRUE(com && tag && keep);
  EXPECT_EQ(com->value(), 3);  // the number the window was opened for
  struct Case {
    int comNumber;
    const char* key;
  };
  for (const Case& c : {Case{3, "COM3"}, Case{5, "rfc2217://10.0.0.5:4001"}}) {
    com->setValue(c.comNumber);
    tag->setText(QStringLiteral("QIR-%1").arg(c.comNumber));
    keep->click();
    EXPECT_EQ(StoredCardTag(settings, c.key), "QIR-" + std::to_string(c.comNumber)) << c.key;
  }
  com->setValue(3);
  EXPECT_EQ(tag->text(), QStringLiteral("QIR-3"));  // each number shows its own
  EXPECT_EQ(StoredDeviceServerPorts(settings).at(5), "rfc2217://10.0.0.5:4001");
}

TEST(CardTagsTest, ATagIsKeptPerPortBesideTheOtherSettingsAndCleaned) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const std::string path = dir.filePath("quorvex.ini").toStdString();
  {
    QFile file(QString::fromStdString(path));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[Main]\r\nCOM=3\r\n");
  }
  const std::string server = CardTagKey(3, "rfc2217://10.0.0.5:4001");
  SaveCardTag(path, CardTagKey(3, ""), " QIR-4711\r\n");
  SaveCardTag(path, server, "QIR-4712");
  EXPECT_EQ(StoredCardTag(path, "COM3"), "QIR-4711");
  EXPECT_EQ(StoredCardTag(path, "rfc2217://10.0.0.5:4001"), "QIR-4712");
  EXPECT_EQ(StoredCardTag(path, "COM4"), "");
  SaveCardTag(path, "COM3", "");
  EXPECT_EQ(StoredCardTag(path, "COM3"), "");
  EXPECT_EQ(StoredComPortNumber(path), 3);
}

}  // namespace
}  // namespace quorvex::testing
