// The trick: AdvanceState performs every transition out of a state, and the
// cards are gathered by the answered row and dealt again.
#include <cstdlib>
#include <new>

#include "graphics/kxGeometry.h"
#include "graphics/kxTransform.h"
#include "vimraGame.h"

void vimraGame::AdvanceState() {
  switch (state) {
    case StateRing:
      EnterState(StateGather);
      dealCount = 0;
      PrepareGather();
      PlayChoiceSound();
      SetHint(mlHintRow);
      break;
    case StateAwaitRow:
      starsVisible = true;
      PlaceRowStars();
      if (dealCount < 3) {
        EnterState(StateGather);
        GatherByRow(chosenRow);
        SetHint(mlHintRow);
        PrepareGather();
      } else {
        EnterState(StateToReveal);
        SetHint(mlHintReveal);
        PrepareReveal();
      }
      break;
    case StateGather:
      EnterState(StateDeal);
      ApplyDeal();
      dealCounter = 0;
      break;
    case StateDeal:
      // The deal animation has counted the deal already.
      EnterState(StateAwaitRow);
      break;
    case StateReveal:
      EnterState(StateRevealEnd);
      SetHint(mlHintStart);
      PrepareRevealEnd();
      PlayChoiceSound();
      break;
    default:
      break;
  }
}

void vimraGame::GatherByRow(int row) {
  if (cards == nullptr || cards->Length() != size_t(vimraCardCount)) return;
  // Undo the swaps the last deal showed.
  cards->ChangeVertexArray(3, size_t(shownSwap[0]));
  cards->ChangeVertexArray(10, size_t(shownSwap[1]));
  cards->ChangeVertexArray(17, size_t(shownSwap[2]));

  // An order built earlier and never dealt is replaced.
  delete pendingOrder;
  pendingOrder = new (std::nothrow) kxGeometry();
  if (pendingOrder == nullptr) return;
  pendingOrder->SetClearOnDestroy(false);
  pendingOrder->SetSize(vimraCardCount);
  if (pendingOrder->Length() != size_t(vimraCardCount)) {
    // Out of memory: the cards are dealt again in the order they have.
    delete pendingOrder;
    pendingOrder = nullptr;
    return;
  }
  int order[vimraCardCount];
  vimraGatherOrder(row, order);
  for (int slot = 0; slot < vimraCardCount; ++slot) {
    pendingOrder->InsertVertexArray(slot, cards->GetVertexArray(order[slot]));
  }
}

void vimraGame::ApplyDeal() {
  if (pendingOrder == nullptr || cards == nullptr) return;
  if (pendingOrder->Length() != size_t(vimraCardCount) ||
      cards->Length() != size_t(vimraCardCount)) {
    // An order without a slot for every card would drop cards from the deck;
    // the cards keep the order they have.
    delete pendingOrder;
    pendingOrder = nullptr;
    return;
  }
  shownSwap[0] = rand() % 7;
  shownSwap[1] = 7 + rand() % 7;
  shownSwap[2] = 14 + rand() % 7;
  // Before the last deal the middle card of each row is shown at a random
  // place of its own row; the next gather undoes it.
  if (dealCount < 3) {
    for (int i = 0; i < 3; ++i) {
      pendingOrder->ChangeVertexArray(size_t(7 * i + 3), size_t(shownSwap[i]));
      ChangeVect(currentPositions[7 * i + 3], currentPositions[shownSwap[i]]);
    }
  }
  // Each card keeps the screen position it had: walk the new order and bring
  // every card's position, with the card, to its new slot.
  kxVertexArray* old[vimraCardCount];
  for (int i = 0; i < vimraCardCount; ++i) old[i] = cards->GetVertexArray(i);
  for (int i = 0; i < vimraCardCount; ++i) {
    kxVertexArray* wanted = pendingOrder->GetVertexArray(i);
    for (int j = i; j < vimraCardCount; ++j) {
      if (old[j] == wanted) {
        if (j != i) {
          ChangeVect(currentPositions[i], currentPositions[j]);
          old[j] = old[i];
          old[i] = wanted;
        }
        break;
      }
    }
  }
  cards->Clear(false);
  cards->SetSize(vimraCardCount);
  for (int i = 0; i < vimraCardCount; ++i) {
    cards->InsertVertexArray(i, pendingOrder->GetVertexArray(i));
  }
  delete pendingOrder;
  pendingOrder = nullptr;
}
