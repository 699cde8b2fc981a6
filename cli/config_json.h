// The JSON form of a configuration for export and import, with errors named by JSON path.
#pragma once

#include <stdexcept>
#include <string>

#include <nlohmann/json.hpp>

#include "core/config_view.h"

namespace quorvex {
class MemoryPanel;
}

namespace quorvex::cli {

// A JSON document that is no configuration; what() names the JSON path ("$.channels[2].unit").
class JsonInputError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The channels as the window shows them, one object per channel.
nlohmann::ordered_json ChannelsJson(const ConfigurationView& view);
// The exported form of a configuration: a format tag, a version and the eight channels.
nlohmann::ordered_json ConfigurationDocument(const ConfigurationView& view);

// Selects and types the document's channels into a panel whose lists are filled, as an operator
// would in the window. Throws JsonInputError; checking the values is left to the window's check.
void EnterDocument(const std::string& text, MemoryPanel& panel);

}  // namespace quorvex::cli
