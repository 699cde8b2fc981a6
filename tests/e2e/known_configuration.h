#pragma once

// The end-to-end tests and the transfer benchmark send and expect the shared known configuration.
#include "tests/support/panel_setup.h"

namespace quorvex::e2e {

using testing::FillKnownConfiguration;
using testing::FillLists;
using testing::kKnownImage;

}  // namespace quorvex::e2e
