// The pacing schedule on a scripted clock: no sleeping, no wall time.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "frame/kxFramePacer.h"

namespace {

std::vector<uint32_t> gReadings;
size_t gNext = 0;
// Each reading takes the next scripted value; the last one repeats.
uint32_t Scripted() {
  return gReadings[std::min(gNext++, gReadings.size() - 1)];
}

kxFramePacer ScriptedPacer(std::vector<uint32_t> readings) {
  gReadings = std::move(readings);
  gNext = 0;
  return kxFramePacer(Scripted);
}

TEST(kxFramePacerTest, FixedScheduleThenALateFrameRestartsItWithoutCatchingUp) {
  kxFramePacer pacer = ScriptedPacer({1000, 1005, 1030, 1070, 1071, 1075});
  pacer.Start();
  EXPECT_EQ(pacer.EndFrame(), 11u);  // mark 1016
  EXPECT_EQ(pacer.EndFrame(), 3u);   // mark 1033, not 1030 + 16
  EXPECT_EQ(pacer.GetFrames(), 2u);
  EXPECT_EQ(pacer.GetBase(), 1000u);
  // 1070 is past mark 1050: no delay, a fresh base from a new reading.
  EXPECT_EQ(pacer.EndFrame(), 0u);
  EXPECT_EQ(pacer.GetBase(), 1071u);
  EXPECT_EQ(pacer.GetFrames(), 0u);
  EXPECT_EQ(pacer.EndFrame(), 12u);  // a whole period from the new base: 1087
  EXPECT_EQ(pacer.EndFrame(), 29u);  // 1104
}

TEST(kxFramePacerTest, ZeroReadingCountsAsOne) {
  kxFramePacer pacer = ScriptedPacer({0, 0});
  EXPECT_EQ(pacer.Ticks(), 1u);
  pacer.Start();
  EXPECT_EQ(pacer.GetBase(), 1u);
  EXPECT_EQ(pacer.EndFrame(), 16u);  // mark 17, now 1
}

}  // namespace
