// What a screen reader calls the controls: the channel grid's by channel and column, the lists
// of the other windows, the unit beside a measurement range, the status text as it changes.
#pragma once

class QComboBox;
class QLabel;
class QString;
class QWidget;

namespace quorvex {

struct TextSet;

// Names every list and field of the channel grid "<channel> <n> <column header>" in the language
// of `texts` ("Channel 3 Range", "Kanal 3 Bereich"), and describes each measurement range field
// by its row's unit label.
void NameGridControls(QWidget& grid, const TextSet& texts);

// A unit label of the grid passes its text on as the description of its row's measurement
// range field; any other label changes nothing.
void DescribeByUnitLabel(const QLabel& label);

// Names a list. Where Qt reports a combo box's current entry as its name (Linux, macOS), the
// name also becomes its description, where a screen reader finds it there.
void NameList(QComboBox& list, const QString& name);

// Names a control after the label that stands before it ("&Tag:" names it "Tag"), as the
// channel grid's controls are named after their headers, and makes the label its buddy so the
// label's access key reaches it.
void NameByLabel(QWidget& control, QLabel& label);

// Tells a screen reader that the status bar's label shows a new text: the text also becomes the
// status bar's name, as a status bar's own message is.
void AnnounceStatus(QLabel& statusPanel);

}  // namespace quorvex
