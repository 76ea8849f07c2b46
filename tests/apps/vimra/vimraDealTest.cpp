// The gather-and-deal order of the trick, as pure index arithmetic.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "vimraDeal.h"

namespace {

int RowOfSlot(int slot) {
  return slot >= 14 ? 1 : (slot >= 7 ? 2 : 3);
}

}  // namespace

TEST(vimraDeal, EveryOrderIsAPermutation) {
  for (int row = 0; row <= 4; ++row) {
    int order[vimraCardCount];
    vimraGatherOrder(row, order);
    std::vector<int> sorted(order, order + vimraCardCount);
    std::sort(sorted.begin(), sorted.end());
    for (int i = 0; i < vimraCardCount; ++i) EXPECT_EQ(sorted[i], i) << "row " << row;
  }
}

TEST(vimraDeal, PileIsDealtAcrossTheRows) {
  // Middle row named: the pile is the slots in order, so pile position p goes
  // to column p / 3 of row p % 3 (bottom, middle, top).
  int order[vimraCardCount];
  vimraGatherOrder(2, order);
  for (int p = 0; p < vimraCardCount; ++p) {
    int slot = 7 * (p % 3) + p / 3;
    EXPECT_EQ(order[slot], p) << p;
  }
  // Top row named: bottom row, top row, middle row onto the pile.
  vimraGatherOrder(1, order);
  EXPECT_EQ(order[0], 0);
  EXPECT_EQ(order[7], 1);
  EXPECT_EQ(order[14], 2);
  EXPECT_EQ(order[2], 6);
  EXPECT_EQ(order[9], 14);
  EXPECT_EQ(order[20], 13);
  // Bottom row named: top row first.
  vimraGatherOrder(3, order);
  EXPECT_EQ(order[0], 14);
  EXPECT_EQ(order[9], 0);
  EXPECT_EQ(order[20], 13);
}

TEST(vimraDeal, NamedRowLandsInTheMiddleColumns) {
  for (int row = 1; row <= 3; ++row) {
    int order[vimraCardCount];
    vimraGatherOrder(row, order);
    for (int s = 0; s < vimraCardCount; ++s) {
      int column = s % 7;
      bool fromNamedRow = RowOfSlot(order[s]) == row;
      // Pile positions 7..13 are columns 2 (7, 8), 3 (9, 10, 11) and 4 (12, 13).
      EXPECT_EQ(fromNamedRow,
                column >= 2 && column <= 4 && !(column == 2 && s == 2) && !(column == 4 && s == 18))
          << "row " << row << " slot " << s;
    }
  }
}

TEST(vimraDeal, PictureOrderIsAPermutationThatFollowsTheSeed) {
  std::vector<std::vector<int>> orders;
  for (unsigned seed = 1; seed <= 20; ++seed) {
    srand(seed);
    int picture[vimraCardCount];
    vimraPictureOrder(picture);
    std::vector<int> order(picture, picture + vimraCardCount);
    std::vector<int> sorted = order;
    std::sort(sorted.begin(), sorted.end());
    for (int i = 0; i < vimraCardCount; ++i) ASSERT_EQ(sorted[i], i) << "seed " << seed;
    orders.push_back(order);
  }
  // The same seed places the pictures the same way again.
  srand(7);
  int again[vimraCardCount];
  vimraPictureOrder(again);
  EXPECT_EQ(std::vector<int>(again, again + vimraCardCount), orders[6]);
  // Different seeds shuffle differently.
  std::sort(orders.begin(), orders.end());
  EXPECT_GT(std::unique(orders.begin(), orders.end()) - orders.begin(), 15);
}
