#include "vimraGame.h"

#include <GL/glew.h>
#include <SDL.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <new>

#include "audio/kxMusic.h"
#include "audio/kxSampler.h"
#include "data/kxMemoryBlock.h"
#include "data/kxResource.h"
#include "data/kxStringArray.h"
#include "graphics/kxFont.h"
#include "graphics/kxGeometry.h"
#include "graphics/kxTexturedBox.h"
#include "graphics/kxTransform.h"
#include "graphics/kxVertexArray.h"
#include "gui/kxGIULabel.h"
#include "gui/kxGUIButton.h"
#include "gui/kxGUIButtonStates.h"
#include "gui/kxGUIManager.h"
#include "gui/kxGUIObject.h"
#include "gui/kxGUIPanel.h"
#include "gui/kxGUIPicture.h"
#include "gui/kxGUITextScroll.h"
#include "gui/kxGUITextViewer.h"
#include "vimraColorTable.h"
#include "vimraLanguages.h"
#include "vimraLayout.h"
#include "vimraSettings.h"

namespace {

const char* const kPackFile = "vimradata.bin";
const char* const kSettingsFile = "vimraconfig.bin";
const kxWChar* const kVersion = u"1.1.209";

// Menu camera pose.
const float kMenuCamPosition[3] = {-4.056069f, -7.2544f, 11.639397f};
const float kMenuCamAngle[3] = {0.0f, 22.209955f, -34.696114f};

const float kMinusPi = -3.1415927f;

struct CloudPlacement {
  float width, height;
  const char* key;
  float x, y, z;
};
const CloudPlacement kClouds[vimraGame::kCloudCount] = {
    {16.0f, 8.0f, "cloud01", -10.0f, 0.0f, -9.0f},
    {9.0f, 5.0f, "cloud02", 0.0f, -5.0f, -7.0f},
    {12.0f, 6.0f, "cloud03", 5.0f, 0.0f, -5.0f},
};

// P += (Q - P) / 10 for every coordinate.
void Ease(float (*p)[3], float (*q)[3], int n) {
  for (int i = 0; i < n; ++i) {
    for (int k = 0; k < 3; ++k) p[i][k] += (q[i][k] - p[i][k]) / 10.0f;
  }
}

// Turns a point list about the depth axis line through (0, 0, c).
void SpinAbout(float (*p)[3], int n, float c, char axis1, float d1, char axis2, float d2,
               char axis3, float d3) {
  MoveMatrix(p, 0.0f, 0.0f, -c, n);
  const char axes[3] = {axis1, axis2, axis3};
  const float degrees[3] = {d1, d2, d3};
  for (int i = 0; i < 3; ++i) {
    if (axes[i] == 'x') RotateMatrixX(p, degrees[i], n);
    if (axes[i] == 'y') RotateMatrixY(p, degrees[i], n);
    if (axes[i] == 'z') RotateMatrixZ(p, degrees[i], n);
  }
  MoveMatrix(p, 0.0f, 0.0f, c, n);
}

void AppendBackdropVertices(kxVertexArray* v) {
  v->AppendVertex(24.0f, 0.0f, 0.0f);
  v->AppendVertex(0.0f, 0.0f, 0.0f);
  v->AppendVertex(0.0f, 14.0f, 0.0f);
  v->AppendVertex(0.0f, 14.0f, 0.0f);
  v->AppendVertex(24.0f, 14.0f, 0.0f);
  v->AppendVertex(24.0f, 0.0f, 0.0f);
}

void AppendBackdropColours(kxVertexArray* v) {
  const float* bottom = vimraBackdropColor(bcBottom);
  const float* top = vimraBackdropColor(bcTop);
  const float* order[6] = {bottom, bottom, top, top, top, bottom};
  for (const float* c : order) v->AppendColor(c[0], c[1], c[2], 1.0f);
}

}  // namespace

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
      rowY(0.0f),
      starCounter(0),
      starTimer(0),
      starAlpha(0.0f),
      emptyLine(u""),
      windowReady(false),
      initFailure(ifNone),
      screenClearedAt(0),
      screenCleared(false),
      handlingClick(false) {
  srand(unsigned(time(nullptr)));
  float position[3] = {kMenuCamPosition[0], kMenuCamPosition[1], kMenuCamPosition[2]};
  float angle[3] = {kMenuCamAngle[0], kMenuCamAngle[1], kMenuCamAngle[2]};
  SetCamPosition(position);
  SetCamAngle(angle);
  FillGridPositions();
  FillRingPositions();
  LoadSettings();
}

vimraGame::~vimraGame() {
  // After a failed start OnBeforeClose never runs; what OnAfterInit had made
  // by then is released here, while the frame's GL context still exists.
  ReleaseAssets();
}

void vimraGame::FillGridPositions() {
  for (int r = 0; r < 3; ++r) {
    for (int k = 0; k < 7; ++k) {
      gridPositions[7 * r + k][0] = -7.5f + 2.5f * float(k);
      gridPositions[7 * r + k][1] = 2.5f * float(r) - 2.5f;
      gridPositions[7 * r + k][2] = 0.0f;
    }
  }
}

void vimraGame::FillRingPositions() {
  float a = 0.0f;
  for (int k = 0; k < vimraCardCount; ++k) {
    float b = a * kMinusPi / 180.0f;
    ringPositions[k][0] = 10.0f * sinf(b);
    ringPositions[k][1] = 10.0f * cosf(b);
    ringPositions[k][2] = 0.0f;
    a += 17.142857f;
  }
  RotateMatrixX(ringPositions, 90.0f, vimraCardCount);
  MoveMatrix(ringPositions, 0.0f, 0.0f, pivotZ, vimraCardCount);
}

// ---------------------------------------------------------------------------
// Settings

void vimraGame::LoadSettings() {
  musicVolume = 64;
  sampleVolume = 64;
  kxMemoryBlock* block = kxReadMemoryBlock(kSettingsFile);
  if (block == nullptr) return;
  vimraSettings settings;
  for (int k = 0; k < 3; ++k) {
    settings.bottom[k] = vimraBackdropColor(bcBottom)[k];
    settings.top[k] = vimraBackdropColor(bcTop)[k];
  }
  if (settings.Decode(block->data, block->size, vimraLanguageCount())) {
    language = settings.language;
    highQuality = settings.highQuality;
    musicOn = settings.musicOn;
    hintsOn = settings.hintsOn;
    musicVolume = settings.musicVolume;
    sampleVolume = settings.sampleVolume;
    for (int k = 0; k < 3; ++k) {
      vimraBackdropColor(bcBottom)[k] = settings.bottom[k];
      vimraBackdropColor(bcTop)[k] = settings.top[k];
    }
  }
  kxFreeMemoryBlock(block);
}

void vimraGame::SaveSettings() {
  vimraSettings settings;
  for (int k = 0; k < 3; ++k) {
    settings.bottom[k] = vimraBackdropColor(bcBottom)[k];
    settings.top[k] = vimraBackdropColor(bcTop)[k];
  }
  settings.language = language;
  settings.highQuality = highQuality;
  settings.musicOn = musicOn;
  settings.hintsOn = hintsOn;
  settings.musicVolume = music != nullptr ? music->GetVolume() : musicVolume;
  settings.sampleVolume = sampler != nullptr ? sampler->GetVolume() : sampleVolume;
  kxMemoryBlock* block = kxAllocMemoryBlock(vimraSettings::kFileSize);
  if (block == nullptr) return;
  settings.Encode(block->data);
  kxWriteMemoryBlock(kSettingsFile, block);
  kxFreeMemoryBlock(block);
}

// ---------------------------------------------------------------------------
// Assets

kxMemoryBlock* vimraGame::GetEntry(const char* key) {
  return resources != nullptr ? resources->Get(key) : nullptr;
}

kxMemoryBlock* vimraGame::GetQualityEntry(const char* key) {
  if (highQuality) return GetEntry(key);
  char name[64];
  snprintf(name, sizeof name, "%s_low", key);
  return GetEntry(name);
}

bool vimraGame::OnBeforeInit() {
  // Without a display SDL may still open a window on a driver that shows
  // nothing; a full-screen game there would run unseen and never end.
  const char* driver = SDL_GetCurrentVideoDriver();
  if (driver != nullptr && (strcmp(driver, "offscreen") == 0 || strcmp(driver, "dummy") == 0)) {
    initFailure = ifNoDisplay;
    return false;
  }
  windowReady = true;
  return true;
}

bool vimraGame::OnAfterInit() {
  initFailure = ifNone;
  resources = new (std::nothrow) kxResource();
  if (resources == nullptr || !resources->ReadFromFile(kPackFile)) {
    initFailure = ifPack;
    return false;
  }

  music = new (std::nothrow) kxMusic();
  if (music != nullptr) {
    kxMemoryBlock* block = GetEntry("bkgsnd03");
    if (block != nullptr) music->LoadFromCrunchedMemoryBlock(block);
    music->SetVolume(musicVolume);
    if (musicOn) music->Play();
  }

  BuildDeck();

  arialFont = new (std::nothrow) kxFont(ftTopDown);
  kxMemoryBlock* arial = GetEntry("arial");
  if (arialFont == nullptr || arial == nullptr || !arialFont->LoadFromCrunchedMemoryBlock(arial)) {
    initFailure = ifFontLarge;
    return false;
  }
  smallFont = new (std::nothrow) kxFont(ftTopDown);
  kxMemoryBlock* small = GetEntry("ss10");
  if (smallFont == nullptr || small == nullptr || !smallFont->LoadFromCrunchedMemoryBlock(small)) {
    initFailure = ifFontSmall;
    return false;
  }

  BuildBackground();
  BuildClouds();
  BuildStars();
  SetLanguage(language);

  sampler = new (std::nothrow) kxSampler();
  if (sampler != nullptr) {
    kxMemoryBlock* block = GetEntry("choicesnd02");
    if (block != nullptr) sampler->AppendSampleFromCrunchedMemoryBlock(block);
    sampler->SetVolume(sampleVolume);
  }

  blueButton = new (std::nothrow) kxGUIButtonStates(
      GetEntry("button_blue_passive"), GetEntry("button_blue_active"), GetEntry("button_blue_pushed"));
  greenButton = new (std::nothrow) kxGUIButtonStates(GetEntry("button_green_passive"),
                                                     GetEntry("button_green_active"),
                                                     GetEntry("button_green_pushed"));
  redButton = new (std::nothrow) kxGUIButtonStates(
      GetEntry("button_red_passive"), GetEntry("button_red_active"), GetEntry("button_red_pushed"));

  ShowMainMenu();
  SetupLighting();

  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glShadeModel(GL_SMOOTH);
  glEnable(GL_NORMALIZE);
  glDisable(GL_LIGHTING);
  return true;
}

void vimraGame::BuildDeck() {
  delete cards;
  cards = nullptr;
  // A pending order refers to the cards just deleted.
  delete pendingOrder;
  pendingOrder = nullptr;
  cards = new (std::nothrow) kxGeometry();
  if (cards == nullptr) return;

  kxVertexArray* first = nullptr;
  for (int i = 0; i < vimraCardCount; ++i) {
    kxVertexArray* card = cards->AppendVertexArray(4);
    if (card == nullptr) continue;
    card->SetMoveToCenter(true);
    if (i == 0) {
      first = card;
      kxMemoryBlock* mesh = GetQualityEntry("box");
      if (mesh != nullptr) card->LoadFromCrunchedMemoryBlock(mesh);
    } else if (first != nullptr) {
      card->AssignGeometry(first);
    }
    char key[32];
    snprintf(key, sizeof key, "texture_%d", i);
    kxMemoryBlock* picture = GetQualityEntry(key);
    if (picture != nullptr) card->TextureFromCrunchedMemoryBlock(picture);
    card->SetScale(5.0f);
  }
  cards->SetPositions(gridPositions);

  srand(unsigned(time(nullptr)));
  for (int i = 0; i < vimraCardCount; ++i) {
    int r = rand() % vimraCardCount;
    kxVertexArray* a = cards->GetVertexArray(i);
    kxVertexArray* b = cards->GetVertexArray(r);
    if (r != i && a != nullptr && b != nullptr) {
      unsigned int t = a->GetTextureID();
      a->SetTextureID(b->GetTextureID());
      b->SetTextureID(t);
    }
  }
}

void vimraGame::SetLanguage(int index) {
  if (index < 0 || index >= vimraLanguageCount()) index = 0;
  delete messages;
  delete licenses;
  delete howToPlay;
  messages = licenses = howToPlay = nullptr;
  const char* formats[3] = {"msg_%s", "licenses_%s", "howtoplay_%s"};
  kxStringArray** targets[3] = {&messages, &licenses, &howToPlay};
  for (int k = 0; k < 3; ++k) {
    char key[64];
    snprintf(key, sizeof key, formats[k], vimraLanguageTable[index].key);
    kxStringArray* lines = new (std::nothrow) kxStringArray();
    kxMemoryBlock* block = GetEntry(key);
    if (lines != nullptr && block != nullptr) lines->LoadFromCrunchedMemoryBlock(block);
    *targets[k] = lines;
  }
}

kxString& vimraGame::Message(int n) {
  if (messages != nullptr && n >= 0 && uint64_t(n) < messages->GetLinesCounf()) {
    return messages->GetLine(uint64_t(n));
  }
  return emptyLine;
}

void vimraGame::OnBeforeClose() {
  SaveSettings();
  ReleaseAssets();
}

void vimraGame::ReleaseAssets() {
  // The controls refer to the fonts, texts and button images released below.
  if (GetGUIManager() != nullptr) GetGUIManager()->Clear();
  delete arialFont;
  delete smallFont;
  delete pendingOrder;
  delete cards;
  delete background;
  delete stars;
  delete clouds;
  delete messages;
  delete licenses;
  delete howToPlay;
  delete sampler;
  delete blueButton;
  delete greenButton;
  delete redButton;
  delete resources;
  delete music;
  arialFont = smallFont = nullptr;
  pendingOrder = cards = stars = clouds = nullptr;
  background = nullptr;
  messages = licenses = howToPlay = nullptr;
  sampler = nullptr;
  blueButton = greenButton = redButton = nullptr;
  resources = nullptr;
  music = nullptr;
}

// ---------------------------------------------------------------------------
// Scene objects

void vimraGame::BuildBackground() {
  delete background;
  background = kxVertexArray::Create(4);
  if (background == nullptr) return;
  AppendBackdropVertices(background);
  AppendBackdropColours(background);
  background->CreateVBO();
  background->SetPosition(-12.0f, -6.0f, -10.0f);
}

void vimraGame::RecolourBackground() {
  if (background == nullptr) return;
  background->Clear();
  AppendBackdropVertices(background);
  float* bottom = vimraBackdropColor(bcBottom);
  float* top = vimraBackdropColor(bcTop);
  for (int k = 0; k < 3; ++k) bottom[k] = Randf(0.0f, 1.0f);
  for (int k = 0; k < 3; ++k) top[k] = Randf(0.0f, 1.0f);
  AppendBackdropColours(background);
  background->CreateVBO();
  background->SetPosition(-12.0f, -6.0f, -10.0f);
}

void vimraGame::BuildClouds() {
  if (clouds == nullptr) clouds = new (std::nothrow) kxGeometry();
  if (clouds == nullptr) return;
  for (const CloudPlacement& cloud : kClouds) {
    kxTexturedBox* box = kxTexturedBox::Create(cloud.width, cloud.height, false, tbpNormal);
    if (box == nullptr) continue;
    kxMemoryBlock* picture = GetQualityEntry(cloud.key);
    if (picture != nullptr) box->TextureFromCrunchedMemoryBlock(picture);
    box->SetPosition(cloud.x, cloud.y, cloud.z);
    clouds->AppendVertexArray(box);
  }
}

void vimraGame::BuildStars() {
  delete stars;
  stars = new (std::nothrow) kxGeometry();
  if (stars == nullptr) return;
  kxTexturedBox* first = nullptr;
  for (int i = 0; i < kStarCount; ++i) {
    float side = Randf(0.5f, 1.0f);
    kxTexturedBox* box = kxTexturedBox::Create(side, side, false, tbpFlipped);
    if (box == nullptr) {
      // Every slot must hold a star: the per-frame paths address all 50.
      delete stars;
      stars = nullptr;
      return;
    }
    if (i == 0) {
      first = box;
      kxMemoryBlock* picture = GetEntry("texture_star_01");
      if (picture != nullptr) box->TextureFromCrunchedMemoryBlock(picture);
    } else {
      float r = Randf(0.8f, 1.0f);
      float g = Randf(0.8f, 1.0f);
      float b = Randf(0.8f, 1.0f);
      box->SetColor(r, g, b, 1.0f);
      box->SetTextureID(first->GetTextureID());
    }
    stars->AppendVertexArray(box);
  }
  ScatterStars();
}

void vimraGame::ScatterStars() {
  for (int i = 0; i < kStarCount; ++i) {
    float v[3];
    v[0] = Randf(3.0f, 4.5f);
    v[1] = Randf(3.0f, 4.5f);
    v[2] = Randf(3.0f, 4.5f);
    float turnedY[3];
    float turnedX[3];
    RotateVectY(v, turnedY, Randf(0.0f, 6.28f));
    RotateVectX(turnedY, turnedX, Randf(0.0f, 6.28f));
    RotateVectZ(turnedX, starPositions[i], Randf(0.0f, 6.28f));
    starAngles[i] = Randf(-1.0f, -3.0f);
  }
  TranslateMatrix3f(starPositions, 0.0f, 0.0f, -5.0f, kStarCount);
  if (stars != nullptr) {
    for (int i = 0; i < kStarCount; ++i) stars->GetVertexArray(i)->SetAlpha(0.0f);
  }
  starTimer = 0;
  if (stars != nullptr) stars->SetPositions(starPositions);
}

void vimraGame::PlaceRowStars() {
  float x = -8.5f;
  float a = 0.0f;
  for (int k = 0; k < kStarCount; ++k) {
    float b = a * kMinusPi / 180.0f;
    starPositions[k][0] = x;
    starPositions[k][1] = 1.5f * sinf(b) + rowY;
    starPositions[k][2] = 1.5f * cosf(b);
    x += 0.35f;
    a += 50.0f;
  }
  if (stars != nullptr) {
    for (int k = 0; k < kStarCount; ++k) stars->GetVertexArray(k)->SetAlpha(1.0f);
  }
  starCounter = 0;
}

void vimraGame::UpdateRowStars() {
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

void vimraGame::PlayChoiceSound() {
  if (sampler != nullptr && sampler->GetCount() > 0) sampler->PlaySample(0);
}

void vimraGame::SetupLighting() {
  glShadeModel(GL_SMOOTH);
  glEnable(GL_LIGHTING);
  glEnable(GL_LIGHT0);
  glEnable(GL_DEPTH_TEST);
  const GLfloat white[4] = {1.0f, 1.0f, 1.0f, 1.0f};
  const GLfloat lightPosition[4] = {0.0f, 0.0f, 20.0f, 0.0f};
  glLightfv(GL_LIGHT0, GL_AMBIENT, white);
  glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
  glLightfv(GL_LIGHT0, GL_SPECULAR, white);
  glLightfv(GL_LIGHT0, GL_POSITION, lightPosition);
  const GLfloat ambient[4] = {0.0f, 0.0f, 0.0f, 1.0f};
  const GLfloat diffuse[4] = {0.9f, 0.9f, 0.9f, 1.0f};
  const GLfloat specular[4] = {0.0f, 0.0f, 0.0f, 1.0f};
  const GLfloat emission[4] = {0.4f, 0.4f, 0.4f, 0.0f};
  glMaterialfv(GL_FRONT, GL_AMBIENT, ambient);
  glMaterialfv(GL_FRONT, GL_DIFFUSE, diffuse);
  glMaterialfv(GL_FRONT, GL_SPECULAR, specular);
  glMaterialf(GL_FRONT, GL_SHININESS, 5.0f);
  glMaterialfv(GL_FRONT, GL_EMISSION, emission);
}

// ---------------------------------------------------------------------------
// Frame

void vimraGame::Render() {
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

void vimraGame::DrawScene(float* position, float* angle) {
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  float top = tanf(0.5235988f) * 0.1f;
  float right = float(GetWidth()) / float(GetHeight() > 0 ? GetHeight() : 1) * top;
  glFrustum(-right, right, -top, top, double(0.1f), 10000.0);

  glClearColor(0.0f, 0.0f, 0.2f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  float farPosition[3] = {position[0] * 0.01f, position[1] * 0.01f, position[2] * 0.01f};
  float farAngle[3] = {angle[0] * 0.01f, angle[1] * 0.01f, angle[2] * 0.01f};
  PilotView(farPosition, farAngle);

  glEnable(GL_BLEND);
  glDisable(GL_DEPTH_TEST);
  if (background != nullptr) background->DrawColor();
  if (clouds != nullptr) {
    for (size_t i = 0; i < clouds->Length(); ++i) {
      kxTexturedBox* cloud = static_cast<kxTexturedBox*>(clouds->GetVertexArray(i));
      if (cloud == nullptr) continue;
      cloud->Draw();
      float c[3];
      cloud->GetCenter(c);
      if (c[0] + cloud->GetScale() * cloud->GetWidth() > c[2]) {
        cloud->SetPosition(c[0] - 0.02f, c[1], c[2]);
      } else {
        cloud->SetPosition(9.0f, Randf(-6.0f, 0.0f), c[2]);
      }
    }
  }
  glEnable(GL_DEPTH_TEST);
  glDisable(GL_BLEND);

  glLoadIdentity();
  PilotView(position, angle);
  const GLfloat lightPosition[4] = {0.0f, 0.0f, 20.0f, 0.0f};
  glLightfv(GL_LIGHT0, GL_POSITION, lightPosition);

  glEnable(GL_LIGHTING);
  glDisable(GL_BLEND);
  glEnable(GL_DEPTH_TEST);
  if (cards != nullptr) cards->Draw();

  glEnable(GL_BLEND);
  glDisable(GL_LIGHTING);
  if (starsVisible && stars != nullptr) {
    glEnable(GL_BLEND);
    float camera[3];
    float cameraAngle[3];
    GetCamPosition(camera);
    GetCamAngle(cameraAngle);
    for (int i = 0; i < kStarCount; ++i) {
      static_cast<kxTexturedBox*>(stars->GetVertexArray(i))->Draw2(camera, cameraAngle[1]);
    }
    glDisable(GL_BLEND);
  }
}

// ---------------------------------------------------------------------------
// Per-state updates

void vimraGame::UpdateRing() {
  SpinAbout(ringPositions, vimraCardCount, pivotZ, 'y', 0.5f, 0, 0.0f, 0, 0.0f);
  cards->SetPositions(ringPositions);
}

void vimraGame::UpdatePulse() {
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
    MoveMatrix(currentPositions, 0.0f, 0.0f, -0.1f, vimraCardCount);
    SpinAbout(currentPositions, vimraCardCount, spinZ, 'y', 1.0f, 'z', 1.0f, 'x', 1.0f);
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
    if (gatherCounter > 120) {
      position[0] = 0.0f;
      position[1] = 0.0f;
      position[2] = (1.0f / GetAspect()) * 20.0f;
      angle[1] = 0.0f;
      angle[2] = 0.0f;
    }
    SetCamPosition(position);
    SetCamAngle(angle);
    if (gatherCounter > 120) {
      CopyMatrix(targetPositions, currentPositions, vimraCardCount);
      AdvanceState();
    }
    return;
  }
  if (starsVisible) {
    UpdateRowStars();
    return;
  }
  SpinAbout(targetPositions, vimraCardCount, spinZ, 'y', 1.0f, 'z', 1.0f, 'x', 1.0f);
  Ease(currentPositions, targetPositions, vimraCardCount);
  cards->SetPositions(currentPositions);
  ++gatherCounter;
  if (gatherCounter > 120) AdvanceState();
}

void vimraGame::UpdateDeal() {
  Ease(currentPositions, gridPositions, vimraCardCount);
  cards->SetPositions(currentPositions);
  ++dealCounter;
  if (dealCounter > 60) {
    ++dealCount;
    AdvanceState();
  }
}

void vimraGame::UpdateToReveal() {
  if (starsVisible) {
    UpdateRowStars();
    return;
  }
  Ease(currentPositions, revealPositions, vimraCardCount);
  float position[3];
  float angle[3];
  GetCamPosition(position);
  GetCamAngle(angle);
  for (int k = 0; k < 3; ++k) position[k] -= camStep[k];
  angle[2] -= camAngleStep[1];
  SetCamPosition(position);
  SetCamAngle(angle);
  cards->SetPositions(currentPositions);
  if (revealCounter > 120) {
    revealScale = 5.0f;
    revealAngle[0] = revealAngle[1] = revealAngle[2] = 0.0f;
    ScatterStars();
    starsVisible = true;
    starAlpha = 0.0f;
    state = StateReveal;
  }
  ++revealCounter;
}

void vimraGame::UpdateReveal() {
  SpinAbout(revealPositions, vimraCardCount, pivotZ, 'x', 1.0f, 'y', 1.0f, 'z', 1.0f);
  cards->SetPositions(revealPositions);
  if (revealScale < 20.0f) revealScale += 0.1f;
  kxVertexArray* chosen = cards->GetVertexArray(10);
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
  SpinAbout(ringPositions, vimraCardCount, pivotZ, 'y', 0.5f, 0, 0.0f, 0, 0.0f);
  Ease(currentPositions, ringPositions, vimraCardCount);
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
  kxVertexArray* chosen = cards->GetVertexArray(10);
  if (chosen != nullptr) {
    if (chosen->GetScale() > 5.0f) {
      chosen->SetScale(chosen->GetScale() + scaleStep);
    } else {
      chosen->SetScale(5.0f);
    }
  }
  cards->SetPositions(currentPositions);
  if (starAlpha > 0.0f) starAlpha -= 0.005f;
  for (int i = 0; i < kStarCount; ++i) stars->GetVertexArray(i)->SetAlpha(starAlpha);
  ScaleMatrix(starPositions, 1.05f, kStarCount);
  RotateMatrixZ(starPositions, -2.0f, kStarCount);
  stars->SetPositions(starPositions);
  if (returnCounter > 120) {
    revealScale = 5.0f;
    if (chosen != nullptr) chosen->SetScale(5.0f);
    revealAngle[0] = revealAngle[1] = revealAngle[2] = 0.0f;
    state = StateRing;
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
  Ease(currentPositions, ringPositions, vimraCardCount);
  cards->SetPositions(currentPositions);
  kxVertexArray* chosen = cards->GetVertexArray(10);
  if (chosen != nullptr) {
    if (chosen->GetScale() > 5.0f) {
      chosen->SetScale(chosen->GetScale() + scaleStep);
    } else {
      chosen->SetScale(5.0f);
    }
  }
  if (returnCounter > 120) {
    revealScale = 5.0f;
    revealAngle[0] = revealAngle[1] = revealAngle[2] = 0.0f;
    if (chosen != nullptr) {
      chosen->SetScale(5.0f);
      chosen->SetAngle(revealAngle);
    }
    state = StateMenu;
  }
  ++returnCounter;
}

// ---------------------------------------------------------------------------
// Preparations

void vimraGame::PrepareGather() {
  if (dealCount != 0) {
    gatherCounter = 0;
    return;
  }
  CopyMatrix(currentPositions, ringPositions, vimraCardCount);
  spinZ = pivotZ;
  float p[3];
  float a[3];
  GetCamPosition(p);
  GetCamAngle(a);
  float inverseAspect = 1.0f / GetAspect();
  camStep[0] = p[0] / 120.0f;
  camStep[1] = p[1] / 120.0f;
  camStep[2] = (inverseAspect * 20.0f - p[2]) / 120.0f;
  camAngleStep[0] = a[1] / 120.0f;
  camAngleStep[1] = a[2] / 120.0f;
  gatherCounter = 0;
}

void vimraGame::PrepareReveal() {
  GatherByRow(chosenRow);
  ApplyDeal();
  float a = 0.0f;
  for (int slot = 0; slot < vimraCardCount; ++slot) {
    if (slot == 10) {
      revealPositions[slot][0] = revealPositions[slot][1] = revealPositions[slot][2] = 0.0f;
      continue;
    }
    float b = a * kMinusPi / 180.0f;
    revealPositions[slot][0] = 10.0f * sinf(b);
    revealPositions[slot][1] = 10.0f * cosf(b);
    revealPositions[slot][2] = 0.0f;
    a += 18.0f;
  }
  RotateMatrixX(revealPositions, 90.0f, vimraCardCount);
  MoveMatrix(revealPositions, 0.0f, 0.0f, pivotZ, vimraCardCount);
  float p[3];
  GetCamPosition(p);
  camStep[0] = 0.0009337917f;
  camStep[1] = 0.10518643f;
  camStep[2] = (p[2] - (1.0f / GetAspect()) * 22.240955f) / 120.0f;
  camAngleStep[1] = 0.2787445f;
  revealCounter = 0;
}

void vimraGame::PrepareRevealEnd() {
  kxVertexArray* chosen = cards != nullptr ? cards->GetVertexArray(10) : nullptr;
  scaleStep = chosen != nullptr ? (5.0f - chosen->GetScale()) / 15.0f : 0.0f;
  revealAngle[0] = revealAngle[1] = revealAngle[2] = 0.0f;
  if (chosen != nullptr) chosen->SetAngle(revealAngle);
  float p[3];
  float a[3];
  GetCamPosition(p);
  GetCamAngle(a);
  camStep[0] = (p[0] - 4.056069f) / 120.0f;
  camStep[1] = (p[1] + 7.2544f) / 120.0f;
  camStep[2] = (p[2] - (1.0f / GetAspect()) * 18.62288f) / 120.0f;
  camAngleStep[0] = (a[1] - 22.209955f) / 120.0f;
  camAngleStep[1] = (a[2] + 34.696114f) / 120.0f;
  CopyMatrix(currentPositions, revealPositions, vimraCardCount);
  returnCounter = 0;
}

void vimraGame::PrepareBackToMenu() {
  float p[3];
  float a[3];
  GetCamPosition(p);
  GetCamAngle(a);
  camStep[0] = (kMenuCamPosition[0] - p[0]) / 120.0f;
  camStep[1] = (kMenuCamPosition[1] - p[1]) / 120.0f;
  camStep[2] = (kMenuCamPosition[2] - p[2]) / 120.0f;
  camAngleStep[0] = (kMenuCamAngle[1] - a[1]) / 120.0f;
  camAngleStep[1] = (kMenuCamAngle[2] - a[2]) / 120.0f;
  kxVertexArray* chosen = cards != nullptr ? cards->GetVertexArray(10) : nullptr;
  scaleStep = chosen != nullptr ? (5.0f - chosen->GetScale()) / 15.0f : 0.0f;
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

// ---------------------------------------------------------------------------
// The trick

void vimraGame::SetHint(int line) {
  if (GetGUIManager() != nullptr) GetGUIManager()->SetValueByID(idHintScroll, Message(line));
}

void vimraGame::OnLMBUp(int x, int y) {
  int w = GetWidth();
  int h = GetHeight();
  if (vimraIsCornerClick(w, h, x, y)) {
    cornerClicked = true;
    return;
  }
  if (state == StateMenu) return;
  float position[3];
  GetCamPosition(position);
  chosenRow = vimraRowFromClick(h, y, position[2], &rowY);
  if (state == StateRing || state == StateAwaitRow || state == StateReveal) AdvanceState();
}

void vimraGame::AdvanceState() {
  switch (state) {
    case StateRing:
      state = StateGather;
      dealCount = 0;
      PrepareGather();
      PlayChoiceSound();
      SetHint(19);
      break;
    case StateAwaitRow:
      starsVisible = true;
      PlaceRowStars();
      if (dealCount < 3) {
        state = StateGather;
        GatherByRow(chosenRow);
        SetHint(19);
        PrepareGather();
      } else {
        state = StateToReveal;
        SetHint(20);
        PrepareReveal();
      }
      break;
    case StateGather:
      state = StateDeal;
      ApplyDeal();
      dealCounter = 0;
      break;
    case StateDeal:
      state = StateAwaitRow;
      break;
    case StateReveal:
      state = StateRevealEnd;
      SetHint(18);
      PrepareRevealEnd();
      PlayChoiceSound();
      break;
    default:
      break;
  }
}

void vimraGame::GatherByRow(int row) {
  if (cards == nullptr || cards->Length() != size_t(vimraCardCount)) return;
  cards->ChangeVertexArray(3, size_t(shownSwap[0]));
  cards->ChangeVertexArray(10, size_t(shownSwap[1]));
  cards->ChangeVertexArray(17, size_t(shownSwap[2]));

  // An order built earlier and never dealt is replaced.
  delete pendingOrder;
  pendingOrder = new (std::nothrow) kxGeometry();
  if (pendingOrder == nullptr) return;
  pendingOrder->SetClearOnDestroy(false);
  pendingOrder->SetSize(vimraCardCount);
  int order[vimraCardCount];
  vimraGatherOrder(row, order);
  for (int slot = 0; slot < vimraCardCount; ++slot) {
    pendingOrder->InsertVertexArray(slot, cards->GetVertexArray(order[slot]));
  }
}

void vimraGame::ApplyDeal() {
  if (pendingOrder == nullptr || cards == nullptr) return;
  shownSwap[0] = rand() % 7;
  shownSwap[1] = 7 + rand() % 7;
  shownSwap[2] = 14 + rand() % 7;
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

// ---------------------------------------------------------------------------
// Input

void vimraGame::OnMouseMotion(int, int, int, int) {}

void vimraGame::OnKeyUp(unsigned int key) {
  switch (key) {
    case SDLK_ESCAPE:
    case SDLK_AC_BACK:
      if (state == StateMenu || state == StateBackToMenu) {
        EndMainLoop();
        return;
      }
      ClearScreen();
      ShowMainMenu();
      starsVisible = false;
      if (state == StateRing) {
        state = StateMenu;
      } else {
        PrepareBackToMenu();
        state = StateBackToMenu;
      }
      break;
    case SDLK_UP:
    case SDLK_VOLUMEUP:
      if (music != nullptr) music->VolumeUp();
      if (sampler != nullptr) sampler->VolumeUp();
      break;
    case SDLK_DOWN:
    case SDLK_VOLUMEDOWN:
      if (music != nullptr) music->VolumeDown();
      if (sampler != nullptr) sampler->VolumeDown();
      break;
    default:
      break;
  }
}

void vimraGame::OnDblClick() {
  if (cornerClicked) RecolourBackground();
  cornerClicked = false;
}

void vimraGame::OnLostFocus() {
  if (musicOn && music != nullptr) music->Pause();
}

void vimraGame::OnSetFocus() {
  if (musicOn && music != nullptr) music->Play();
}

void vimraGame::ClearScreen() {
  kxGUIManager* gui = GetGUIManager();
  if (gui != nullptr) gui->Clear();
  if (handlingClick) {
    screenCleared = true;
    screenClearedAt = frameCounter;
  }
}

void vimraGame::OnGUIClick(kxGUIObject* object) {
  kxGUIManager* gui = GetGUIManager();
  if (object == nullptr || gui == nullptr) return;
  // Clicks queued before this frame's handler rebuilt the screen point at
  // controls that were deleted with it.
  if (screenCleared && screenClearedAt == frameCounter) return;
  gui->Freeze();
  handlingClick = true;
  switch (object->GetID()) {
    case idStart:
      if (state == StateMenu) {
        ClearScreen();
        if (hintsOn) ShowHintBar();
        state = StateRing;
      }
      break;
    case idQuit:
      EndMainLoop();
      break;
    case idAbout:
      ClearScreen();
      ShowAbout();
      break;
    case idOK:
      ClearScreen();
      ShowMainMenu();
      break;
    case idHowToPlay:
      ClearScreen();
      ShowHowToPlay();
      break;
    case idSettings:
      ClearScreen();
      ShowSettings();
      break;
    case idLanguage:
      language = vimraNextLanguage(language);
      SetLanguage(language);
      ClearScreen();
      ShowSettings();
      break;
    case idQuality:
      highQuality = !highQuality;
      ClearScreen();
      BuildDeck();
      if (clouds != nullptr) clouds->Clear(true);
      BuildClouds();
      ShowSettings();
      break;
    case idMusic:
      musicOn = !musicOn;
      if (music != nullptr) {
        if (musicOn) {
          music->Play();
        } else {
          music->Pause();
        }
      }
      ClearScreen();
      ShowSettings();
      break;
    case idHints:
      hintsOn = !hintsOn;
      ClearScreen();
      ShowSettings();
      break;
    default:
      break;
  }
  handlingClick = false;
  gui->Thaw();
}

// ---------------------------------------------------------------------------
// Screens

namespace {

// Appends a new control at top level, or does nothing when it could not be
// made.
template <typename T>
T* AddTop(kxGUIManager* gui, T* control) {
  if (control != nullptr && !gui->AppendControl(control)) {
    delete control;
    return nullptr;
  }
  return control;
}

// Appends a new control to `parent`; a control that cannot be appended is
// deleted.
template <typename T>
T* AddChild(kxGUIObject* parent, T* control) {
  if (control == nullptr) return nullptr;
  if (parent == nullptr || !parent->AppendChild(control)) {
    delete control;
    return nullptr;
  }
  return control;
}

}  // namespace

void vimraGame::ShowMainMenu() {
  kxGUIManager* gui = GetGUIManager();
  if (gui == nullptr) return;
  vimraMainMenuLayout_s m = vimraMainMenuLayout(GetWidth(), GetHeight());
  kxMemoryBlock* logo = GetQualityEntry("vimra_logo");
  if (logo != nullptr) {
    AddTop(gui, kxGUIPicture::Create(idStart, m.logo.x, m.logo.y, m.logo.w, m.logo.h, logo));
  }
  kxGUITextScroll* ticker = AddTop(
      gui, kxGUITextScroll::Create(idNone, arialFont, m.ticker.x, m.ticker.y, m.ticker.w, Message(0)));
  if (ticker != nullptr) {
    ticker->SetColor(0.04f, 0.04f, 0.25f, 1.0f);
    ticker->SetVx(scrollStart);
  }
  struct {
    unsigned int id;
    kxGUIButtonStates* look;
    vimraRect_s r;
    int line;
  } buttons[5] = {
      {idStart, greenButton, m.start, 1},   {idQuit, redButton, m.quit, 2},
      {idAbout, blueButton, m.about, 3},    {idHowToPlay, blueButton, m.howToPlay, 8},
      {idSettings, blueButton, m.settings, 9},
  };
  for (auto& b : buttons) {
    if (b.look == nullptr) continue;
    AddTop(gui, kxGUIButton::Create(b.id, arialFont, b.look, b.r.x, b.r.y, b.r.w, b.r.h,
                                    Message(b.line)));
  }
}

namespace {

kxGUIPanel* AddBox(kxGUIManager* gui, const vimraRect_s& r) {
  kxGUIPanel* panel = AddTop(gui, kxGUIPanel::Create(idBox, r.x, r.y, r.w, r.h));
  if (panel != nullptr) panel->SetBackgroundColor(1.0f, 1.0f, 1.0f, 0.8f);
  return panel;
}

void AddLabel(kxGUIObject* parent, kxFont* font, int x, int y, kxString& text) {
  kxGIULabel* label = AddChild(parent, kxGIULabel::Create(idNone, font, x, y, text));
  if (label != nullptr) label->SetColor(0.0f, 0.0f, 0.0f, 1.0f);
}

void AddViewer(kxGUIObject* parent, kxStringArray* lines, kxFont* font, int x, int y, int w,
               int h) {
  if (lines == nullptr) return;
  kxGUITextViewer* viewer =
      AddChild(parent, kxGUITextViewer::Create(idTextViewer, lines, font, x, y, w, h));
  if (viewer != nullptr) viewer->SetColor(0.0f, 0.0f, 0.0f, 1.0f);
}

// The OK button every box has, centred near its lower edge.
void AddOkButton(kxGUIPanel* panel, const vimraRect_s& box, kxFont* font,
                 kxGUIButtonStates* states, kxString& caption) {
  if (states == nullptr) return;
  vimraRect_s ok = vimraBoxOkButton(box.w, box.h);
  AddChild(panel, kxGUIButton::Create(idOK, font, states, ok.x, ok.y, ok.w, ok.h, caption));
}

}  // namespace

void vimraGame::ShowAbout() {
  kxGUIManager* gui = GetGUIManager();
  if (gui == nullptr) return;
  vimraRect_s r = vimraBoxPanel(GetWidth(), GetHeight(), 620, 320);
  kxGUIPanel* panel = AddBox(gui, r);
  if (panel == nullptr) return;
  AddLabel(panel, smallFont, 10, 10, Message(3));
  kxString credits(Message(5));
  credits += u", ";
  credits += Message(4);
  credits += kVersion;
  credits += u", ";
  credits += Message(10);
  kxString platform(SDL_GetPlatform());
  credits += platform;
  AddLabel(panel, smallFont, 10, 26, credits);
  AddLabel(panel, smallFont, 10, 42, Message(6));
  AddViewer(panel, licenses, smallFont, 10, 70, 600, 200);
  AddOkButton(panel, r, arialFont, blueButton, Message(7));
}

void vimraGame::ShowHowToPlay() {
  kxGUIManager* gui = GetGUIManager();
  if (gui == nullptr) return;
  vimraRect_s r = vimraBoxPanel(GetWidth(), GetHeight(), 620, 200);
  kxGUIPanel* panel = AddBox(gui, r);
  if (panel == nullptr) return;
  AddLabel(panel, smallFont, 10, 10, Message(8));
  AddViewer(panel, howToPlay, smallFont, 10, 30, 590, 120);
  AddOkButton(panel, r, arialFont, blueButton, Message(7));
}

void vimraGame::ShowSettings() {
  kxGUIManager* gui = GetGUIManager();
  if (gui == nullptr) return;
  vimraRect_s r = vimraBoxPanel(GetWidth(), GetHeight(), 360, 270);
  kxGUIPanel* panel = AddBox(gui, r);
  if (panel == nullptr) return;
  AddLabel(panel, smallFont, 10, 10, Message(9));

  kxString nextLanguage(vimraLanguageTable[vimraNextLanguage(language)].name);
  struct {
    int y0;
    int label;
    unsigned int id;
    kxString* caption;
  } rows[4] = {
      {30, 11, idLanguage, &nextLanguage},
      {80, 12, idQuality, &Message(highQuality ? 14 : 13)},
      {130, 17, idMusic, &Message(musicOn ? 16 : 15)},
      {180, 21, idHints, &Message(hintsOn ? 16 : 15)},
  };
  for (auto& row : rows) {
    kxGUIPanel* strip = AddChild(panel, kxGUIPanel::Create(idNone, 10, row.y0, 340, 42));
    if (strip != nullptr) strip->SetBackgroundColor(1.0f, 1.0f, 1.0f, 0.8f);
    AddLabel(panel, smallFont, 20, row.y0 + 16, Message(row.label));
    if (blueButton != nullptr) {
      AddChild(panel, kxGUIButton::Create(row.id, arialFont, blueButton, 210, row.y0 + 6, 128, 32,
                                          *row.caption));
    }
  }
  AddOkButton(panel, r, arialFont, blueButton, Message(7));
}

void vimraGame::ShowHintBar() {
  kxGUIManager* gui = GetGUIManager();
  if (gui == nullptr) return;
  vimraHintBarLayout_s l = vimraHintBarLayout(GetWidth());
  kxGUIPanel* panel =
      AddTop(gui, kxGUIPanel::Create(idNone, l.panel.x, l.panel.y, l.panel.w, l.panel.h));
  if (panel != nullptr) panel->SetBackgroundColor(1.0f, 1.0f, 1.0f, 0.8f);
  kxGUITextScroll* scroll = AddTop(
      gui, kxGUITextScroll::Create(idHintScroll, arialFont, l.scroll.x, l.scroll.y, l.scroll.w,
                                   Message(18)));
  if (scroll != nullptr) {
    scroll->SetColor(0.04f, 0.04f, 0.25f, 1.0f);
    scroll->SetVx(scrollStart);
  }
}
