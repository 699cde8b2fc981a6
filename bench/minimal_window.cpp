// The baseline of the start-up benchmark: the smallest Qt Widgets program with one window,
// built with the same flags, measured with the same first-paint probe as the real program.
// With --label the window shows one line of text, so the font set-up that any window with text
// pays is in the baseline too.
#include <QApplication>
#include <QLabel>
#include <QWidget>
#include <cstring>

#include "ui/first_paint_probe.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QWidget window;
  window.resize(598, 410);
  window.setWindowTitle("Baseline");
  if (argc > 1 && std::strcmp(argv[1], "--label") == 0) {
    auto* label = new QLabel("Channel 1 :", &window);
    label->move(8, 56);
  }
  quorvex::FirstPaintProbe probe(window);
  window.show();
  return app.exec();
}
