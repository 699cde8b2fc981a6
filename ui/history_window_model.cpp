// The history window's table model.
#include "ui/history_window_model.h"

#include "ui/qt_text.h"

namespace quorvex {

void HistoryTableModel::SetRecords(std::vector<HistoryRecord> records) {
  beginResetModel();
  records_ = std::move(records);
  endResetModel();
}

void HistoryTableModel::SetTexts(const HistoryTexts& texts) {
  texts_ = &texts;
  if (!records_.empty()) emit dataChanged(index(0, 0), index(rowCount() - 1, kColumnCount - 1));
  emit headerDataChanged(Qt::Horizontal, 0, kColumnCount - 1);
}

const HistoryRecord* HistoryTableModel::RecordAt(int row) const {
  if (row < 0 || static_cast<std::size_t>(row) >= records_.size()) return nullptr;
  return &records_[static_cast<std::size_t>(row)];
}

int HistoryTableModel::RowOf(std::int64_t id) const {
  for (std::size_t i = 0; i < records_.size(); ++i) {
    if (records_[i].id == id) return static_cast<int>(i);
  }
  return -1;
}

int HistoryTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(records_.size());
}

int HistoryTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kColumnCount;
}

std::string PortAndDevice(const HistoryRecord& record) {
  if (record.device.empty() || record.device == record.port) return record.port;
  return record.port + " \u2013 " + record.device;
}

QVariant HistoryTableModel::data(const QModelIndex& index, int role) const {
  const HistoryRecord* r = RecordAt(index.row());
  if (r == nullptr || (role != Qt::DisplayRole && role != Qt::ToolTipRole)) return {};
  switch (index.column()) {
    case kTime:
      return ToQ(r->timeUtc);
    case kTag:
      return ToQ(r->currentTag.empty() ? r->tag : r->currentTag);
    case kPort:
      return ToQ(PortAndDevice(*r));
    case kAction:
      return ToQ(ActionText(*texts_, r->action));
    case kOutcome:
      return ToQ(r->outcome);
    case kUser:
      return ToQ(r->user);
    case kFile:
      return ToQ(r->file);
    default:
      return {};
  }
}

QVariant HistoryTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
    return QAbstractTableModel::headerData(section, orientation, role);
  }
  const std::string HistoryTexts::*const headers[kColumnCount] = {
      &HistoryTexts::timeColumn,   &HistoryTexts::tagColumn,     &HistoryTexts::portColumn,
      &HistoryTexts::actionColumn, &HistoryTexts::outcomeColumn, &HistoryTexts::userColumn,
      &HistoryTexts::fileColumn};
  if (section < 0 || section >= kColumnCount) return {};
  return ToQ(texts_->*headers[section]);
}

}  // namespace quorvex
