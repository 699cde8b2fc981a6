// The channel panel seam: the eight channels' components reached by stem and channel number.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quorvex {

// The six components of each channel. Code names them by this enum; the window's objects carry
// the names ComponentStem gives, followed by the channel number.
enum class ChannelComponent {
  Quantity,          // ComboBox: the quantity list
  Unit,              // EinheitBox: the unit list, "V" or "mA"
  Offset,            // Edit
  Range,             // BereichEdit
  MeasurementRange,  // MessEdit
  UnitLabel,         // ELabel: the measurement range's unit beside it
};
inline constexpr std::array<ChannelComponent, 6> kChannelComponents = {
    ChannelComponent::Quantity,         ChannelComponent::Unit,
    ChannelComponent::Offset,           ChannelComponent::Range,
    ChannelComponent::MeasurementRange, ChannelComponent::UnitLabel};

// "ComboBox", "EinheitBox", "Edit", "BereichEdit", "MessEdit", "ELabel".
std::string_view ComponentStem(ChannelComponent component);
// ChannelComponent::Range and 3 give "BereichEdit3".
std::string ComponentName(ChannelComponent component, int channel);

// The eight channel settings live in named components ("BereichEdit" + 3 -> "BereichEdit3").
// Every procedure that reads or writes channel settings goes through this interface, so the
// same code drives the real window and an in-memory panel. The window's panel reads unknown
// names as empty and ignores writes to them. Nothing done through this interface runs a change,
// enter or exit handler.
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

// "Edit" and 3 give "Edit3": the window's object names, built from any stem.
std::string ComponentName(std::string_view stem, int channel);

// A panel held in memory with the components of the main window's channel grid
// (ComboBox1..8, EinheitBox1..8, Edit1..8, BereichEdit1..8, MessEdit1..8, ELabel1..8).
// Serves tests and tools that have no window. A name it does not hold throws
// std::invalid_argument: there is no window whose layout could explain it, only a typo.
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
  // One place per component; edits and labels use `text`, lists `list`.
  struct Component {
    bool isList = false;
    std::string text;
    List list;
  };
  // Where the component's place is; throws for a name the panel does not hold.
  std::size_t Place(std::string_view component) const;
  // Indexed by the position in kChannelComponents times the channel count, plus channel - 1:
  // the re-display reaches every field hundreds of times, so a name costs no search.
  std::vector<Component> components_;
  std::string focused_;
};

}  // namespace quorvex
