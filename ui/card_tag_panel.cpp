// The card's tag in the serial device window.
#include "ui/card_tag_panel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSpinBox>

#include "core/text_set.h"
#include "link/network_port.h"
#include "link/port_names.h"
#include "storage/card_tags.h"
#include "ui/accessible_names.h"
#include "ui/device_server_ports.h"
#include "ui/error_report.h"
#include "ui/history_texts.h"
#include "ui/qt_text.h"

namespace quorvex {

namespace {

constexpr const char* kServingProperty = "quorvexCardTags";

}  // namespace

void CardTagStore::Serve(QWidget& window) {
  window.setProperty(kServingProperty, QVariant::fromValue(QPointer<QObject>(this)));
}

CardTagStore* CardTagStore::For(const QWidget* window) {
  for (; window != nullptr; window = window->parentWidget()) {
    const QVariant serving = window->property(kServingProperty);
    if (serving.isValid()) return qobject_cast<CardTagStore*>(serving.value<QPointer<QObject>>());
  }
  return nullptr;
}

CardTagPanel::CardTagPanel(CardTagStore& store, const TextSet& texts, const QSpinBox& comNumber,
                           QWidget* parent)
    : QGroupBox(parent), store_(store) {
  setObjectName(QStringLiteral("CardTagPanel"));
  const HistoryTexts& t = HistoryTextsFor(texts);
  setTitle(ToQ(t.cardTagTitle));
  auto* row = new QHBoxLayout(this);
  auto* comLabel = new QLabel(ToQ(t.cardTagPort), this);
  comNumber_ = new QSpinBox(this);
  comNumber_->setObjectName(QStringLiteral("CardTagCom"));
  comNumber_->setRange(kFirstComPort, kLastComPort);
  comNumber_->setPrefix(QStringLiteral("COM"));
  NameByLabel(*comNumber_, *comLabel);
  auto* tagLabel = new QLabel(ToQ(t.cardTag), this);
  tag_ = new QLineEdit(this);
  tag_->setObjectName(QStringLiteral("CardTag"));
  tag_->setPlaceholderText(ToQ(t.cardTagHint));
  NameByLabel(*tag_, *tagLabel);
  keep_ = new QPushButton(ToQ(t.keepTag), this);
  keep_->setObjectName(QStringLiteral("KeepCardTag"));
  keep_->setAutoDefault(false);
  keptFor_ = new QLabel(this);
  keptFor_->setObjectName(QStringLiteral("CardTagKey"));
  for (QWidget* w : {static_cast<QWidget*>(comLabel), static_cast<QWidget*>(comNumber_),
                     static_cast<QWidget*>(tagLabel), static_cast<QWidget*>(tag_),
                     static_cast<QWidget*>(keep_), static_cast<QWidget*>(keptFor_)}) {
    row->addWidget(w);
  }
  connect(comNumber_, &QSpinBox::valueChanged, this, &CardTagPanel::ShowStored);
  connect(keep_, &QPushButton::clicked, this, [this] { RunReported([this] { Keep(); }); });
  connect(tag_, &QLineEdit::returnPressed, keep_, &QPushButton::click);
  connect(&comNumber, &QSpinBox::valueChanged, this, &CardTagPanel::SetComNumber);
  SetComNumber(comNumber.value());
}

void CardTagPanel::SetComNumber(int comNumber) {
  comNumber_->setValue(comNumber);
  ShowStored();
}

std::string CardTagPanel::Key() const {
  std::string url;
  if (const DeviceServerAssignments* servers = DeviceServerAssignments::For(this)) {
    const NetworkAssignments assigned = servers->Assignments();
    if (const auto it = assigned.find(comNumber_->value()); it != assigned.end()) {
      url = NetworkEndpointUrl(it->second);
    }
  }
  return CardTagKey(comNumber_->value(), url);
}

void CardTagPanel::ShowStored() {
  const std::string key = Key();
  tag_->setText(ToQ(StoredCardTag(store_.SettingsPath(), key)));
  // Which port the tag goes with: a device server's, where the number leads to one.
  keptFor_->setText(ToQ(key));
}

void CardTagPanel::Keep() {
  SaveCardTag(store_.SettingsPath(), Key(), FromQ(tag_->text()));
  ShowStored();
}

}  // namespace quorvex
