// The history window's table: the records found, newest first, one row each.
#pragma once

#include <QAbstractTableModel>
#include <vector>

#include "storage/history.h"
#include "ui/history_texts.h"

namespace quorvex {

// A model over the records a query found: a table of 100,000 rows is filled in one go, without
// a widget per cell.
class HistoryTableModel : public QAbstractTableModel {
 public:
  enum Column { kTime, kTag, kPort, kAction, kOutcome, kUser, kFile, kColumnCount };

  explicit HistoryTableModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

  void SetRecords(std::vector<HistoryRecord> records);
  void SetTexts(const HistoryTexts& texts);
  const HistoryRecord* RecordAt(int row) const;
  // The row of record `id`, -1 when it is not among them.
  int RowOf(std::int64_t id) const;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;

 private:
  std::vector<HistoryRecord> records_;
  const HistoryTexts* texts_ = &HistoryTextsFor(0);
};

// The port as the table shows it: the name the user gave, and the device behind it when known.
std::string PortAndDevice(const HistoryRecord& record);

}  // namespace quorvex
