// What the fuzz targets do when a property fails: name it and abort, so the input is kept.
#pragma once

#include <cstdio>
#include <cstdlib>

namespace quorvex::fuzz {

// A violated property is a finding: say which and abort, so libFuzzer keeps the input.
[[noreturn]] inline void Fail(const char* what) {
  std::fprintf(stderr, "property violated: %s\n", what);
  std::abort();
}

}  // namespace quorvex::fuzz
