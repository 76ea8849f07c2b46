// The motion of the cards and the camera: one update per state, called once
// per frame by Render, and the moves that AdvanceState and Escape prepare.
// Every update is one step of the 60 frames per second loop.
#include <cmath>

#include "graphics/kxGeometry.h"
#include "graphics/kxTransform.h"
#include "graphics/kxVertexArray.h"
#include "vimraGame.h"
#include "vimraLayout.h"
#include "vimraMotion.h"

namespace {

// The ring idles half a degree per frame about the vertical axis; the pile
// of a gather and the reveal ring tumble a degree per frame about all three.
const vimraTurn_s kRingTurn[1] = {{'y', 0.5f}};
const vimraTurn_s kPileTumble[3] = {{'y', 1.0f}, {'z', 1.0f}, {'x', 1.0f}};
const vimraTurn_s kRevealTumble[3] = {{'x', 1.0f}, {'y', 1.0f}, {'z', 1.0f}};

// The revealed card is always the one dealt to this slot.
const size_t kChosenSlot = 10;
// Frames a deal takes to ease the cards onto the table.
const int kDealFrames = 60;
// Scale of a card at rest.
const float kCardScale = 5.0f;

// The idle ring spaces all the cards evenly round the circle; the reveal
// ring spaces the twenty that circle the chosen card.
const float kRingDegrees = 360.0f / float(vimraCardCount);
const float kRevealRingDegrees = 360.0f / float(vimraCardCount - 1);
const float kRingRadius = 10.0f;

// Lays the cards on a horizontal ring about (0, 0, pivotZ), clockwise from
// the top, `step` degrees apart; slot `centre` (none when negative) stays
// at the pivot and takes no place on the ring.
void LayRing(float (*p)[3], float step, int centre, float pivotZ) {
  float a = 0.0f;
  for (int slot = 0; slot < vimraCardCount; ++slot) {
    if (slot == centre) {
      p[slot][0] = p[slot][1] = p[slot][2] = 0.0f;
      continue;
    }
    float b = a * vimraMinusPi / 180.0f;
    p[slot][0] = kRingRadius * sinf(b);
    p[slot][1] = kRingRadius * cosf(b);
    p[slot][2] = 0.0f;
    a += step;
  }
  RotateMatrixX(p, 90.0f, vimraCardCount);
  MoveMatrix(p, 0.0f, 0.0f, pivotZ, vimraCardCount);
}

// Brings the chosen card back to its resting size, scaleStep at a time.
void ShrinkChosen(kxVertexArray* chosen, float scaleStep) {
  if (chosen == nullptr) return;
  if (chosen->GetScale() > kCardScale) {
    chosen->SetScale(chosen->GetScale() + scaleStep);
  } else {
    chosen->SetScale(kCardScale);
  }
}

}  // namespace

void vimraGame::FillGridPositions() {
  // Slot 7r + k: row r (0 bottom) and column k (0 left).
  for (int r = 0; r < 3; ++r) {
    for (int k = 0; k < 7; ++k) {
      gridPositions[7 * r + k][0] = -7.5f + 2.5f * float(k);
      gridPositions[7 * r + k][1] = 2.5f * float(r) - 2.5f;
      gridPositions[7 * r + k][2] = 0.0f;
    }
  }
}

void vimraGame::FillRingPositions() {
  LayRing(ringPositions, kRingDegrees, -1, pivotZ);
}

// ---------------------------------------------------------------------------
// Updates, one per state

void vimraGame::UpdateRing() {
  vimraSpinAbout(ringPositions, vimraCardCount, pivotZ, kRingTurn, 1);
  cards->SetPositions(ringPositions);
}

void vimraGame::UpdatePulse() {
  // The table breathes in and out; the scaling accumulates in gridPositions.
  float factor;
  if (pulseCounter < 20 && pulseGrowing) {
    ++pulseCounter;
    factor = 1.002f;
  } else {
    pulseGrowing = false;
    --pulseCounter;
    pulseGrowing = pulseCounter < 0;
    factor = 0.998f;
  }
  ScaleMatrix(gridPositions, factor, vimraCardCount);
  cards->SetPositions(gridPositions);
}

void vimraGame::UpdateGather() {
  if (dealCount == 0) {
    // The first gather of a trick tumbles the ring away from the camera
    // while the camera flies to the table view.
    MoveMatrix(currentPositions, 0.0f, 0.0f, -0.1f, vimraCardCount);
    vimraSpinAbout(currentPositions, vimraCardCount, spinZ, kPileTumble, 3);
    spinZ -= 0.1f;
    cards->SetPositions(currentPositions);
    float position[3];
    float angle[3];
    GetCamPosition(position);
    GetCamAngle(angle);
    position[0] -= camStep[0];
    position[1] -= camStep[1];
    position[2] += camStep[2];
    angle[1] -= camAngleStep[0];
    angle[2] -= camAngleStep[1];
    ++gatherCounter;
    if (gatherCounter > vimraFlightFrames) {
      position[0] = 0.0f;
      position[1] = 0.0f;
      position[2] = vimraTableCameraDepth(GetAspect());
      angle[1] = 0.0f;
      angle[2] = 0.0f;
    }
    SetCamPosition(position);
    SetCamAngle(angle);
    if (gatherCounter > vimraFlightFrames) {
      CopyMatrix(targetPositions, currentPositions, vimraCardCount);
      AdvanceState();
    }
    return;
  }
  if (starsVisible) {
    UpdateRowStars();
    return;
  }
  vimraSpinAbout(targetPositions, vimraCardCount, spinZ, kPileTumble, 3);
  vimraEase(currentPositions, targetPositions, vimraCardCount);
  cards->SetPositions(currentPositions);
  ++gatherCounter;
  if (gatherCounter > vimraFlightFrames) AdvanceState();
}

void vimraGame::UpdateDeal() {
  vimraEase(currentPositions, gridPositions, vimraCardCount);
  cards->SetPositions(currentPositions);
  ++dealCounter;
  if (dealCounter > kDealFrames) {
    ++dealCount;
    AdvanceState();
  }
}

void vimraGame::UpdateToReveal() {
  if (starsVisible) {
    UpdateRowStars();
    return;
  }
  vimraEase(currentPositions, revealPositions, vimraCardCount);
  float position[3];
  float angle[3];
  GetCamPosition(position);
  GetCamAngle(angle);
  for (int k = 0; k < 3; ++k) position[k] -= camStep[k];
  angle[2] -= camAngleStep[1];
  SetCamPosition(position);
  SetCamAngle(angle);
  cards->SetPositions(currentPositions);
  if (revealCounter > vimraFlightFrames) {
    revealScale = kCardScale;
    revealAngle[0] = revealAngle[1] = revealAngle[2] = 0.0f;
    ScatterStars();
    starsVisible = true;
    starAlpha = 0.0f;
    EnterState(StateReveal);  // the move to the reveal is done
  }
  ++revealCounter;
}

void vimraGame::UpdateReveal() {
  vimraSpinAbout(revealPositions, vimraCardCount, pivotZ, kRevealTumble, 3);
  cards->SetPositions(revealPositions);
  if (revealScale < 20.0f) revealScale += 0.1f;
  kxVertexArray* chosen = cards->GetVertexArray(kChosenSlot);
  if (chosen != nullptr) {
    chosen->SetScale(revealScale);
    chosen->SetAngle(revealAngle);
  }
  revealAngle[0] += 1.0f;
  revealAngle[2] += 1.0f;
  if (starAlpha < 1.0f) {
    starAlpha += 0.01f;
    ScaleMatrix(starPositions, 1.001f, kStarCount);
    for (int i = 0; i < kStarCount; ++i) stars->GetVertexArray(i)->SetAlpha(starAlpha);
  }
  RotateMatrixZ(starPositions, starAngles, kStarCount);
  stars->SetPositions(starPositions);
  if (starTimer > 300) {
    RandomMatrix(starAngles, -1.0f, -3.0f, kStarCount);
    starTimer = 0;
  }
  ++starTimer;
}

void vimraGame::UpdateRevealEnd() {
  vimraSpinAbout(ringPositions, vimraCardCount, pivotZ, kRingTurn, 1);
  vimraEase(currentPositions, ringPositions, vimraCardCount);
  float position[3];
  float angle[3];
  GetCamPosition(position);
  GetCamAngle(angle);
  position[0] += camStep[0];
  position[1] -= camStep[1];
  position[2] -= camStep[2];
  angle[1] -= camAngleStep[0];
  angle[2] -= camAngleStep[1];
  SetCamPosition(position);
  SetCamAngle(angle);
  kxVertexArray* chosen = cards->GetVertexArray(kChosenSlot);
  ShrinkChosen(chosen, scaleStep);
  cards->SetPositions(currentPositions);
  if (starAlpha > 0.0f) starAlpha -= 0.005f;
  for (int i = 0; i < kStarCount; ++i) stars->GetVertexArray(i)->SetAlpha(starAlpha);
  ScaleMatrix(starPositions, 1.05f, kStarCount);
  RotateMatrixZ(starPositions, -2.0f, kStarCount);
  stars->SetPositions(starPositions);
  if (returnCounter > vimraFlightFrames) {
    revealScale = kCardScale;
    if (chosen != nullptr) chosen->SetScale(kCardScale);
    revealAngle[0] = revealAngle[1] = revealAngle[2] = 0.0f;
    EnterState(StateRing);  // back on the ring; the next click starts a trick
    starsVisible = false;
    CopyMatrix(ringPositions, currentPositions, vimraCardCount);
  }
  ++returnCounter;
}

void vimraGame::UpdateBackToMenu() {
  float position[3];
  float angle[3];
  GetCamPosition(position);
  GetCamAngle(angle);
  for (int k = 0; k < 3; ++k) position[k] += camStep[k];
  angle[1] += camAngleStep[0];
  angle[2] += camAngleStep[1];
  SetCamPosition(position);
  SetCamAngle(angle);
  // The ring does not turn meanwhile.
  vimraEase(currentPositions, ringPositions, vimraCardCount);
  cards->SetPositions(currentPositions);
  kxVertexArray* chosen = cards->GetVertexArray(kChosenSlot);
  ShrinkChosen(chosen, scaleStep);
  if (returnCounter > vimraFlightFrames) {
    revealScale = kCardScale;
    revealAngle[0] = revealAngle[1] = revealAngle[2] = 0.0f;
    if (chosen != nullptr) {
      chosen->SetScale(kCardScale);
      chosen->SetAngle(revealAngle);
    }
    EnterState(StateMenu);  // the menu view is reached
  }
  ++returnCounter;
}

void vimraGame::UpdateRowStars() {
  // The helix rolls about its row while it fades; when it is gone the sound
  // marks the start of the gather.
  MoveMatrix(starPositions, 0.0f, -rowY, 0.0f, kStarCount);
  RotateMatrixX(starPositions, -10.0f, kStarCount);
  MoveMatrix(starPositions, 0.0f, rowY, 0.0f, kStarCount);
  if (stars != nullptr) stars->SetPositions(starPositions);
  if (starCounter > 60) {
    starsVisible = false;
    PlayChoiceSound();
  }
  if (stars != nullptr) {
    for (int k = 0; k < kStarCount; ++k) {
      kxVertexArray* star = stars->GetVertexArray(k);
      star->SetAlpha(star->GetColor()->a - 0.016f);
    }
  }
  ++starCounter;
}

// ---------------------------------------------------------------------------
// Moves prepared on entering a state

void vimraGame::PrepareGather() {
  if (dealCount != 0) {
    gatherCounter = 0;
    return;
  }
  // The first gather flies the camera from wherever it is to the table view.
  CopyMatrix(currentPositions, ringPositions, vimraCardCount);
  spinZ = pivotZ;
  float p[3];
  float a[3];
  GetCamPosition(p);
  GetCamAngle(a);
  camStep[0] = p[0] / vimraFlightSteps;
  camStep[1] = p[1] / vimraFlightSteps;
  camStep[2] = (vimraTableCameraDepth(GetAspect()) - p[2]) / vimraFlightSteps;
  camAngleStep[0] = a[1] / vimraFlightSteps;
  camAngleStep[1] = a[2] / vimraFlightSteps;
  gatherCounter = 0;
}

void vimraGame::PrepareReveal() {
  GatherByRow(chosenRow);
  ApplyDeal();
  // The chosen card at the centre of the ring, the other twenty around it.
  LayRing(revealPositions, kRevealRingDegrees, int(kChosenSlot), pivotZ);
  float p[3];
  GetCamPosition(p);
  camStep[0] = vimraRevealStepX;
  camStep[1] = vimraRevealStepY;
  camStep[2] = (p[2] - (1.0f / GetAspect()) * vimraRevealDepth) / vimraFlightSteps;
  camAngleStep[1] = vimraRevealStepAngleZ;
  revealCounter = 0;
}

void vimraGame::PrepareRevealEnd() {
  kxVertexArray* chosen = cards != nullptr ? cards->GetVertexArray(kChosenSlot) : nullptr;
  scaleStep = chosen != nullptr ? (kCardScale - chosen->GetScale()) / 15.0f : 0.0f;
  revealAngle[0] = revealAngle[1] = revealAngle[2] = 0.0f;
  if (chosen != nullptr) chosen->SetAngle(revealAngle);
  // Toward the menu view's height and angles at the reveal-end depth.
  // UpdateRevealEnd adds the x step where it subtracts the others, so from
  // an x near 0 the sum below heads x for the menu's x as well.
  float p[3];
  float a[3];
  GetCamPosition(p);
  GetCamAngle(a);
  const vimraPose_s menu = vimraMenuPoseFor(GetAspect(), pivotZ);
  // A window narrower than the ring was framed for ends at the menu view
  // itself: the reveal-end depth alone would leave the ring low and cut off.
  const float depth = GetAspect() < vimraRingFitAspect ? menu.position[2]
                                                       : (1.0f / GetAspect()) * vimraRevealEndDepth;
  camStep[0] = (p[0] + menu.position[0]) / vimraFlightSteps;
  camStep[1] = (p[1] - menu.position[1]) / vimraFlightSteps;
  camStep[2] = (p[2] - depth) / vimraFlightSteps;
  camAngleStep[0] = (a[1] - menu.angle[1]) / vimraFlightSteps;
  camAngleStep[1] = (a[2] - menu.angle[2]) / vimraFlightSteps;
  CopyMatrix(currentPositions, revealPositions, vimraCardCount);
  returnCounter = 0;
}

void vimraGame::PrepareBackToMenu() {
  const vimraPose_s menu = vimraMenuPoseFor(GetAspect(), pivotZ);
  float p[3];
  float a[3];
  GetCamPosition(p);
  GetCamAngle(a);
  camStep[0] = (menu.position[0] - p[0]) / vimraFlightSteps;
  camStep[1] = (menu.position[1] - p[1]) / vimraFlightSteps;
  camStep[2] = (menu.position[2] - p[2]) / vimraFlightSteps;
  camAngleStep[0] = (menu.angle[1] - a[1]) / vimraFlightSteps;
  camAngleStep[1] = (menu.angle[2] - a[2]) / vimraFlightSteps;
  kxVertexArray* chosen = cards != nullptr ? cards->GetVertexArray(kChosenSlot) : nullptr;
  scaleStep = chosen != nullptr ? (kCardScale - chosen->GetScale()) / 15.0f : 0.0f;
  // From where the cards are drawn, which may be mid-move.
  if (cards != nullptr) {
    for (int slot = 0; slot < vimraCardCount; ++slot) {
      kxVertexArray* card = cards->GetVertexArray(slot);
      if (card != nullptr) card->GetCenter(currentPositions[slot]);
    }
  }
  revealAngle[0] = revealAngle[1] = revealAngle[2] = 0.0f;
  if (chosen != nullptr) chosen->SetAngle(revealAngle);
  returnCounter = 0;
}

void vimraGame::RestAtMenuView() {
  vimraPose_s menu = vimraMenuPoseFor(GetAspect(), pivotZ);
  SetCamPosition(menu.position);
  SetCamAngle(menu.angle);
}
