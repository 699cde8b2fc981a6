// The channel panel seam on real widgets: lists, fields and labels of the channel grid.
#pragma once

#include <QHash>
#include <QPointer>
#include <QString>
#include <string>
#include <string_view>
#include <vector>

#include "core/channel_panel.h"

class QWidget;

namespace quorvex {

// The channel settings as the main window's widgets hold them: lists are QComboBox, fields
// QLineEdit, unit labels QLabel, all direct children of `grid` and found by object name.
// Changes made here are the program's own and never run the window's change handlers.
class QtChannelPanel : public ChannelPanel {
 public:
  explicit QtChannelPanel(QWidget& grid);

  std::string Text(std::string_view component) const override;
  void SetText(std::string_view component, std::string_view text) override;
  int ItemIndex(std::string_view component) const override;
  void SetItemIndex(std::string_view component, int index) override;
  std::vector<std::string> Items(std::string_view component) const override;
  void SetItems(std::string_view component, const std::vector<std::string>& items) override;
  void Focus(std::string_view component) override;

 private:
  QWidget* Find(std::string_view component) const;

  QWidget& grid_;
  // A re-display of all channels reaches the same few dozen widgets hundreds of times.
  mutable QHash<QString, QPointer<QWidget>> found_;
};

}  // namespace quorvex
