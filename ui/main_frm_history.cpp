// MainFrm's history: every transfer recorded where the window learns how it ended, what the user
// is told of the history, and the History... window.
#include <QLabel>
#include <QMessageBox>
#include <exception>

#include "core/app_context.h"
#include "core/channel_editing.h"
#include "core/config_image.h"
#include "core/operator.h"
#include "link/clock.h"
#include "procedures/card_session.h"
#include "storage/card_tags.h"
#include "ui/error_report.h"
#include "ui/history_recording.h"
#include "ui/history_texts.h"
#include "ui/history_window.h"
#include "ui/main_frm.h"
#include "ui/qt_channel_panel.h"
#include "ui/qt_text.h"
#include "ui/settings_autosave.h"

namespace quorvex {

void MainFrm::UseHistory(const std::string& path) {
  historyWindow_.reset();
  history_ = path.empty() ? nullptr : std::make_unique<WindowHistory>(path);
}

void MainFrm::SetPortIdentity(std::function<PortIdentity(int)> identify) {
  identifyPort_ = std::move(identify);
}

void MainFrm::RunRecordedTransfer(const char* action,
                                  const std::function<CardComparison()>& transfer) {
  RunTransfer([&] {
    const auto start = clock_.Now();
    CardComparison result;
    std::exception_ptr error;
    try {
      result = transfer();
    } catch (...) {
      // Ended by an error: recorded as failed with the error's message, then reported as before.
      error = std::current_exception();
    }
    const bool done = !error && result.outcome == TransferOutcome::Done;
    // A read shows the card's bytes, a write put the channels on the card: either is kept.
    if (done && action != std::string(kHistoryVerify)) MarkChannelsKept();
    RecordTransfer(action, result, error ? ExceptionMessage(error) : FromQ(statusPanel_->text()),
                   start);
    if (error) std::rethrow_exception(error);
  });
}

void MainFrm::RecordTransfer(const char* action, const CardComparison& result,
                             const std::string& message,
                             std::chrono::steady_clock::time_point start) {
  if (!history_) return;
  WindowHistory::Told told;
  try {
    WindowTransfer transfer;
    transfer.action = action;
    transfer.outcome = result.outcome;
    transfer.message = message;
    transfer.comNumber = ctx_.comPortNumber;
    const PortIdentity port = identifyPort_ ? identifyPort_(ctx_.comPortNumber) : PortIdentity{};
    transfer.device = port.device;
    transfer.tag = StoredCardTag(
        settingsPath_, CardTagKey(ctx_.comPortNumber, port.deviceServer ? port.device : ""));
    // Channels that make no bytes were neither sent nor compared; the record then names no file.
    if (action != std::string(kHistoryRead)) transfer.shown = EncodeConfiguration(*panel_);
    transfer.card = session_->Record();
    transfer.differences = result.differences;
    transfer.rememberedFile = rememberedFileName_;
    transfer.duration = std::chrono::duration_cast<std::chrono::milliseconds>(clock_.Now() - start);
    std::optional<HistoryRecord> record = MakeHistoryRecord(transfer, ctx_.texts);
    if (!record) return;
    told = history_->Append(std::move(*record));
  } catch (const std::exception& e) {
    // Whatever kept the record from being made, the transfer ended as it did.
    told.failure = e.what();
  }
  if (!told.notice.empty()) TellHistory(told.notice);
  if (!told.failure.empty()) {
    TellHistory(HistoryTextsFor(languageNumber_).notInHistory + ": " + told.failure);
  }
  if (historyWindow_ && historyWindow_->isVisible()) historyWindow_->Refresh();
}

void MainFrm::TellHistory(const std::string& text) {
  // After the transfer's own status, which stays readable in front of it.
  const std::string before = FromQ(statusPanel_->text());
  op_.ShowStatus(before.empty() ? text : before + " \u2013 " + text);
  op_.AddDebugLine(text);
}

HistoryWindow* MainFrm::HistoryView() {
  if (!history_) return nullptr;
  if (!historyWindow_) {
    std::string notice;
    try {
      history_->Open(notice);
    } catch (const HistoryError& e) {
      ReportError(e.what());
      return nullptr;
    }
    if (!notice.empty()) TellHistory(notice);
    historyWindow_ = std::make_unique<HistoryWindow>(*this, *this, *history_);
  }
  historyWindow_->ApplyLanguage(languageNumber_);
  return historyWindow_.get();
}

void MainFrm::Verlauf1Click() {
  if (!history_) {
    op_.ShowStatus(HistoryTextsFor(languageNumber_).historyOff);
    return;
  }
  if (HistoryWindow* window = HistoryView()) {
    window->Refresh();
    window->show();
    window->raise();
    window->activateWindow();
  }
}

const TextSet& MainFrm::Texts() const {
  return ctx_.texts;
}

void MainFrm::SetQuestion(std::function<bool(const std::string&)> ask) {
  ask_ = std::move(ask);
}

void MainFrm::MarkChannelsKept() {
  // Fields that make no bytes keep nothing: the question then comes. Their fault is the
  // command's to report, not this note's.
  try {
    keptImage_ = EncodeConfiguration(*panel_);
  } catch (...) {
    keptImage_.reset();
  }
}

bool MainFrm::ChannelsChangedSinceKept() const {
  if (!keptImage_) return true;
  try {
    return EncodeConfiguration(*panel_) != *keptImage_;
  } catch (...) {
    return true;
  }
}

bool MainFrm::LoadFromHistory(const HistoryRecord& record) {
  if (!record.image || TransferRunning()) return false;
  if (ChannelsChangedSinceKept()) {
    const std::string question = HistoryTextsFor(languageNumber_).unsavedQuestion;
    const bool replace =
        ask_ ? ask_(question)
             : QMessageBox::question(this, ToQ(std::string(kApplicationTitle)), ToQ(question),
                                     QMessageBox::Yes | QMessageBox::No,
                                     QMessageBox::No) == QMessageBox::Yes;
    if (!replace) return false;
  }
  bool loaded = false;
  // As a loaded file is shown: the bytes decoded, the status, every channel re-displayed. The
  // remembered file stays: the record came from no file the window could save back to.
  RunReported([&] {
    ApplyConfiguration(*panel_, *record.image);
    op_.ShowStatus(HistoryTextsFor(languageNumber_).loadedFromRecord + " " +
                   std::to_string(record.id));
    RefreshAllChannels(*panel_);
    FormatAllChannels(*panel_);
    loaded = true;
  });
  MarkChannelsKept();
  autosave_->CommandCompleted();
  return loaded;
}

}  // namespace quorvex
