// What the commands print on standard output: tables in terminal columns, and JSON.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "core/config_image.h"
#include "core/config_view.h"
#include "core/text_set.h"

namespace quorvex::cli {

// Columns two spaces apart, as wide as their widest cell in terminal columns.
void PrintTable(std::ostream& out, const std::vector<std::vector<std::string>>& rows);

// The channels as the window shows them, then the image's bytes.
void PrintConfiguration(std::ostream& out, const ConfigurationView& view, const ConfigImage& image,
                        const TextSet& texts);

void PrintJson(std::ostream& out, const nlohmann::ordered_json& document);

// The JSON form of what PrintConfiguration prints.
nlohmann::ordered_json ShownJson(const ConfigurationView& view, const ConfigImage& image);

// "Equal: ..." or the fields that differ, and the exit code that says which.
int PrintDifferences(std::ostream& out, const std::vector<FieldDifference>& differences,
                     const std::string& firstName, const std::string& secondName,
                     const TextSet& texts,
                     std::vector<std::vector<std::string>>* rowsShown = nullptr);
// PrintDifferences of CompareImages.
int PrintComparison(std::ostream& out, const ConfigImage& first, const ConfigImage& second,
                    const std::string& firstName, const std::string& secondName,
                    const TextSet& texts,
                    std::vector<std::vector<std::string>>* rowsShown = nullptr);

}  // namespace quorvex::cli
