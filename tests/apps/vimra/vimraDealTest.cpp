// The gather-and-deal order of the trick, as pure index arithmetic.
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>

#include "vimraDeal.h"

namespace {

int RowOfSlot(int slot) {
  return slot >= 14 ? 1 : (slot >= 7 ? 2 : 3);
}

// Applies one gather naming `row` to a deal: deal[s] is the card in slot s.
void Gather(int row, int* deal) {
  int order[vimraCardCount];
  vimraGatherOrder(row, order);
  int next[vimraCardCount];
  for (int s = 0; s < vimraCardCount; ++s) next[s] = deal[order[s]];
  std::copy(next, next + vimraCardCount, deal);
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
      EXPECT_EQ(fromNamedRow, column >= 2 && column <= 4 && !(column == 2 && s == 2) &&
                                  !(column == 4 && s == 18))
          << "row " << row << " slot " << s;
    }
  }
}

TEST(vimraDeal, ThreeAnswersBringAnyCardToSlotTen) {
  std::mt19937 generator(12345);
  for (int chosen = 0; chosen < vimraCardCount; ++chosen) {
    for (int start = 0; start < 20; ++start) {
      int deal[vimraCardCount];
      std::iota(deal, deal + vimraCardCount, 0);
      std::shuffle(deal, deal + vimraCardCount, generator);
      for (int answer = 0; answer < 3; ++answer) {
        int slot = int(std::find(deal, deal + vimraCardCount, chosen) - deal);
        Gather(RowOfSlot(slot), deal);
      }
      EXPECT_EQ(deal[10], chosen) << "card " << chosen << " start " << start;
    }
  }
}

TEST(vimraDeal, AWrongAnswerDoesNotFindTheCard) {
  // The outcome depends on the answers: naming another row loses the card.
  int deal[vimraCardCount];
  std::iota(deal, deal + vimraCardCount, 0);
  const int chosen = 0;  // bottom row
  Gather(1, deal);
  int slot = int(std::find(deal, deal + vimraCardCount, chosen) - deal);
  Gather(RowOfSlot(slot), deal);
  slot = int(std::find(deal, deal + vimraCardCount, chosen) - deal);
  Gather(RowOfSlot(slot), deal);
  EXPECT_NE(deal[10], chosen);
}
