// The window's component stems and the in-memory panel that holds the same names.
#include "core/channel_panel.h"

#include <stdexcept>

#include "core/image_layout.h"

namespace quorvex {

namespace {

bool IsList(ChannelComponent component) {
  return component == ChannelComponent::Quantity || component == ChannelComponent::Unit;
}

[[noreturn]] void Unknown(std::string_view component) {
  throw std::invalid_argument("no channel component is named \"" + std::string(component) + "\"");
}

}  // namespace

std::string_view ComponentStem(ChannelComponent component) {
  switch (component) {
    case ChannelComponent::Quantity:
      return "ComboBox";
    case ChannelComponent::Unit:
      return "EinheitBox";
    case ChannelComponent::Offset:
      return "Edit";
    case ChannelComponent::Range:
      return "BereichEdit";
    case ChannelComponent::MeasurementRange:
      return "MessEdit";
    case ChannelComponent::UnitLabel:
      break;
  }
  return "ELabel";
}

std::string ComponentName(std::string_view stem, int channel) {
  return std::string(stem) + std::to_string(channel);
}

std::string ComponentName(ChannelComponent component, int channel) {
  return ComponentName(ComponentStem(component), channel);
}

MemoryPanel::MemoryPanel() {
  for (int n = 1; n <= kChannelCount; ++n) {
    for (ChannelComponent component : kChannelComponents) {
      if (IsList(component)) {
        lists_.emplace(ComponentName(component, n), List{});
      } else {
        texts_.emplace(ComponentName(component, n), std::string());
      }
    }
  }
}

void MemoryPanel::Check(std::string_view component) const {
  if (!texts_.contains(component) && !lists_.contains(component)) Unknown(component);
}

std::string MemoryPanel::Text(std::string_view component) const {
  Check(component);
  if (auto t = texts_.find(component); t != texts_.end()) return t->second;
  if (auto l = lists_.find(component); l != lists_.end()) {
    const List& list = l->second;
    if (list.index >= 0 && list.index < static_cast<int>(list.items.size())) {
      return list.items[static_cast<std::size_t>(list.index)];
    }
  }
  return {};
}

void MemoryPanel::SetText(std::string_view component, std::string_view text) {
  Check(component);
  if (auto t = texts_.find(component); t != texts_.end()) t->second = std::string(text);
}

int MemoryPanel::ItemIndex(std::string_view component) const {
  Check(component);
  auto l = lists_.find(component);
  return l == lists_.end() ? -1 : l->second.index;
}

void MemoryPanel::SetItemIndex(std::string_view component, int index) {
  Check(component);
  auto l = lists_.find(component);
  if (l == lists_.end()) return;
  List& list = l->second;
  list.index = (index >= 0 && index < static_cast<int>(list.items.size())) ? index : -1;
}

std::vector<std::string> MemoryPanel::Items(std::string_view component) const {
  Check(component);
  auto l = lists_.find(component);
  return l == lists_.end() ? std::vector<std::string>{} : l->second.items;
}

void MemoryPanel::SetItems(std::string_view component, const std::vector<std::string>& items) {
  Check(component);
  auto l = lists_.find(component);
  if (l == lists_.end()) return;
  l->second.items = items;
  l->second.index = -1;
}

void MemoryPanel::Focus(std::string_view component) {
  Check(component);
  focused_ = std::string(component);
}

}  // namespace quorvex
