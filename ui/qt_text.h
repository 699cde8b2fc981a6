// UTF-8 std::string to QString and back, where the layers below meet Qt.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace quorvex {

// The layers below keep texts as UTF-8 std::string; Qt wants QString.
inline QString ToQ(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
inline std::string FromQ(const QString& text) {
  return text.toUtf8().toStdString();
}

}  // namespace quorvex
