// The floor of the start-up benchmark: a window with the main window's widgets and nothing of the
// program behind them. The same 16 lists with their items, 24 edit fields, 21 labels, both menus
// with their items, the status bar with its panel, the same fonts, texts and places; no settings,
// no card session, no text set switched, no key filter. What the program takes beyond this
// program is what its own code costs at start. Measured with the same first-paint probe.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <string>

#include "core/image_layout.h"
#include "core/quantity_catalogue.h"
#include "core/text_set.h"
#include "ui/first_paint_probe.h"

namespace {

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

// As the main window picks them: the first installed of its families, else the platform's font
// of that kind (looking for a family that is not installed costs a search with fallbacks).
QFont PickFont(const QStringList& preferred, QFontDatabase::SystemFont kind, int pixelSize) {
  const QStringList installed = QFontDatabase::families();
  QString family;
  for (const QString& f : preferred) {
    if (installed.contains(f, Qt::CaseInsensitive)) {
      family = f;
      break;
    }
  }
  if (family.isEmpty()) family = QFontInfo(QFontDatabase::systemFont(kind)).family();
  QFont font(family);
  font.setPixelSize(pixelSize);
  return font;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const quorvex::TextSet t = quorvex::EnglishTextSet();

  QMainWindow window;
  window.setWindowTitle(Q(t.productTitle + " "));
  QFont windowFont = PickFont({"MS Sans Serif", "Microsoft Sans Serif", "Arial", "Liberation Sans"},
                              QFontDatabase::GeneralFont, 11);
  windowFont.setStyleHint(QFont::SansSerif);
  window.setFont(windowFont);
  QFont fieldFont = PickFont({"Courier New", "Liberation Mono", "DejaVu Sans Mono"},
                             QFontDatabase::FixedFont, 12);
  fieldFont.setStyleHint(QFont::TypeWriter);
  fieldFont.setFixedPitch(true);
  window.setMinimumSize(530, 375);
  window.resize(598, 410);

  auto* grid = new QWidget(&window);
  window.setCentralWidget(grid);
  QFont bold = window.font();
  bold.setBold(true);
  const auto rowTop = [](int n) { return 48 + 32 * (n - 1); };

  struct Header {
    const std::string& text;
    int left;
    int width;
  };
  const Header headers[] = {{t.quantityHeader, 80, 86},
                            {t.unitHeader, 168, 78},
                            {t.offsetHeader, 248, 78},
                            {t.rangeHeader, 328, 78},
                            {t.measurementHeader, 408, 90}};
  for (const Header& h : headers) {
    auto* header = new QLabel(Q(h.text), grid);
    header->setFont(bold);
    header->setWordWrap(true);
    header->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    header->setGeometry(h.left, 8, h.width, 0);
    header->resize(h.width, header->heightForWidth(h.width));
  }

  QStringList quantities;
  for (const quorvex::QuantityRow& row : quorvex::QuantityCatalogue()) quantities << row.name;
  for (int n = 1; n <= quorvex::kChannelCount; ++n) {
    auto* rowLabel = new QLabel(Q(t.channel + " " + std::to_string(n) + " :"), grid);
    rowLabel->setFont(bold);
    rowLabel->move(8, rowTop(n) + 8);
    rowLabel->adjustSize();

    auto* quantity = new QComboBox(grid);
    quantity->setGeometry(80, rowTop(n), 70, 21);
    quantity->setMaxVisibleItems(15);
    quantity->addItems(quantities);
    quantity->setCurrentIndex(1);
    auto* unit = new QComboBox(grid);
    unit->setGeometry(168, rowTop(n), 65, 21);
    unit->addItems({"V", "mA"});
    unit->setCurrentIndex(1);

    for (int left : {248, 328, 408}) {
      auto* field = new QLineEdit(grid);
      field->setFont(fieldFont);
      field->setGeometry(left, rowTop(n), 65, 23);
      field->setText(QStringLiteral("0"));
    }

    auto* unitLabel = new QLabel(QStringLiteral("ppm"), grid);
    unitLabel->move(480, rowTop(n) + 8);
    unitLabel->adjustSize();
  }

  QMenu* file = window.menuBar()->addMenu(Q(t.fileMenu));
  for (const std::string* item : {&t.loadItem, &t.saveItem, &t.printItem, &t.exportItem}) {
    file->addAction(Q(*item));
  }
  file->addSeparator();
  file->addAction(Q(t.quitItem));
  QMenu* transfer = window.menuBar()->addMenu(Q(t.transferMenu));
  for (const std::string* item : {&t.readItem, &t.writeItem, &t.comPortItem, &t.compareItem}) {
    transfer->addAction(Q(*item));
  }

  QStatusBar* bar = window.statusBar();
  bar->setFixedHeight(21);
  auto* panel = new QLabel(bar);
  panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  panel->setTextFormat(Qt::PlainText);
  bar->addWidget(panel, 1);

  quorvex::FirstPaintProbe probe(window);
  window.show();
  return app.exec();
}
