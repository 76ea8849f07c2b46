// The trick's bookkeeping on a deck whose cards are told apart by texture
// ids 1 to 21: gathering, dealing, the shown swaps and the outcome.
#include <gtest/gtest.h>

#include "vimraGameTestSupport.h"

namespace {

class TrickTest : public InTempDir {
 protected:
  void SetUp() override {
    InTempDir::SetUp();
    game = new GameProbe();
    game->aspect = 16.0f / 9.0f;
    game->cards = new kxGeometry();
    for (int i = 0; i < vimraCardCount; ++i) {
      game->cards->AppendVertexArray(4)->SetTextureID(unsigned(i + 1));
    }
  }
  void TearDown() override {
    delete game;
    InTempDir::TearDown();
  }

  // The deal animation's end: one more deal done, back to waiting.
  void FinishDeal() {
    ASSERT_EQ(game->state, StateDeal);
    ++game->dealCount;
    game->AdvanceState();
    ASSERT_EQ(game->state, StateAwaitRow);
  }

  // From the ring to the first question, as the animations would run it.
  void StartTrick() {
    game->state = StateRing;
    game->AdvanceState();
    ASSERT_EQ(game->state, StateGather);
    ASSERT_EQ(game->dealCount, 0);
    game->AdvanceState();
    FinishDeal();
  }

  // Answers with the row that shows `texture`.
  void Answer(unsigned texture) {
    int slot = SlotOfTexture(game->cards, texture);
    ASSERT_GE(slot, 0);
    game->chosenRow = RowOfSlot(slot);
    game->AdvanceState();
    if (game->state == StateGather) {
      game->AdvanceState();
      FinishDeal();
    } else {
      ASSERT_EQ(game->state, StateToReveal);
    }
  }

  void PlayTrick(unsigned texture) {
    StartTrick();
    for (int answer = 0; answer < 3; ++answer) Answer(texture);
    ASSERT_EQ(game->state, StateToReveal);
  }

  void ExpectPermutation() {
    std::vector<unsigned> ids = TexturesOf(game->cards);
    std::sort(ids.begin(), ids.end());
    for (int i = 0; i < vimraCardCount; ++i) ASSERT_EQ(ids[i], unsigned(i + 1));
  }

  GameProbe* game = nullptr;
};

TEST_F(TrickTest, EveryCardFromEverySlotEndsInSlotTen) {
  std::mt19937 generator(2024);
  for (int slot = 0; slot < vimraCardCount; ++slot) {
    for (int start = 0; start < 4; ++start) {
      // A shuffled start order.
      for (int i = vimraCardCount - 1; i > 0; --i) {
        game->cards->ChangeVertexArray(size_t(i), size_t(generator() % unsigned(i + 1)));
      }
      StartTrick();
      unsigned texture = game->cards->GetVertexArray(size_t(slot))->GetTextureID();
      for (int answer = 0; answer < 3; ++answer) Answer(texture);
      ASSERT_EQ(game->state, StateToReveal);
      EXPECT_EQ(SlotOfTexture(game->cards, texture), 10) << "slot " << slot << " start " << start;
      EXPECT_EQ(game->pendingOrder, nullptr);
      ExpectPermutation();
    }
  }
}

TEST_F(TrickTest, ShownSwapsAreAppliedAndUndoneBeforeTheGather) {
  srand(7);
  StartTrick();
  int swapsSeen = 0;
  for (int answer = 0; answer < 2; ++answer) {
    game->chosenRow = 1 + answer;
    game->AdvanceState();
    ASSERT_EQ(game->state, StateGather);
    ASSERT_NE(game->pendingOrder, nullptr);
    std::vector<unsigned> pending = TexturesOf(game->pendingOrder);
    game->AdvanceState();  // ApplyDeal
    ASSERT_EQ(game->pendingOrder, nullptr);
    // The dealt order is the pending one with the middle card of each row
    // shown at a random place of its row.
    std::vector<unsigned> shown = pending;
    for (int r = 0; r < 3; ++r) {
      ASSERT_GE(game->shownSwap[r], 7 * r);
      ASSERT_LT(game->shownSwap[r], 7 * r + 7);
      std::swap(shown[size_t(7 * r + 3)], shown[size_t(game->shownSwap[r])]);
      if (game->shownSwap[r] != 7 * r + 3) ++swapsSeen;
    }
    EXPECT_EQ(TexturesOf(game->cards), shown);
    FinishDeal();

    // The next gather starts from the unswapped order.
    std::vector<unsigned> unswapped = shown;
    for (int r = 0; r < 3; ++r) {
      std::swap(unswapped[size_t(7 * r + 3)], unswapped[size_t(game->shownSwap[r])]);
    }
    EXPECT_EQ(unswapped, pending);
    int order[vimraCardCount];
    vimraGatherOrder(3, order);
    game->GatherByRow(3);
    EXPECT_EQ(TexturesOf(game->cards), unswapped);
    std::vector<unsigned> expected;
    for (int s = 0; s < vimraCardCount; ++s) expected.push_back(unswapped[size_t(order[s])]);
    EXPECT_EQ(TexturesOf(game->pendingOrder), expected);
    // Show the swaps again, as they were before this check.
    for (int r = 0; r < 3; ++r) {
      game->cards->ChangeVertexArray(size_t(7 * r + 3), size_t(game->shownSwap[r]));
    }
    EXPECT_EQ(TexturesOf(game->cards), shown);
  }
  // With six rows drawn at random, at least one card was really moved.
  EXPECT_GT(swapsSeen, 0);
}

TEST_F(TrickTest, FinalDealDrawsSwapsWithoutShowingThem) {
  srand(11);
  unsigned texture = game->cards->GetVertexArray(15)->GetTextureID();
  StartTrick();
  Answer(texture);
  Answer(texture);
  // Third answer: gather and deal at once, no swap applied.
  int slot = SlotOfTexture(game->cards, texture);
  game->chosenRow = RowOfSlot(slot);
  game->AdvanceState();
  ASSERT_EQ(game->state, StateToReveal);
  EXPECT_EQ(game->cards->GetVertexArray(10)->GetTextureID(), texture);
  EXPECT_TRUE(game->starsVisible);
}

TEST_F(TrickTest, SecondTrickStillFindsTheCard) {
  for (int seed = 1; seed <= 40; ++seed) {
    srand(unsigned(seed));
    unsigned first = game->cards->GetVertexArray(size_t(seed % 21))->GetTextureID();
    PlayTrick(first);
    ASSERT_EQ(SlotOfTexture(game->cards, first), 10);
    // The reveal ends and the ring is up again; the swaps drawn by the final
    // deal are still pending and are "undone" by the next gather.
    game->state = StateReveal;
    game->AdvanceState();
    ASSERT_EQ(game->state, StateRevealEnd);
    unsigned second = game->cards->GetVertexArray(size_t((seed * 7) % 21))->GetTextureID();
    PlayTrick(second);
    EXPECT_EQ(SlotOfTexture(game->cards, second), 10) << "seed " << seed;
    ExpectPermutation();
  }
}

TEST_F(TrickTest, RebuildingTheDeckDropsAPendingOrder) {
  StartTrick();
  game->chosenRow = 2;
  game->AdvanceState();
  ASSERT_EQ(game->state, StateGather);
  ASSERT_NE(game->pendingOrder, nullptr);
  // Escape and a quality switch in the menu rebuild the deck mid-gather.
  game->BuildDeck();
  EXPECT_EQ(game->pendingOrder, nullptr);
  ASSERT_NE(game->cards, nullptr);
  ASSERT_EQ(game->cards->Length(), size_t(vimraCardCount));
  kxVertexArray* before[vimraCardCount];
  for (int i = 0; i < vimraCardCount; ++i) before[i] = game->cards->GetVertexArray(size_t(i));
  game->AdvanceState();  // ApplyDeal with nothing pending
  for (int i = 0; i < vimraCardCount; ++i) {
    EXPECT_EQ(game->cards->GetVertexArray(size_t(i)), before[i]);
    EXPECT_EQ(game->cards->GetVertexArray(size_t(i))->GetScale(), 5.0f);
  }
}

TEST_F(TrickTest, CardsKeepTheirScreenPositionsAcrossADeal) {
  StartTrick();
  game->chosenRow = 1;
  game->AdvanceState();
  ASSERT_EQ(game->state, StateGather);
  // Give every card a position that names it.
  for (int i = 0; i < vimraCardCount; ++i) {
    unsigned id = game->cards->GetVertexArray(size_t(i))->GetTextureID();
    game->currentPositions[i][0] = float(id);
    game->currentPositions[i][1] = 0.0f;
    game->currentPositions[i][2] = 0.0f;
  }
  game->dealCount = 3;  // no shown swaps: positions only follow the cards
  game->ApplyDeal();
  for (int i = 0; i < vimraCardCount; ++i) {
    EXPECT_EQ(game->currentPositions[i][0],
              float(game->cards->GetVertexArray(size_t(i))->GetTextureID()))
        << "slot " << i;
  }
}

TEST_F(TrickTest, ADealOrderWithoutAllItsSlotsLeavesTheCardsDealt) {
  // What a gather leaves when the order cannot be given its 21 slots: none,
  // or fewer than the deck has.
  for (size_t slots : {size_t(0), size_t(20)}) {
    StartTrick();
    game->chosenRow = 2;
    game->AdvanceState();
    ASSERT_EQ(game->state, StateGather);
    delete game->pendingOrder;
    game->pendingOrder = new kxGeometry();
    game->pendingOrder->SetClearOnDestroy(false);
    game->pendingOrder->SetSize(slots);
    for (size_t i = 0; i < slots; ++i) {
      game->pendingOrder->InsertVertexArray(i, game->cards->GetVertexArray(i));
    }
    std::vector<unsigned> before = TexturesOf(game->cards);
    game->AdvanceState();  // ApplyDeal
    EXPECT_EQ(game->state, StateDeal);
    EXPECT_EQ(game->pendingOrder, nullptr);
    ASSERT_EQ(game->cards->Length(), size_t(vimraCardCount));
    for (int i = 0; i < vimraCardCount; ++i) {
      EXPECT_NE(game->cards->GetVertexArray(size_t(i)), nullptr) << slots << " slots, slot " << i;
    }
    EXPECT_EQ(TexturesOf(game->cards), before) << slots << " slots";
    ExpectPermutation();
    // The trick goes on from there.
    FinishDeal();
  }
}

}  // namespace
