// What the history window asks of the window it belongs to, so that it needs nothing else of it.
#pragma once

namespace quorvex {

struct HistoryRecord;
struct TextSet;

class HistoryWindowHost {
 public:
  virtual int LanguageNumber() const = 0;
  virtual const TextSet& Texts() const = 0;
  // The record's configuration put into the channels; false when the user kept what was there.
  virtual bool LoadFromHistory(const HistoryRecord& record) = 0;

 protected:
  ~HistoryWindowHost() = default;
};

}  // namespace quorvex
