// The pacing schedule on a scripted clock: no sleeping, no wall time.
#include "frame/kxFramePacer.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<uint32_t> gReadings;
size_t gNext = 0;
// Each reading consumes the next scripted value; the last one repeats.
uint32_t Scripted() {
  uint32_t v = gReadings[gNext < gReadings.size() ? gNext : gReadings.size() - 1];
  ++gNext;
  return v;
}

kxFramePacer ScriptedPacer(std::vector<uint32_t> readings) {
  gReadings = std::move(readings);
  gNext = 0;
  return kxFramePacer(Scripted);
}

TEST(kxFramePacerTest, SleepsToEachMarkOfAFixedSchedule) {
  kxFramePacer pacer = ScriptedPacer({1000, 1005, 1030});
  pacer.Start();
  EXPECT_EQ(pacer.GetBase(), 1000u);
  EXPECT_EQ(pacer.EndFrame(), 11u);  // mark 1016
  EXPECT_EQ(pacer.EndFrame(), 3u);   // mark 1033, not 1030 + 16
  EXPECT_EQ(pacer.GetFrames(), 2u);
  EXPECT_EQ(pacer.GetBase(), 1000u);
}

TEST(kxFramePacerTest, LateFrameRestartsScheduleWithoutCatchingUp) {
  // A 40 ms frame: no delay, a fresh base from a new reading, frames from 0.
  kxFramePacer pacer = ScriptedPacer({1000, 1040, 1041, 1045, 1060});
  pacer.Start();
  EXPECT_EQ(pacer.EndFrame(), 0u);
  EXPECT_EQ(pacer.GetBase(), 1041u);
  EXPECT_EQ(pacer.GetFrames(), 0u);
  // The next frame gets a whole period from the new base, not a short one.
  EXPECT_EQ(pacer.EndFrame(), 12u);  // mark 1057
  EXPECT_EQ(pacer.EndFrame(), 14u);  // mark 1074
}

TEST(kxFramePacerTest, ZeroReadingCountsAsOne) {
  kxFramePacer pacer = ScriptedPacer({0, 0});
  EXPECT_EQ(pacer.Ticks(), 1u);
  pacer.Start();
  EXPECT_EQ(pacer.GetBase(), 1u);
  EXPECT_EQ(pacer.EndFrame(), 16u);  // mark 17, now 1
}

}  // namespace
