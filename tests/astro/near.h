// EXPECT_NEAR for long double: GoogleTest's EXPECT_NEAR compares doubles,
// too coarse for checks at the last bits of an extended value.
#pragma once

#include <cmath>
#include <cstdio>

#include <gtest/gtest.h>

namespace redoviri::astro::testing {

inline ::testing::AssertionResult NearExtended(const char* gotExpr, const char* wantExpr, const char*,
                                               long double got, long double want, long double tolerance) {
  if (std::fabs(got - want) <= tolerance) return ::testing::AssertionSuccess();
  char buf[256];
  std::snprintf(buf, sizeof buf, "%s\n  want %.21Lg (%s)\n   got %.21Lg\n  diff %.3Lg > %.3Lg", gotExpr, want, wantExpr,
                got, std::fabs(got - want), tolerance);
  return ::testing::AssertionFailure() << buf;
}

}  // namespace redoviri::astro::testing

#define EXPECT_NEAR_L(got, want, tolerance) \
  EXPECT_PRED_FORMAT3(::redoviri::astro::testing::NearExtended, got, want, tolerance)
#define ASSERT_NEAR_L(got, want, tolerance) \
  ASSERT_PRED_FORMAT3(::redoviri::astro::testing::NearExtended, got, want, tolerance)
