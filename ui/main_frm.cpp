// MainFrm laid out: the channel grid and the status bar, settings at start and exit, and the
// window's size and place once the window system has framed it. Its menus, the language switch
// and the files it loads by name are in main_frm_menus.cpp, main_frm_language.cpp and
// main_frm_files.cpp.
#include "ui/main_frm.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QWindow>
#include <string_view>
#include <utility>

#include "core/app_context.h"
#include "core/channel_editing.h"
#include "core/channel_panel.h"
#include "core/config_image.h"
#include "core/operator.h"
#include "core/quantity_catalogue.h"
#include "procedures/card_session.h"
#include "storage/settings.h"
#include "ui/error_report.h"
#include "ui/history_recording.h"
#include "ui/history_window.h"
#include "ui/language_texts.h"
#include "ui/qt_channel_panel.h"
#include "ui/qt_text.h"
#include "ui/settings_autosave.h"
#include "ui/transfer_guard.h"

namespace quorvex {

namespace {

// The grid is laid out in pixels at 96 dpi and does not follow the window's size.
constexpr int kDesignWidth = 598;
constexpr int kDesignHeight = 410;
constexpr int kMinimumWidth = 530;
constexpr int kMinimumHeight = 375;
constexpr int kFirstRowTop = 48;
constexpr int kRowPitch = 32;
constexpr int kLabelDrop = 8;  // row and unit labels sit lower so their text lines up
constexpr int kHeaderTop = 8;
constexpr int kListHeight = 21;
constexpr int kEditHeight = 23;
constexpr int kStatusBarHeight = 21;
constexpr int kRowLabelLeft = 8;
constexpr int kUnitLabelLeft = 480;

struct Column {
  const char* stem;
  int left;
  int width;
};
constexpr Column kQuantityColumn{"ComboBox", 80, 70};
constexpr Column kUnitColumn{"EinheitBox", 168, 65};
constexpr Column kEditColumns[] = {
    {"Edit", 248, 65}, {"BereichEdit", 328, 65}, {"MessEdit", 408, 65}};

struct Header {
  const char* name;
  const char* designCaption;
  int left;
  int width;  // about a column: a two-word header wraps onto a second line
};
constexpr Header kHeaders[] = {
    {"Label9", "Messwert", 80, 86},      {"Einheit", "Gr\u00f6\u00dfe", 168, 78},
    {"Label10", "Offset", 248, 78},      {"Label11", "Bereich", 328, 78},
    {"Label12", "Messbereich", 408, 90},
};

int RowTop(int channel) {
  return kFirstRowTop + kRowPitch * (channel - 1);
}

// The first of `preferred` that is installed, else the real family behind the platform's own font
// for that kind of text. A family that is not installed sends the font matcher on a search with
// fallbacks, once for the plain font and again for its bold, and so does an alias such as
// "Sans Serif"; an installed family is found at once. The platform's general font is loaded for
// the edit fields' first layout in any case.
QString InstalledFamily(const QStringList& preferred, const QStringList& installed,
                        QFontDatabase::SystemFont kind) {
  for (const QString& family : preferred) {
    if (installed.contains(family, Qt::CaseInsensitive)) return family;
  }
  return QFontInfo(QFontDatabase::systemFont(kind)).family();
}

QFont WindowFont(const QStringList& installed) {
  // The design font first; elsewhere a sans serif of like width, so the captions fit their places.
  QFont font(
      InstalledFamily({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                       QStringLiteral("Arial"), QStringLiteral("Liberation Sans")},
                      installed, QFontDatabase::GeneralFont));
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(11);
  return font;
}

QFont FieldFont(const QStringList& installed) {
  // Fixed pitch, so formatted numbers line up from row to row.
  QFont font(InstalledFamily({QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"),
                              QStringLiteral("DejaVu Sans Mono")},
                             installed, QFontDatabase::FixedFont));
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  font.setPixelSize(12);
  return font;
}

}  // namespace

MainFrm::MainFrm(AppContext& ctx, Operator& op, SerialPorts& ports, Clock& clock,
                 std::string settingsPath, std::vector<std::string> arguments, QWidget* parent)
    : QMainWindow(parent),
      ctx_(ctx),
      op_(op),
      clock_(clock),
      settingsPath_(std::move(settingsPath)),
      outerSize_(kDesignWidth, kDesignHeight) {
  setObjectName(QStringLiteral("MainFrm"));
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  setWindowTitle(QStringLiteral("Analogkarte"));
  const QStringList installedFamilies = QFontDatabase::families();
  setFont(WindowFont(installedFamilies));
  setMinimumSize(kMinimumWidth, kMinimumHeight);
  resize(outerSize_);
  // A configuration file dropped from the file manager is loaded.
  setAcceptDrops(true);

  auto* grid = new QWidget(this);
  grid->setObjectName(QStringLiteral("Grid"));
  setCentralWidget(grid);
  BuildGrid(*grid, FieldFont(installedFamilies));
  BuildMenu();
  BuildStatusBar();
  panel_ = std::make_unique<QtChannelPanel>(*grid);
  session_ = std::make_unique<CardSession>(*panel_, op_, ports, clock, ctx_);
  autosave_ = std::make_unique<SettingsAutosave>(
      settingsPath_, *panel_, ctx_, [this] { return CurrentWindowState(); }, op_, clock);
  ConnectHandlers();
  transferGuard_ = std::make_unique<TransferGuard>(
      *this, [this](bool enabled) { SetFileCommandsEnabled(enabled); });

  FormCreate(arguments);
}

MainFrm::~MainFrm() {
  // A window torn down without being closed still leaves its settings behind.
  FormDestroy();
}

void MainFrm::BuildGrid(QWidget& grid, const QFont& fieldFont) {
  QFont bold = font();
  bold.setBold(true);

  // The design captions are replaced before the window is first shown, and labels are sized to
  // their texts then: sizing them here as well would lay out every caption twice.
  for (const Header& h : kHeaders) {
    auto* header = new QLabel(QString::fromUtf8(h.designCaption), &grid);
    header->setObjectName(QLatin1String(h.name));
    header->setFont(bold);
    header->setWordWrap(true);
    header->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    header->setGeometry(h.left, kHeaderTop, h.width, 0);
  }

  for (int n = 1; n <= kChannelCount; ++n) {
    auto* rowLabel = new QLabel(QStringLiteral("Kanal %1 :").arg(n), &grid);
    rowLabel->setObjectName(ToQ(ComponentName("Label", n)));
    rowLabel->setFont(bold);
    rowLabel->move(kRowLabelLeft, RowTop(n) + kLabelDrop);
  }

  // Made column by column: the focus chain follows the order of creation.
  QWidget* previous = nullptr;
  auto chain = [&previous](QWidget* w) {
    if (previous) QWidget::setTabOrder(previous, w);
    previous = w;
  };
  for (const Column& c : {kQuantityColumn, kUnitColumn}) {
    for (int n = 1; n <= kChannelCount; ++n) {
      auto* list = new QComboBox(&grid);
      list->setObjectName(ToQ(ComponentName(c.stem, n)));
      list->setEditable(false);
      list->setGeometry(c.left, RowTop(n), c.width, kListHeight);
      list->setMaxVisibleItems(15);
      chain(list);
      if (std::string_view(c.stem) == "ComboBox" && n == 1) comboBox1_ = list;
    }
  }
  for (const Column& c : kEditColumns) {
    for (int n = 1; n <= kChannelCount; ++n) {
      auto* field = new QLineEdit(&grid);
      field->setObjectName(ToQ(ComponentName(c.stem, n)));
      field->setFont(fieldFont);
      field->setGeometry(c.left, RowTop(n), c.width, kEditHeight);
      // Every character has to pass the key filter; an input method would bypass it.
      field->setAttribute(Qt::WA_InputMethodEnabled, false);
      // A dropped text would bypass the key filter too; a dropped file goes to the window.
      field->setAcceptDrops(false);
      chain(field);
      editFields_.push_back(field);
    }
  }

  for (int n = 1; n <= kChannelCount; ++n) {
    auto* unitLabel = new QLabel(&grid);
    unitLabel->setObjectName(ToQ(ComponentName("ELabel", n)));
    unitLabel->move(kUnitLabelLeft, RowTop(n) + kLabelDrop);
  }
}

void MainFrm::BuildStatusBar() {
  QStatusBar* bar = statusBar();
  bar->setObjectName(QStringLiteral("StatusBar1"));
  bar->setFixedHeight(kStatusBarHeight);
  statusPanel_ = new QLabel(bar);
  statusPanel_->setObjectName(QStringLiteral("StatusPanel"));
  statusPanel_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  statusPanel_->setTextFormat(Qt::PlainText);
  bar->addWidget(statusPanel_, 1);
}

void MainFrm::FormCreate(const std::vector<std::string>& arguments) {
  ctx_.debugSwitch = false;
  FillChannelLists(*panel_);

  RunReported([this] {
    const WindowState state = RestoreSettings(settingsPath_, *panel_, ctx_);
    if (state.width > 0) outerSize_.setWidth(state.width);
    if (state.height > 0) outerSize_.setHeight(state.height);
    resize(outerSize_);
    outerSize_ = size();  // as far as the minimum size let it go
    rememberedFileName_ = state.rememberedFileName;
    languageAtStart_ = state.languageNumber;
    recentFiles_ = state.recentFiles;
  });
  ShowRecentFiles();

  ctx_.debugSwitch = DebugSwitchFromArguments(arguments);
}

void MainFrm::FormShow() {
  languageNumber_ = ApplyLanguageTexts(*this, *panel_, op_, ctx_, languageAtStart_);
  CheckLanguageItem();
  // A stored text too large for any number ends the re-display at its channel, as an error ends
  // any handler; the channels after it keep their stored texts.
  RunReported([this] {
    RefreshAllChannels(*panel_);
    FormatAllChannels(*panel_);
  });
  // What the settings kept from the last run counts as kept.
  MarkChannelsKept();
  autosave_->Start();
}

void MainFrm::FormDestroy() {
  if (settingsSaved_) return;
  settingsSaved_ = true;
  autosave_->Stop();
  RunReported([this] { SaveSettings(settingsPath_, *panel_, ctx_, CurrentWindowState()); });
}

WindowState MainFrm::CurrentWindowState() const {
  WindowState state;
  state.width = frameGeometry().width();
  state.height = frameGeometry().height();
  state.rememberedFileName = rememberedFileName_;
  // A window closed before it was ever shown keeps the language it was started with.
  state.languageNumber = shown_ ? languageNumber_ : languageAtStart_;
  state.recentFiles = recentFiles_;
  return state;
}

void MainFrm::SetComPortFrm(std::function<ComPortFrm&()> comPortFrm) {
  comPortFrm_ = std::move(comPortFrm);
}

void MainFrm::LoadWhenShown(std::string path) {
  fileToLoad_ = std::move(path);
}

void MainFrm::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  FitOuterSize();
  if (shown_) return;
  shown_ = true;
  CentreOnScreen();
  FormShow();
  if (fileToLoad_.empty()) return;
  // Queued, so that the window is on screen before the load's status or its error box.
  QTimer::singleShot(0, this, [this] {
    const QFileInfo file(ToQ(std::exchange(fileToLoad_, {})));
    LoadNamedFile(FromQ(QDir::toNativeSeparators(file.absoluteFilePath())));
  });
}

bool MainFrm::event(QEvent* event) {
  const bool handled = QMainWindow::event(event);
  // An X11 window manager frames the window before mapping it and, when it keeps the place asked
  // for, moves and resizes nothing: the first paint is then the first moment the frame is known.
  if (event->type() == QEvent::Paint && outerSizePending_ && !fitQueued_) {
    fitQueued_ = true;
    QTimer::singleShot(0, this, [this] {
      fitQueued_ = false;
      FitOuterSize();
    });
  }
  return handled;
}

void MainFrm::moveEvent(QMoveEvent* event) {
  QMainWindow::moveEvent(event);
  FitOuterSize();
}

void MainFrm::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  FitOuterSize();
}

void MainFrm::FitOuterSize() {
  // Stored sizes and the minimum count the frame; take it off once the frame is known.
  if (!outerSizePending_ || !isVisible() || windowHandle() == nullptr) return;
  const QMargins frame = windowHandle()->frameMargins();
  if (frame.isNull()) return;
  outerSizePending_ = false;
  const QSize extra(frame.left() + frame.right(), frame.top() + frame.bottom());
  setMinimumSize(QSize(kMinimumWidth, kMinimumHeight) - extra);
  resize(outerSize_ - extra);
  CentreOnScreen();
}

void MainFrm::CentreOnScreen() {
  if (QScreen* s = screen()) {
    const QRect area = s->availableGeometry();
    const QSize outer = frameGeometry().size();
    move(area.left() + (area.width() - outer.width()) / 2,
         area.top() + (area.height() - outer.height()) / 2);
  }
}

}  // namespace quorvex
