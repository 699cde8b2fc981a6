// The real main window on the offscreen platform with a scripted operator: its components,
// layout, texts, keyboard handling and the checks it runs.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <string>
#include <vector>

#include "core/app_context.h"
#include "core/channel_panel.h"
#include "tests/support/fake_clock.h"
#include "tests/support/fake_operator.h"
#include "tests/ui/window_test_support.h"
#include "ui/language_texts.h"
#include "ui/main_frm.h"
#include "ui/qt_channel_panel.h"

namespace quorvex::testing {
namespace {

std::string Name(const QWidget* w) {
  return w ? w->objectName().toStdString() : "(none)";
}

class MainFrmTest : public WindowTest {
 protected:
  template <class T = QWidget>
  T* Get(const char* name) {
    T* w = frm_->findChild<T*>(QLatin1String(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
  }
  QLineEdit* Field(const char* name) { return Get<QLineEdit>(name); }
  QComboBox* List(const char* name) { return Get<QComboBox>(name); }
  std::string Text(const char* name) { return frm_->Panel().Text(name); }
  void SetText(const char* name, const char* text) { frm_->Panel().SetText(name, text); }
  static std::string Focused() { return Name(QApplication::focusWidget()); }
  static void Press(Qt::Key key) { QTest::keyClick(QApplication::focusWidget(), key); }
  void Show() { ASSERT_TRUE(ShowActive(*frm_)); }
};

TEST_F(MainFrmTest, EveryComponentCarriesItsNameAndKind) {
  EXPECT_EQ(frm_->objectName(), "MainFrm");
  for (int n = 1; n <= 8; ++n) {
    for (const char* stem : {"ComboBox", "EinheitBox"}) {
      EXPECT_NE(frm_->findChild<QComboBox*>(QString::fromStdString(ComponentName(stem, n))),
                nullptr)
          << stem << n;
    }
    for (const char* stem : {"Edit", "BereichEdit", "MessEdit"}) {
      EXPECT_NE(frm_->findChild<QLineEdit*>(QString::fromStdString(ComponentName(stem, n))),
                nullptr)
          << stem << n;
    }
    for (const char* stem : {"ELabel", "Label"}) {
      EXPECT_NE(frm_->findChild<QLabel*>(QString::fromStdString(ComponentName(stem, n))), nullptr)
          << stem << n;
    }
  }
  for (const char* header : {"Label9", "Label10", "Label11", "Label12", "Einheit"}) {
    Get<QLabel>(header);
  }
  Get<QStatusBar>("StatusBar1");

  auto names = [](const QList<QAction*>& actions) {
    std::vector<std::string> out;
    for (QAction* a : actions) out.push_back(a->objectName().toStdString());
    return out;
  };
  auto* datei1 = Get<QMenu>("Datei1");
  auto* uebertragen = Get<QMenu>("Uebertragen");
  ASSERT_TRUE(datei1 && uebertragen);
  EXPECT_EQ(names(datei1->actions()),
            (std::vector<std::string>{"Konfigurationladen1", "Konfigurationspeichern1",
                                      "Konfigurationdrucken1", "Protokollexportieren1", "Verlauf1",
                                      "N1", "Beenden1"}));
  EXPECT_TRUE(Get<QAction>("N1")->isSeparator());
  EXPECT_EQ(names(uebertragen->actions()),
            (std::vector<std::string>{"Empfangen", "Senden", "COMPort1", "Vergleichen"}));
  auto* sprache1 = Get<QMenu>("Sprache1");
  ASSERT_TRUE(sprache1);
  EXPECT_EQ(names(sprache1->actions()), (std::vector<std::string>{"Englisch1", "Deutsch1"}));
  const QList<QAction*> bar = frm_->menuBar()->actions();
  ASSERT_EQ(bar.size(), 3);
  EXPECT_EQ(bar[0], datei1->menuAction());
  EXPECT_EQ(bar[1], uebertragen->menuAction());
  EXPECT_EQ(bar[2], sprache1->menuAction());
  for (QAction* a : datei1->actions() + uebertragen->actions()) {
    EXPECT_TRUE(a->shortcut().isEmpty()) << a->objectName().toStdString();
  }
}

TEST_F(MainFrmTest, GridKeepsItsDesignPlacesWhateverTheWindowSize) {
  Show();
  EXPECT_EQ(frm_->frameGeometry().size(), QSize(598, 410));
  EXPECT_FALSE(frm_->windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_TRUE(frm_->windowFlags() & Qt::WindowMinimizeButtonHint);
  const QRect screen = frm_->screen()->availableGeometry();
  EXPECT_LE((frm_->frameGeometry().center() - screen.center()).manhattanLength(), 2);

  auto expectLayout = [&] {
    EXPECT_EQ(Get("ComboBox1")->geometry(), QRect(80, 48, 70, 21));
    EXPECT_EQ(Get("EinheitBox8")->geometry(), QRect(168, 272, 65, 21));
    EXPECT_EQ(Get("Edit1")->geometry(), QRect(248, 48, 65, 23));
    EXPECT_EQ(Get("BereichEdit5")->geometry(), QRect(328, 176, 65, 23));
    EXPECT_EQ(Get("MessEdit8")->geometry(), QRect(408, 272, 65, 23));
    EXPECT_EQ(Get("Label3")->pos(), QPoint(8, 120));
    EXPECT_EQ(Get("ELabel2")->pos(), QPoint(480, 88));
    EXPECT_EQ(Get("Label12")->pos(), QPoint(408, 8));
    EXPECT_EQ(Get("Einheit")->pos(), QPoint(168, 8));
  };
  expectLayout();

  frm_->resize(900, 640);
  expectLayout();
  QStatusBar* status = Get<QStatusBar>("StatusBar1");
  EXPECT_EQ(status->height(), 21);
  EXPECT_EQ(status->geometry().bottom(), frm_->height() - 1);
  // One panel spanning the bar, beside the size grip.
  EXPECT_GT(frm_->StatusPanel()->width(), status->width() - 40);

  frm_->resize(100, 100);
  EXPECT_EQ(frm_->frameGeometry().size(), QSize(530, 375));
}

TEST_F(MainFrmTest, FieldsUseAFixedPitchFontAndHeadersAreBold) {
  const QFontInfo field(Field("MessEdit3")->font());
  EXPECT_TRUE(field.fixedPitch()) << field.family().toStdString();
  EXPECT_EQ(field.pixelSize(), 12);
  // The fonts name the installed family that the whole list of preferences comes down to.
  QFont preferredField;
  preferredField.setFamilies({"Courier New", "Liberation Mono", "DejaVu Sans Mono"});
  preferredField.setStyleHint(QFont::TypeWriter);
  preferredField.setFixedPitch(true);
  preferredField.setPixelSize(12);
  EXPECT_EQ(field.family(), QFontInfo(preferredField).family());
  QFont preferredWindow;
  preferredWindow.setFamilies(
      {"MS Sans Serif", "Microsoft Sans Serif", "Arial", "Liberation Sans"});
  preferredWindow.setStyleHint(QFont::SansSerif);
  preferredWindow.setPixelSize(11);
  EXPECT_EQ(QFontInfo(Get("ComboBox1")->font()).family(), QFontInfo(preferredWindow).family());
  // One family each: every further one would be tried, and searched for, before it.
  EXPECT_EQ(Field("MessEdit3")->font().families().size(), 1);
  EXPECT_EQ(Get("ComboBox1")->font().families().size(), 1);
  EXPECT_TRUE(Get("Label9")->font().bold());
  EXPECT_TRUE(Get("Label4")->font().bold());
  EXPECT_FALSE(Get("ELabel4")->font().bold());
  EXPECT_EQ(QFontInfo(Get("ComboBox1")->font()).pixelSize(), 11);
}

TEST_F(MainFrmTest, TabWalksDownEachColumnBeforeTheNext) {
  Show();
  std::vector<std::string> expected;
  for (const char* stem : {"ComboBox", "EinheitBox", "Edit", "BereichEdit", "MessEdit"}) {
    for (int n = 1; n <= 8; ++n) expected.push_back(ComponentName(stem, n));
  }
  expected.push_back("ComboBox1");  // and round again

  Get("ComboBox1")->setFocus(Qt::TabFocusReason);
  std::vector<std::string> visited{Focused()};
  for (int i = 0; i < 40; ++i) {
    Press(Qt::Key_Tab);
    visited.push_back(Focused());
  }
  EXPECT_EQ(visited, expected);
}

TEST_F(MainFrmTest, DesignCaptionsAreReplacedByTheEnglishTextsAtTheFirstShowing) {
  EXPECT_EQ(frm_->windowTitle(), "Analogkarte");
  EXPECT_EQ(Get<QLabel>("Label1")->text(), "Kanal 1 :");
  EXPECT_EQ(Get<QLabel>("Einheit")->text(), QString::fromUtf8("Gr\u00f6\u00dfe"));
  EXPECT_EQ(Get<QMenu>("Datei1")->title(), "&Datei");
  EXPECT_EQ(Get<QAction>("COMPort1")->text(), "COM Port...");
  EXPECT_TRUE(ctx_.texts.channel.empty());
  EXPECT_EQ(frm_->LanguageNumber(), 0);

  Show();
  EXPECT_EQ(frm_->windowTitle(), "Analog card 1.4 ");
  for (int n = 1; n <= 8; ++n) {
    EXPECT_EQ(Text(ComponentName("Label", n).c_str()), "Channel " + std::to_string(n) + " :");
  }
  EXPECT_EQ(Text("Label9"), "Measurement value");
  EXPECT_EQ(Text("Einheit"), "Format");
  EXPECT_EQ(Text("Label10"), "Offset");
  EXPECT_EQ(Text("Label11"), "Range");
  EXPECT_EQ(Text("Label12"), "Measurement range");
  EXPECT_EQ(Get<QMenu>("Datei1")->title(), "&File");
  EXPECT_EQ(Get<QMenu>("Uebertragen")->title(), "&Transfer data ");
  EXPECT_EQ(Get<QAction>("Konfigurationladen1")->text(), "&Load configuration...");
  EXPECT_EQ(Get<QAction>("Konfigurationspeichern1")->text(), "&Save configuration...");
  EXPECT_EQ(Get<QAction>("Beenden1")->text(), "&Quit");
  EXPECT_EQ(Get<QAction>("Empfangen")->text(), "&Read from box");
  EXPECT_EQ(Get<QAction>("Senden")->text(), "&Write to box");
  EXPECT_EQ(Get<QAction>("COMPort1")->text(), "&COM port...");
  EXPECT_EQ(ctx_.texts.measurementError, "Invalid measurement range");
  EXPECT_EQ(frm_->LanguageNumber(), 2);
  // Cleared once, and the restored values shown in their formats with their units.
  EXPECT_EQ(op_.Statuses(), std::vector<std::string>{""});
  EXPECT_EQ(Text("Edit1"), "0.0");
  EXPECT_EQ(Text("BereichEdit8"), "0.0");
  EXPECT_EQ(Text("MessEdit5"), "0");
  EXPECT_EQ(Text("ELabel8"), "ppm");
  EXPECT_TRUE(op_.Boxes().empty());
}

TEST_F(MainFrmTest, FirstShowingWorkRunsOnlyOnce) {
  Show();
  SetText("ELabel1", "x");
  SetText("Edit1", "1.23");
  frm_->hide();
  Show();
  EXPECT_EQ(Text("ELabel1"), "x");
  EXPECT_EQ(Text("Edit1"), "1.23");
  EXPECT_EQ(op_.Statuses().size(), 1u);
}

TEST_F(MainFrmTest, LanguageTextsKeepEveryRowsQuantityWithoutRunningItsHandler) {
  const int picks[8] = {0, 14, 3, -1, 7, 1, 12, 6};
  for (int n = 1; n <= 8; ++n) {
    frm_->Panel().SetItemIndex(ComponentName("ComboBox", n), picks[n - 1]);
    frm_->Panel().SetText(ComponentName("ELabel", n), "untouched");
  }
  op_.log.clear();
  EXPECT_EQ(ApplyLanguageTexts(*frm_, frm_->Panel(), op_, ctx_, 2), 2);
  for (int n = 1; n <= 8; ++n) {
    EXPECT_EQ(frm_->Panel().ItemIndex(ComponentName("ComboBox", n)), picks[n - 1]) << n;
    EXPECT_EQ(frm_->Panel().Items(ComponentName("ComboBox", n)).size(), 15u);
    EXPECT_EQ(Text(ComponentName("ELabel", n).c_str()), "untouched");
  }
  EXPECT_EQ(op_.log, std::vector<std::string>{"status:"});
}

TEST_F(MainFrmTest, TheLanguageMenuSwitchesEveryCaptionAtOnceKeepsTheRowsAndIsKeptForTheNextStart) {
  const auto caption = [this](const char* name) {
    if (auto* menu = frm_->findChild<QMenu*>(name)) return menu->title().toStdString();
    if (auto* action = frm_->findChild<QAction*>(name)) return action->text().toStdString();
    return Text(name);
  };
  const auto settings = [this] {
    QFile file(dir_.filePath("quorvex.ini"));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
  };
  const int picks[8] = {0, 14, 3, -1, 7, 1, 12, 6};
  Show();
  for (int n = 1; n <= 8; ++n)
    frm_->Panel().SetItemIndex(ComponentName("ComboBox", n), picks[n - 1]);

  // German, English and German again: the captions of that language, the rows as they were.
  for (const int language : {1, 2, 1}) {
    SCOPED_TRACE(language);
    const bool german = language == 1;
    op_.ShowStatus("before");
    clock_.Advance(std::chrono::seconds(1));  // the settings' writes keep a second apart
    Get<QAction>(german ? "Deutsch1" : "Englisch1")->trigger();
    EXPECT_EQ(frm_->LanguageNumber(), language);
    EXPECT_TRUE(Get<QAction>(german ? "Deutsch1" : "Englisch1")->isChecked());
    EXPECT_EQ(frm_->windowTitle(), german ? "Analogkarte 1.4 " : "Analog card 1.4 ");
    EXPECT_EQ(caption("Label1"), german ? "Kanal 1 :" : "Channel 1 :");
    EXPECT_EQ(caption("Einheit"), german ? "Gr\u00f6\u00dfe" : "Format");
    EXPECT_EQ(caption("Uebertragen"), german ? "&\u00dcbertragung" : "&Transfer data ");
    EXPECT_EQ(caption("Konfigurationladen1"),
              german ? "Konfiguration &laden..." : "&Load configuration...");
    EXPECT_EQ(caption("COMPort1"), german ? "&COM-Port..." : "&COM port...");
    EXPECT_EQ(caption("Sprache1"), "&Language / Sprache");
    for (int n = 1; n <= 8; ++n) {
      EXPECT_EQ(frm_->Panel().ItemIndex(ComponentName("ComboBox", n)), picks[n - 1]) << n;
    }
    EXPECT_EQ(op_.LastStatus(), "");
    const QString written = QStringLiteral("Sprache=%1").arg(language);
    EXPECT_TRUE(QTest::qWaitFor([&] { return settings().contains(written); }, 5000));
  }

  // The next start speaks German from its first showing.
  TearDown();
  SetUp();
  Show();
  EXPECT_EQ(frm_->LanguageNumber(), 1);
  EXPECT_EQ(caption("Label1"), "Kanal 1 :");
  EXPECT_EQ(frm_->Panel().ItemIndex("ComboBox2"), 14);
}

TEST_F(MainFrmTest, FieldsTakeOnlyDigitsAndPointsWithCommaTurnedIntoPoint) {
  Show();
  frm_->Panel().Focus("Edit1");
  SetText("Edit1", "");
  QTest::keyClicks(Field("Edit1"), "1,5-a x/");
  EXPECT_EQ(Text("Edit1"), "1.5");
  Press(Qt::Key_Backspace);
  EXPECT_EQ(Text("Edit1"), "1.");
  QTest::keyClicks(Field("Edit1"), "25");
  EXPECT_EQ(Text("Edit1"), "1.25");
  Press(Qt::Key_Left);
  Press(Qt::Key_Delete);
  EXPECT_EQ(Text("Edit1"), "1.2");
}

TEST_F(MainFrmTest, EnterAndArrowKeysMoveAlongAColumn) {
  Show();
  frm_->Panel().Focus("Edit1");
  Press(Qt::Key_Return);
  EXPECT_EQ(Focused(), "Edit2");
  Press(Qt::Key_Down);
  EXPECT_EQ(Focused(), "Edit3");
  Press(Qt::Key_Up);
  EXPECT_EQ(Focused(), "Edit2");
  frm_->Panel().Focus("Edit8");
  Press(Qt::Key_Down);
  EXPECT_EQ(Focused(), "BereichEdit1");
  Press(Qt::Key_Up);
  EXPECT_EQ(Focused(), "Edit8");
  frm_->Panel().Focus("MessEdit4");
  Press(Qt::Key_Enter);
  EXPECT_EQ(Focused(), "MessEdit5");
  // The first quantity list shares the fields' Enter handling.
  frm_->Panel().Focus("ComboBox1");
  Press(Qt::Key_Return);
  EXPECT_EQ(Focused(), "ComboBox2");
}

TEST_F(MainFrmTest, OnlyTheFirstQuantityListIgnoresTypedLetters) {
  Show();
  frm_->Panel().Focus("ComboBox1");
  QTest::keyClicks(List("ComboBox1"), "T");
  EXPECT_EQ(Text("ComboBox1"), "CO");
  EXPECT_EQ(Text("ELabel1"), "ppm");

  frm_->Panel().Focus("ComboBox2");
  QTest::keyClicks(List("ComboBox2"), "T");
  EXPECT_EQ(Text("ComboBox2"), "TGas");
  EXPECT_EQ(Text("ELabel2"), "\u00b0C");
}

TEST_F(MainFrmTest, EnteringOrLeavingAFieldReDisplaysItsWholeChannel) {
  Show();
  frm_->Panel().Focus("Edit3");
  SetText("BereichEdit3", "7");
  SetText("MessEdit3", "12.7");
  SetText("MessEdit4", "12.7");
  SetText("Edit3", "");
  QTest::keyClicks(Field("Edit3"), "0,25");
  Press(Qt::Key_Tab);
  EXPECT_EQ(Focused(), "Edit4");
  EXPECT_EQ(Text("Edit3"), "0.3");
  EXPECT_EQ(Text("BereichEdit3"), "7.0");
  EXPECT_EQ(Text("MessEdit3"), "13");
  // Entering Edit4 re-displayed channel 4 as well.
  EXPECT_EQ(Text("MessEdit4"), "13");

  SetText("Edit5", "2.55");
  frm_->Panel().Focus("Edit5");
  EXPECT_EQ(Text("Edit5"), "2.5");
}

TEST_F(MainFrmTest, SwitchingAUnitChecksAllChannelsAtOnceUpToTheFirstFailure) {
  Show();
  SetText("Edit2", "2.5");
  SetText("Edit3", "9.9");  // too much for mA; reported only when channel 2 passes
  frm_->Panel().Focus("EinheitBox2");
  Press(Qt::Key_Up);  // mA -> V
  ASSERT_EQ(Text("EinheitBox2"), "V");
  EXPECT_EQ(op_.Boxes(),
            std::vector<std::string>{"Configuration error Channel 3|Channel 3: "
                                     "Offset not in range between 0 and 5.0 mA|error"});

  SetText("Edit2", "2.6");
  frm_->Panel().Focus("EinheitBox2");
  Press(Qt::Key_Down);  // back to mA, where 2.6 is fine
  op_.log.clear();
  frm_->Panel().Focus("EinheitBox2");
  Press(Qt::Key_Up);
  EXPECT_EQ(op_.Boxes(), std::vector<std::string>{"Configuration error Channel 2|Channel 2: "
                                                  "Offset not in range between 0 and 2.5 V|error"});
  EXPECT_EQ(Focused(), "Edit2");
  EXPECT_EQ(ctx_.errorChannel, 2);
  EXPECT_EQ(Text("Edit2"), "2.6");  // values are left as they are
  EXPECT_TRUE(Reports().empty());
}

TEST_F(MainFrmTest, ChangingTheQuantityKeepsTheNumberInTheNewFormatAndUnit) {
  Show();
  SetText("MessEdit4", "63000");
  frm_->Panel().Focus("ComboBox4");
  Press(Qt::Key_Up);  // CO -> O2
  EXPECT_EQ(Text("ComboBox4"), "O2");
  EXPECT_EQ(Text("MessEdit4"), "63000.0");
  EXPECT_EQ(Text("ELabel4"), "%");
  QTest::keyClicks(List("ComboBox4"), "L");
  EXPECT_EQ(Text("ComboBox4"), "Lambda");
  EXPECT_EQ(Text("MessEdit4"), "63000.00");
  EXPECT_EQ(Text("ELabel4"), "");
  EXPECT_EQ(Text("Edit4"), "0.0");
  EXPECT_EQ(Text("EinheitBox4"), "mA");
  EXPECT_TRUE(op_.Boxes().empty());
}

TEST_F(MainFrmTest, NoTextInAFieldBringsTheWindowDown) {
  Show();
  const char* texts[] = {"",    "abc", "1e999", "-1e999", "1..2", "1.2.3",    " ",  "1e-999",
                         "nan", "inf", "0x10",  "9e40",   "-",    "\xc3\xa4", "1e", "."};
  for (const char* text : texts) {
    for (const char* field : {"Edit1", "MessEdit1"}) {
      Reports().clear();
      SetText(field, text);
      frm_->Panel().Focus(field);
      frm_->Panel().Focus("ComboBox1");
      for (const std::string& report : Reports()) {
        EXPECT_EQ(report, "Floating point overflow.") << text;
      }
      if (!Reports().empty()) {
        EXPECT_EQ(Text(field), text);  // the field keeps what it cannot show
      }
    }
    SetText("Edit1", "0");
    SetText("MessEdit1", "0");
  }

  Reports().clear();
  SetText("Edit1", "1e999");
  frm_->Panel().Focus("Edit1");
  EXPECT_EQ(Reports(), std::vector<std::string>{"Floating point overflow."});
  EXPECT_EQ(Text("Edit1"), "1e999");

  // A command given while a field still holds an unformatted text ends with the conversion error.
  frm_->Panel().Focus("ComboBox1");
  Reports().clear();
  SetText("Edit1", "abc");
  Get<QAction>("Senden")->trigger();
  EXPECT_EQ(Reports(), std::vector<std::string>{"'abc' is not a valid floating point value."});
  EXPECT_EQ(ports_.opens, 0);

  // And the window still works.
  SetText("Edit1", "1");
  frm_->Panel().Focus("Edit1");
  Press(Qt::Key_Down);
  EXPECT_EQ(Focused(), "Edit2");
  EXPECT_EQ(Text("Edit1"), "1.0");
}

}  // namespace
}  // namespace quorvex::testing
