// The history window laid out, filtered and acted on.
#include "ui/history_window.h"

#include <QDate>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTextEdit>
#include <QVBoxLayout>

#include "core/config_record.h"
#include "storage/card_tags.h"
#include "ui/accessible_names.h"
#include "ui/error_report.h"
#include "ui/history_recording.h"
#include "ui/history_texts.h"
#include "ui/history_window_details.h"
#include "ui/history_window_model.h"
#include "ui/qt_text.h"

namespace quorvex {

namespace {

std::string DateBound(const QString& typed, int daysAfter) {
  const QDate date = QDate::fromString(typed.trimmed(), Qt::ISODate);
  if (!date.isValid()) return {};
  return FromQ(date.addDays(daysAfter).toString(Qt::ISODate));
}

}  // namespace

std::string SinceBound(const QString& typed) {
  return DateBound(typed, 0);
}

std::string UntilBound(const QString& typed) {
  return DateBound(typed, 1);
}

HistoryWindow::HistoryWindow(QWidget& parent, HistoryWindowHost& main, WindowHistory& history)
    : QWidget(&parent, Qt::Window), main_(main), history_(history) {
  setObjectName(QStringLiteral("HistoryWindow"));
  setAttribute(Qt::WA_QuitOnClose, false);
  resize(860, 560);

  auto* layout = new QVBoxLayout(this);
  auto* filters = new QHBoxLayout;
  layout->addLayout(filters);
  auto field = [this](QBoxLayout* row, const char* name, std::string HistoryTexts::*caption,
                      int width) {
    auto* label = new QLabel(this);
    auto* edit = new QLineEdit(this);
    edit->setObjectName(QLatin1String(name));
    if (width > 0) edit->setMaximumWidth(width);
    label->setBuddy(edit);
    labels_.emplace_back(label, caption);
    row->addWidget(label);
    row->addWidget(edit);
    return edit;
  };
  tagFilter_ = field(filters, "TagFilter", &HistoryTexts::tagFilter, 0);
  portFilter_ = field(filters, "PortFilter", &HistoryTexts::portFilter, 0);
  sinceFilter_ = field(filters, "SinceFilter", &HistoryTexts::sinceFilter, 100);
  untilFilter_ = field(filters, "UntilFilter", &HistoryTexts::untilFilter, 100);
  for (QLineEdit* filter : {tagFilter_, portFilter_, sinceFilter_, untilFilter_}) {
    connect(filter, &QLineEdit::textChanged, this, &HistoryWindow::Refresh);
  }
  for (QLineEdit* date : {sinceFilter_, untilFilter_}) {
    date->setPlaceholderText(QStringLiteral("YYYY-MM-DD"));
  }

  model_ = new HistoryTableModel(this);
  table_ = new QTableView(this);
  table_->setObjectName(QStringLiteral("HistoryTable"));
  table_->setModel(model_);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->verticalHeader()->hide();
  table_->horizontalHeader()->setStretchLastSection(true);
  table_->setTabKeyNavigation(false);  // Tab leaves the table, as in every other list
  layout->addWidget(table_, 3);
  newestShown_ = new QLabel(this);
  newestShown_->setObjectName(QStringLiteral("NewestShown"));
  newestShown_->hide();
  layout->addWidget(newestShown_);
  connect(table_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          &HistoryWindow::ShowSelected);

  details_ = new QTextEdit(this);
  details_->setObjectName(QStringLiteral("RecordDetails"));
  details_->setReadOnly(true);
  layout->addWidget(details_, 2);

  auto* actions = new QHBoxLayout;
  layout->addLayout(actions);
  recordTag_ = field(actions, "RecordTag", &HistoryTexts::tagQuestion, 200);
  auto button = [this, actions](const char* name) {
    auto* b = new QPushButton(this);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    actions->addWidget(b);
    return b;
  };
  giveTag_ = button("GiveTag");
  actions->addStretch(1);
  load_ = button("LoadIntoWindow");
  print_ = button("PrintHistory");
  close_ = button("CloseHistory");
  connect(giveTag_, &QPushButton::clicked, this, [this] { RunReported([this] { GiveTag(); }); });
  connect(recordTag_, &QLineEdit::returnPressed, giveTag_, &QPushButton::click);
  connect(load_, &QPushButton::clicked, this, [this] { RunReported([this] { LoadSelected(); }); });
  connect(print_, &QPushButton::clicked, this, [this] { RunReported([this] { PrintHistory(); }); });
  connect(close_, &QPushButton::clicked, this, &QWidget::close);

  setTabOrder(tagFilter_, portFilter_);
  setTabOrder(portFilter_, sinceFilter_);
  setTabOrder(sinceFilter_, untilFilter_);
  setTabOrder(untilFilter_, table_);
  setTabOrder(table_, details_);
  setTabOrder(details_, recordTag_);
  setTabOrder(recordTag_, giveTag_);
  setTabOrder(giveTag_, load_);
  setTabOrder(load_, print_);
  setTabOrder(print_, close_);
  ApplyLanguage(main_.LanguageNumber());
  ShowSelected();
}

HistoryWindow::~HistoryWindow() = default;

const HistoryTexts& HistoryWindow::Texts() const {
  return HistoryTextsFor(languageNumber_);
}

void HistoryWindow::ApplyLanguage(int languageNumber) {
  languageNumber_ = languageNumber;
  const HistoryTexts& t = Texts();
  setWindowTitle(ToQ(t.windowTitle));
  for (const auto& [label, caption] : labels_) {
    label->setText(ToQ(t.*caption));
    if (QWidget* buddy = label->buddy()) NameByLabel(*buddy, *label);
  }
  giveTag_->setText(ToQ(t.tagButton));
  load_->setText(ToQ(t.loadButton));
  print_->setText(ToQ(t.printButton));
  close_->setText(ToQ(t.closeButton));
  table_->setAccessibleName(ToQ(t.recordsTable));
  details_->setAccessibleName(ToQ(t.details));
  model_->SetTexts(t);
  ShowSelected();
}

HistoryQuery HistoryWindow::Query() const {
  HistoryQuery query;
  query.tag = FromQ(tagFilter_->text().trimmed());
  query.port = FromQ(portFilter_->text().trimmed());
  query.sinceUtc = SinceBound(sinceFilter_->text());
  query.beforeUtc = UntilBound(untilFilter_->text());
  return query;
}

void HistoryWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  Refresh();
}

void HistoryWindow::Refresh() {
  const std::optional<HistoryRecord> selected = Selected();
  std::vector<HistoryRecord> records;
  RunReported([&] {
    std::string notice;
    HistoryQuery query = Query();
    query.limit = kHistoryRowsShown + 1;  // one more tells that there are more
    records = history_.Open(notice).Find(query);
  });
  const bool more = records.size() > kHistoryRowsShown;
  if (more) records.resize(kHistoryRowsShown);
  newestShown_->setVisible(more);
  newestShown_->setText(ToQ(Texts().newestShown).arg(kHistoryRowsShown));
  model_->SetRecords(std::move(records));
  const int row = selected ? model_->RowOf(selected->id) : -1;
  Select(row >= 0 ? row : 0);
}

std::optional<HistoryRecord> HistoryWindow::Selected() const {
  const HistoryRecord* record = model_->RecordAt(table_->currentIndex().row());
  if (record == nullptr) return std::nullopt;
  return *record;
}

void HistoryWindow::Select(int row) {
  if (model_->RecordAt(row) == nullptr) {
    table_->setCurrentIndex(QModelIndex());
    ShowSelected();
    return;
  }
  table_->setCurrentIndex(model_->index(row, 0));
  ShowSelected();
}

void HistoryWindow::ShowSelected() {
  const std::optional<HistoryRecord> record = Selected();
  for (QWidget* needsRecord : {static_cast<QWidget*>(load_), static_cast<QWidget*>(giveTag_),
                               static_cast<QWidget*>(recordTag_), static_cast<QWidget*>(print_)}) {
    needsRecord->setEnabled(record.has_value());
  }
  if (!record) {
    details_->clear();
    recordTag_->clear();
    return;
  }
  load_->setEnabled(record->image.has_value());
  std::optional<HistoryRecord> previous;
  RunReported([&] {
    std::string notice;
    previous = history_.Open(notice).PreviousOfSameCard(*record);
  });
  details_->setHtml(HistoryRecordHtml(*record, previous, main_.Texts(), Texts()));
  recordTag_->setText(ToQ(record->currentTag.empty() ? record->tag : record->currentTag));
}

void HistoryWindow::LoadSelected() {
  const std::optional<HistoryRecord> record = Selected();
  if (record && record->image) main_.LoadFromHistory(*record);
}

void HistoryWindow::GiveTag() {
  const std::optional<HistoryRecord> record = Selected();
  if (!record) return;
  // A correction refers to the record a transfer made, never to another correction.
  const std::int64_t id = record->action == kHistoryTagCorrection ? record->refersTo : record->id;
  std::string notice;
  history_.Open(notice).AppendTagCorrection(id, CleanCardTag(FromQ(recordTag_->text())),
                                            OperatingSystemUser(), HostName(),
                                            ProgramNameAndVersion());
  Refresh();
}

}  // namespace quorvex
