// Windows tests run at a screen resolution of their own
// (redoviri_add_gtest's DPIS): the process asks for per-monitor awareness,
// as the program's manifest does, and the test knows the DPI it runs at.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>

#include "widgets/dpi.h"

namespace redoviri::test {

// The resolution the run was started with; 96 when none was asked for.
inline int RunDpi() {
  const char* v = std::getenv("REDOVIRI_LOGPIXELS");
  return v && *v ? std::atoi(v) : widgets::kLayoutDpi;
}

// Registered once per program: GoogleTest sets environments up before the
// first test.
class DpiAwareEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { widgets::BecomeDpiAware(); }
};

inline const ::testing::Environment* const kDpiAware =
    ::testing::AddGlobalTestEnvironment(new DpiAwareEnvironment);

// A 96-DPI layout length at the run's resolution.
inline int AtRunDpi(int v) { return widgets::Scale(v, RunDpi()); }
inline RECT AtRunDpi(const RECT& r) { return widgets::Scale(r, RunDpi()); }

}  // namespace redoviri::test
