// The history window: the records of every transfer, newest first, filtered by tag, port and
// date; the selected one channel by channel with what changed since the same card's previous
// record; its configuration loaded into the main window, its tag given or corrected.
#pragma once

#include <QWidget>
#include <optional>

#include "storage/history.h"
#include "ui/history_window_host.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class QTextEdit;

namespace quorvex {

class HistoryTableModel;
class WindowHistory;
struct HistoryTexts;

// The table holds the newest records a filter finds, up to this many: all 100,000 of a plant's
// years took a second to read in, and a filter finds an older one at once.
inline constexpr std::size_t kHistoryRowsShown = 5000;

class HistoryWindow : public QWidget {
  Q_OBJECT
 public:
  HistoryWindow(QWidget& parent, HistoryWindowHost& main, WindowHistory& history);
  ~HistoryWindow() override;

  // The texts of the main window's language, and its screen-reader names.
  void ApplyLanguage(int languageNumber);
  // The records asked for by the filter, read anew; the selection kept where it still is.
  void Refresh();

  // For the tests, which have no other way to the state behind the widgets.
  const HistoryTableModel& Model() const { return *model_; }
  std::optional<HistoryRecord> Selected() const;
  void Select(int row);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  HistoryQuery Query() const;
  void ShowSelected();
  void LoadSelected();
  void GiveTag();
  void PrintHistory();
  const HistoryTexts& Texts() const;

  HistoryWindowHost& main_;
  WindowHistory& history_;
  int languageNumber_ = 0;
  HistoryTableModel* model_ = nullptr;
  QLineEdit* tagFilter_ = nullptr;
  QLineEdit* portFilter_ = nullptr;
  QLineEdit* sinceFilter_ = nullptr;
  QLineEdit* untilFilter_ = nullptr;
  QTableView* table_ = nullptr;
  QLabel* newestShown_ = nullptr;  // when the filter finds more than the table holds
  QTextEdit* details_ = nullptr;
  QLineEdit* recordTag_ = nullptr;
  QPushButton* giveTag_ = nullptr;
  QPushButton* load_ = nullptr;
  QPushButton* print_ = nullptr;
  QPushButton* close_ = nullptr;
  std::vector<std::pair<QLabel*, std::string HistoryTexts::*>> labels_;
};

// The filter's date as the history's query wants it: "2026-12-01" as typed for the first day,
// the day after for the last (the query's bound is exclusive); "" for a field left empty or
// holding no date.
std::string SinceBound(const QString& typed);
std::string UntilBound(const QString& typed);

}  // namespace quorvex
