#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace quorvex {

// The eight channel settings live in named components ("BereichEdit" + 3 -> "BereichEdit3").
// Every procedure that reads or writes channel settings goes through this interface, so the
// same code drives the real window and an in-memory panel. Unknown names read empty and ignore
// writes. Nothing done through this interface runs a change, enter or exit handler.
class ChannelPanel {
 public:
  virtual ~ChannelPanel() = default;

  // Edit text, label caption, or the selected entry's text of a list ("" when none selected).
  virtual std::string Text(std::string_view component) const = 0;
  // Sets an edit text or a label caption. Ignored for lists and unknown names.
  virtual void SetText(std::string_view component, std::string_view text) = 0;

  // Selected list position, -1 when nothing is selected or the name is no list.
  virtual int ItemIndex(std::string_view component) const = 0;
  // Selects a position; a position outside the list leaves nothing selected.
  virtual void SetItemIndex(std::string_view component, int index) = 0;
  virtual std::vector<std::string> Items(std::string_view component) const = 0;
  // Replaces the entries of a list; afterwards nothing is selected.
  virtual void SetItems(std::string_view component, const std::vector<std::string>& items) = 0;

  // Moves the keyboard focus to the component (the check does this for a failing field).
  virtual void Focus(std::string_view component) = 0;
};

// "Edit" and 3 give "Edit3".
std::string ComponentName(std::string_view stem, int channel);

// A panel held in memory with the components of the main window's channel grid
// (ComboBox1..8, EinheitBox1..8, Edit1..8, BereichEdit1..8, MessEdit1..8, ELabel1..8).
// Serves tests and tools that have no window.
class MemoryPanel : public ChannelPanel {
 public:
  MemoryPanel();

  std::string Text(std::string_view component) const override;
  void SetText(std::string_view component, std::string_view text) override;
  int ItemIndex(std::string_view component) const override;
  void SetItemIndex(std::string_view component, int index) override;
  std::vector<std::string> Items(std::string_view component) const override;
  void SetItems(std::string_view component, const std::vector<std::string>& items) override;
  void Focus(std::string_view component) override;

  // The component that received the focus last ("" when none).
  const std::string& Focused() const { return focused_; }

 private:
  struct List {
    std::vector<std::string> items;
    int index = -1;
  };
  std::map<std::string, std::string, std::less<>> texts_;
  std::map<std::string, List, std::less<>> lists_;
  std::string focused_;
};

}  // namespace quorvex
