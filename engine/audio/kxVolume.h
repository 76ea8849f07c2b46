// The volume step shared by music and samples, on the mixer's 0..128
// scale. Internal; header-only.
#pragma once

#include <cstdint>

constexpr int32_t kxMaxVolume = 128;

// One step up, never past 128 (a volume set above it comes back to 128).
inline int32_t kxVolumeUp(int32_t volume) {
  return volume < kxMaxVolume ? volume + 1 : kxMaxVolume;
}

// One step down, never below 0.
inline int32_t kxVolumeDown(int32_t volume) {
  return volume > 0 ? volume - 1 : 0;
}
