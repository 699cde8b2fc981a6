// MainFrm laid out: the channel grid, the menus and the status bar, settings at start and exit,
// and the window's size and place once the window system has framed it.
#include "ui/main_frm.h"

#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QWindow>
#include <optional>
#include <string_view>
#include <utility>

#include "core/app_context.h"
#include "core/channel_editing.h"
#include "core/channel_panel.h"
#include "core/config_image.h"
#include "core/operator.h"
#include "core/quantity_catalogue.h"
#include "core/text_set.h"
#include "procedures/card_session.h"
#include "storage/settings.h"
#include "ui/com_port_frm.h"
#include "ui/error_report.h"
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

// The one configuration file a drag carries, as a native path; nothing for anything else.
std::optional<std::string> DraggedConfiguration(const QMimeData* data) {
  if (data == nullptr || !data->hasUrls()) return std::nullopt;
  const QList<QUrl> urls = data->urls();
  if (urls.size() != 1 || !urls.front().isLocalFile()) return std::nullopt;
  const QFileInfo file(urls.front().toLocalFile());
  if (file.suffix().compare(QLatin1String("KFG"), Qt::CaseInsensitive) != 0) return std::nullopt;
  return FromQ(QDir::toNativeSeparators(file.absoluteFilePath()));
}

// A recent file's menu caption: its access key, then the path with its "&" shown as such.
QString RecentCaption(std::size_t index, const std::string& path) {
  QString shown = ToQ(path);
  shown.replace(QLatin1Char('&'), QLatin1String("&&"));
  return QLatin1Char('&') + QString::number(index + 1) + QLatin1Char(' ') + shown;
}

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

void MainFrm::BuildMenu() {
  QMenuBar* bar = menuBar();
  bar->setObjectName(QStringLiteral("MainMenu1"));

  auto item = [this](QMenu* menu, const char* name, const char* caption) {
    auto* action = new QAction(QString::fromUtf8(caption), this);
    action->setObjectName(QLatin1String(name));
    menu->addAction(action);
    return action;
  };

  auto* datei1 = datei1_ = new QMenu(QStringLiteral("&Datei"), this);
  datei1->setObjectName(QStringLiteral("Datei1"));
  bar->addMenu(datei1);
  konfigurationladen1_ = item(datei1, "Konfigurationladen1", "&Konfiguration &laden");
  konfigurationspeichern1_ = item(datei1, "Konfigurationspeichern1", "&Konfiguration &speichern");
  konfigurationdrucken1_ = item(datei1, "Konfigurationdrucken1", "Konfiguration &drucken...");
  protokollexportieren1_ = item(datei1, "Protokollexportieren1", "Protokoll &exportieren...");
  QAction* n1 = datei1->addSeparator();
  n1->setObjectName(QStringLiteral("N1"));
  beenden1_ = item(datei1, "Beenden1", "&Beenden");

  auto* uebertragen = new QMenu(QStringLiteral("&\u00dcbertragung"), this);
  uebertragen->setObjectName(QStringLiteral("Uebertragen"));
  bar->addMenu(uebertragen);
  QAction* empfangen = item(uebertragen, "Empfangen", "&Empfangen");
  QAction* senden = item(uebertragen, "Senden", "&Senden");
  QAction* comPort1 = item(uebertragen, "COMPort1", "COM Port...");
  QAction* vergleichen = item(uebertragen, "Vergleichen", "Ver&gleichen");

  // Its captions are the same in every language; the language's texts put them on.
  sprache1_ = new QMenu(this);
  sprache1_->setObjectName(QStringLiteral("Sprache1"));
  bar->addMenu(sprache1_);
  auto* languages = new QActionGroup(this);
  englisch1_ = item(sprache1_, "Englisch1", "");
  deutsch1_ = item(sprache1_, "Deutsch1", "");
  for (QAction* language : {englisch1_, deutsch1_}) {
    language->setCheckable(true);
    languages->addAction(language);
  }
  connect(englisch1_, &QAction::triggered, this,
          [this] { ChooseLanguage(kEnglishLanguageNumber); });
  connect(deutsch1_, &QAction::triggered, this, [this] { ChooseLanguage(kGermanLanguageNumber); });

  connect(konfigurationladen1_, &QAction::triggered, this, [this] {
    std::optional<bool> loaded;  // none when the load failed
    RunReported([this, &loaded] { loaded = session_->Load(rememberedFileName_); });
    // A file that failed to load is not offered again.
    if (!loaded) {
      RemoveRecentFile(recentFiles_, rememberedFileName_);
    } else if (*loaded) {
      AddRecentFile(recentFiles_, rememberedFileName_);
    }
    ShowRecentFiles();
    autosave_->CommandCompleted();
  });
  connect(konfigurationspeichern1_, &QAction::triggered, this, [this] {
    bool saved = false;
    RunReported([this, &saved] { saved = session_->Save(rememberedFileName_); });
    if (saved) {
      AddRecentFile(recentFiles_, rememberedFileName_);
      ShowRecentFiles();
    }
    autosave_->CommandCompleted();
  });
  connect(konfigurationdrucken1_, &QAction::triggered, this,
          [this] { RunReported([this] { Konfigurationdrucken1Click(); }); });
  connect(protokollexportieren1_, &QAction::triggered, this,
          [this] { RunReported([this] { Protokollexportieren1Click(); }); });
  connect(beenden1_, &QAction::triggered, this, &QWidget::close);
  connect(empfangen, &QAction::triggered, this, [this] {
    RunTransfer([this] { session_->Read(); });
    autosave_->CommandCompleted();
  });
  connect(senden, &QAction::triggered, this,
          [this] { RunTransfer([this] { session_->Write(); }); });
  connect(comPort1, &QAction::triggered, this, &MainFrm::COMPort1Click);
  connect(vergleichen, &QAction::triggered, this,
          [this] { RunTransfer([this] { VergleichenClick(); }); });
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

void MainFrm::SetFileCommandsEnabled(bool enabled) {
  fileCommandsEnabled_ = enabled;
  // The record reads the channels that a read may be filling, and a new language rebuilds the
  // lists it fills.
  for (QAction* command : {konfigurationladen1_, konfigurationspeichern1_, konfigurationdrucken1_,
                           protokollexportieren1_, beenden1_, englisch1_, deutsch1_}) {
    command->setEnabled(enabled);
  }
  for (QAction* recent : recentItems_) recent->setEnabled(enabled);
}

void MainFrm::ChooseLanguage(int languageNumber) {
  languageNumber_ = ApplyLanguageTexts(*this, *panel_, op_, ctx_, languageNumber);
  CheckLanguageItem();
  autosave_->CommandCompleted();
}

void MainFrm::CheckLanguageItem() {
  (languageNumber_ == kGermanLanguageNumber ? deutsch1_ : englisch1_)->setChecked(true);
}

void MainFrm::ShowRecentFiles() {
  // Chosen from the menu, an entry is still being delivered when the load it ran changes the list.
  for (QAction* old : recentItems_) {
    datei1_->removeAction(old);
    old->setObjectName(QString());
    old->deleteLater();
  }
  recentItems_.clear();
  for (std::size_t i = 0; i < recentFiles_.size(); ++i) {
    auto* recent = new QAction(RecentCaption(i, recentFiles_[i]), this);
    recent->setObjectName(QStringLiteral("Zuletzt%1").arg(i + 1));
    connect(recent, &QAction::triggered, this,
            [this, path = recentFiles_[i]] { LoadNamedFile(path); });
    recentItems_.push_back(recent);
  }
  if (recentItems_.empty()) return;
  auto* line = new QAction(this);
  line->setSeparator(true);
  line->setObjectName(QStringLiteral("N2"));
  recentItems_.push_back(line);
  for (QAction* recent : recentItems_) {
    recent->setEnabled(fileCommandsEnabled_);
    datei1_->insertAction(beenden1_, recent);
  }
}

void MainFrm::LoadNamedFile(const std::string& path) {
  bool loaded = false;
  RunReported([this, &path, &loaded] {
    session_->LoadFile(rememberedFileName_, path);
    loaded = true;
  });
  if (loaded) {
    AddRecentFile(recentFiles_, path);
  } else {
    RemoveRecentFile(recentFiles_, path);
  }
  ShowRecentFiles();
  autosave_->CommandCompleted();
}

void MainFrm::dragEnterEvent(QDragEnterEvent* event) {
  // Anything else is refused by the drag cursor alone.
  if (!TransferRunning() && DraggedConfiguration(event->mimeData())) {
    event->acceptProposedAction();
  }
}

void MainFrm::dropEvent(QDropEvent* event) {
  const std::optional<std::string> path = DraggedConfiguration(event->mimeData());
  if (TransferRunning() || !path) return;
  event->acceptProposedAction();
  // Loaded once the drop is over: the file manager waits for the drop, not for a box.
  QTimer::singleShot(0, this, [this, file = *path] {
    if (!TransferRunning()) LoadNamedFile(file);
  });
}

void MainFrm::SetComPortFrm(std::function<ComPortFrm&()> comPortFrm) {
  comPortFrm_ = std::move(comPortFrm);
}

void MainFrm::LoadWhenShown(std::string path) {
  fileToLoad_ = std::move(path);
}

void MainFrm::COMPort1Click() {
  // The dialog stores the chosen port itself; its result says nothing more.
  if (comPortFrm_) RunReported([this] { comPortFrm_().exec(); });
  autosave_->CommandCompleted();
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
