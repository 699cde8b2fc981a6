#include "core/channel_panel.h"

#include "core/config_image.h"

namespace quorvex {

std::string ComponentName(std::string_view stem, int channel) {
  return std::string(stem) + std::to_string(channel);
}

MemoryPanel::MemoryPanel() {
  for (int n = 1; n <= kChannelCount; ++n) {
    for (const char* stem : {"Edit", "BereichEdit", "MessEdit", "ELabel"}) {
      texts_.emplace(ComponentName(stem, n), std::string());
    }
    for (const char* stem : {"ComboBox", "EinheitBox"}) {
      lists_.emplace(ComponentName(stem, n), List{});
    }
  }
}

std::string MemoryPanel::Text(std::string_view component) const {
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
  if (auto t = texts_.find(component); t != texts_.end()) t->second = std::string(text);
}

int MemoryPanel::ItemIndex(std::string_view component) const {
  auto l = lists_.find(component);
  return l == lists_.end() ? -1 : l->second.index;
}

void MemoryPanel::SetItemIndex(std::string_view component, int index) {
  auto l = lists_.find(component);
  if (l == lists_.end()) return;
  List& list = l->second;
  list.index = (index >= 0 && index < static_cast<int>(list.items.size())) ? index : -1;
}

std::vector<std::string> MemoryPanel::Items(std::string_view component) const {
  auto l = lists_.find(component);
  return l == lists_.end() ? std::vector<std::string>{} : l->second.items;
}

void MemoryPanel::SetItems(std::string_view component, const std::vector<std::string>& items) {
  auto l = lists_.find(component);
  if (l == lists_.end()) return;
  l->second.items = items;
  l->second.index = -1;
}

void MemoryPanel::Focus(std::string_view component) {
  focused_ = std::string(component);
}

}  // namespace quorvex
