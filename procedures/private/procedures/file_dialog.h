// What Load configuration and Save configuration ask their dialogs, and the names they accept.
#pragma once

#include <string>

#include "core/operator.h"

namespace quorvex {

struct AppContext;

// The dialog starts in the folder and with the name of the file used last, but only while that
// file exists; otherwise it keeps what it had after its previous use.
FileDialogRequest DialogRequest(const std::string& title, const AppContext& ctx,
                                const std::string& rememberedFileName);

// The dialogs append the default extension themselves; doing it here as well keeps callers
// without such a dialog (tools, tests, another front end) saving the same file names.
std::string WithDefaultExtension(const std::string& path);

}  // namespace quorvex
