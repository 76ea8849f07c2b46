// Construction, the per-frame dispatch and the one place the state changes.
// The other aspects of vimraGame live in the vimraGame*.cpp files next to
// this one (the header lists them).
#include "vimraGame.h"

#include <SDL.h>

#include <cstdlib>
#include <ctime>

#include "graphics/kxTransform.h"
#include "vimraMotion.h"
#include "vimraStartupError.h"

vimraGame::vimraGame()
    : kxSDLWrapper(1280, 720, true, false),
      resources(nullptr),
      music(nullptr),
      sampler(nullptr),
      arialFont(nullptr),
      smallFont(nullptr),
      cards(nullptr),
      pendingOrder(nullptr),
      background(nullptr),
      stars(nullptr),
      clouds(nullptr),
      messages(nullptr),
      licenses(nullptr),
      howToPlay(nullptr),
      blueButton(nullptr),
      greenButton(nullptr),
      redButton(nullptr),
      state(StateMenu),
      dealCount(0),
      chosenRow(0),
      shownSwap{3, 10, 17},
      cornerClicked(false),
      language(0),
      highQuality(true),
      musicOn(true),
      hintsOn(true),
      scrollStart(0),
      musicVolume(64),
      sampleVolume(64),
      gridPositions{},
      ringPositions{},
      currentPositions{},
      targetPositions{},
      revealPositions{},
      starPositions{},
      starAngles{},
      pivotZ(-5.0f),
      spinZ(-5.0f),
      pulseCounter(0),
      pulseGrowing(true),
      gatherCounter(0),
      dealCounter(0),
      revealCounter(0),
      returnCounter(0),
      revealScale(5.0f),
      revealAngle{0.0f, 0.0f, 90.0f},
      scaleStep(0.0f),
      camStep{},
      camAngleStep{},
      starsVisible(false),
      cardsCullable(false),
      rowY(0.0f),
      starCounter(0),
      starTimer(0),
      starAlpha(0.0f),
      emptyLine(u""),
      windowReady(false),
      initFailure(ifNone),
      screenClearedAt(0),
      screenCleared(false),
      handlingClick(false),
      shownScreen(ssNone),
      hintLine(mlHintStart),
      uiScale(0.0f),
      buttonDensity(-1),
      seedFixed(false),
      fixedSeed(0) {
  srand(ShuffleSeed());
  vimraPose_s menu = vimraMenuPose;
  SetCamPosition(menu.position);
  SetCamAngle(menu.angle);
  FillGridPositions();
  FillRingPositions();
  LoadSettings();
}

void vimraGame::SetSeed(unsigned int seed) {
  seedFixed = true;
  fixedSeed = seed;
  srand(seed);
  kxSeedRandom(seed);
}

unsigned int vimraGame::ShuffleSeed() const {
  return seedFixed ? fixedSeed : unsigned(time(nullptr));
}

vimraGame::~vimraGame() {
  // After a failed start OnBeforeClose never runs; what OnAfterInit had made
  // by then is released here, while the frame's GL context still exists.
  ReleaseAssets();
}

bool vimraGame::OnBeforeInit() {
  if (vimraIsBlindVideoDriver(SDL_GetCurrentVideoDriver())) {
    initFailure = ifNoDisplay;
    return false;
  }
  windowReady = true;
  return true;
}

void vimraGame::OnBeforeClose() {
  SaveSettings();
  ReleaseAssets();
}

void vimraGame::EnterState(TVimraState next) {
  state = next;
}

void vimraGame::Render() {
  // The pose drawn is the one from before this frame's update; moves made by
  // the update show in the next frame.
  float position[3];
  float angle[3];
  GetCamPosition(position);
  GetCamAngle(angle);
  if (cards != nullptr && stars != nullptr) {
    switch (state) {
      case StateRing:
      case StateMenu:
        UpdateRing();
        break;
      case StateAwaitRow:
        UpdatePulse();
        break;
      case StateGather:
        UpdateGather();
        break;
      case StateDeal:
        UpdateDeal();
        break;
      case StateToReveal:
        UpdateToReveal();
        break;
      case StateReveal:
        UpdateReveal();
        break;
      case StateRevealEnd:
        UpdateRevealEnd();
        break;
      case StateBackToMenu:
        UpdateBackToMenu();
        break;
      default:
        break;
    }
  }
  DrawScene(position, angle);
}
