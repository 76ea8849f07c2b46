// Engine-internal: integer sums of window coordinates that saturate at the
// ends of int instead of overflowing. Coordinates come from applications and
// from the pointer, so extreme values must still give a defined result.
#pragma once

#include <climits>
#include <cstdint>

inline int kxSaturateToInt(int64_t value) {
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

inline int kxSaturatedSum(int a, int b) {
  return kxSaturateToInt(static_cast<int64_t>(a) + b);
}

inline int kxSaturatedDifference(int a, int b) {
  return kxSaturateToInt(static_cast<int64_t>(a) - b);
}
