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
  std::string name(stem);
  // Every channel has one digit; a re-display builds a name for each of hundreds of reads.
  if (channel >= 0 && channel <= 9) {
    name += static_cast<char>('0' + channel);
  } else {
    name += std::to_string(channel);
  }
  return name;
}

std::string ComponentName(ChannelComponent component, int channel) {
  return ComponentName(ComponentStem(component), channel);
}

static_assert(kChannelCount <= 9, "a component name ends in its one-digit channel number");

MemoryPanel::MemoryPanel() {
  components_.resize(kChannelComponents.size() * kChannelCount);
  for (std::size_t k = 0; k < kChannelComponents.size(); ++k) {
    for (int n = 1; n <= kChannelCount; ++n) {
      components_[k * kChannelCount + static_cast<std::size_t>(n - 1)].isList =
          IsList(kChannelComponents[k]);
    }
  }
}

std::size_t MemoryPanel::Place(std::string_view component) const {
  if (component.size() >= 2) {
    const int channel = component.back() - '0';
    const std::string_view stem = component.substr(0, component.size() - 1);
    for (std::size_t k = 0;
         channel >= 1 && channel <= kChannelCount && k < kChannelComponents.size(); ++k) {
      if (ComponentStem(kChannelComponents[k]) == stem) {
        return k * kChannelCount + static_cast<std::size_t>(channel - 1);
      }
    }
  }
  Unknown(component);
}

std::string MemoryPanel::Text(std::string_view component) const {
  const Component& c = components_[Place(component)];
  if (!c.isList) return c.text;
  if (c.list.index >= 0 && c.list.index < static_cast<int>(c.list.items.size())) {
    return c.list.items[static_cast<std::size_t>(c.list.index)];
  }
  return {};
}

void MemoryPanel::SetText(std::string_view component, std::string_view text) {
  Component& c = components_[Place(component)];
  if (!c.isList) c.text = text;
}

int MemoryPanel::ItemIndex(std::string_view component) const {
  const Component& c = components_[Place(component)];
  return c.isList ? c.list.index : -1;
}

void MemoryPanel::SetItemIndex(std::string_view component, int index) {
  Component& c = components_[Place(component)];
  if (!c.isList) return;
  c.list.index = (index >= 0 && index < static_cast<int>(c.list.items.size())) ? index : -1;
}

std::vector<std::string> MemoryPanel::Items(std::string_view component) const {
  const Component& c = components_[Place(component)];
  return c.isList ? c.list.items : std::vector<std::string>{};
}

void MemoryPanel::SetItems(std::string_view component, const std::vector<std::string>& items) {
  Component& c = components_[Place(component)];
  if (!c.isList) return;
  c.list.items = items;
  c.list.index = -1;
}

void MemoryPanel::Focus(std::string_view component) {
  (void)Place(component);
  focused_ = std::string(component);
}

}  // namespace quorvex
