// Applying the language: texts into the context and onto the main window's components.
#pragma once

class QMainWindow;

namespace quorvex {

class ChannelPanel;
class Operator;
struct AppContext;

// Fills ctx.texts with the set of `languageNumber` (English for a number that names none) and
// puts it on the main window: caption, row labels, column headers and menu captions. The
// quantity lists are rebuilt with every row keeping its quantity (no change handler runs) and the
// status bar is cleared. Returns the language number now in use.
int ApplyLanguageTexts(QMainWindow& window, ChannelPanel& panel, Operator& op, AppContext& ctx,
                       int languageNumber);

}  // namespace quorvex
