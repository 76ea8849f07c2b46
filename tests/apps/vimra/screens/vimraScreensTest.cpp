// The game on screens of every shape, in process, full screen on the
// virtual display the test is started under (ctest starts it once per
// size): the main menu covers the window with no clear colour, keeps its
// controls inside and apart, and answers a click on every button where the
// button is drawn; a whole trick finds the card; a window resized during a
// trick goes on with it laid out for the new size.
#include <gtest/gtest.h>

#include <functional>

#include "../vimraGameTestSupport.h"
#include "render/kxRenderer.h"
#include "vimraMotion.h"

namespace {

// The colour the scene clears to where nothing is drawn: never to be seen.
const uint8_t kClear[3] = {0, 0, 51};

// Records the clicks the GUI delivers instead of acting on them.
class ClickProbe : public GameProbe {
 public:
  void OnGUIClick(kxGUIObject* object) override {
    clicked.push_back(object != nullptr ? int(object->GetID()) : -1);
  }
  std::vector<int> clicked;
};

struct Pixels {
  int width = 0, height = 0;
  std::vector<uint8_t> rgb;  // rows bottom to top, as GL reads them
  // The pixel at window (x, y), y down.
  const uint8_t* At(int x, int y) const {
    return &rgb[(size_t(height - 1 - y) * size_t(width) + size_t(x)) * 3];
  }
};

Pixels ReadBack(int width, int height) {
  Pixels p;
  p.width = width;
  p.height = height;
  p.rgb.resize(size_t(width) * size_t(height) * 3);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadBuffer(GL_BACK);
  glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, p.rgb.data());
  return p;
}

bool Differ(const Pixels& a, const Pixels& b, int x, int y) {
  const uint8_t* p = a.At(x, y);
  const uint8_t* q = b.At(x, y);
  return std::abs(p[0] - q[0]) + std::abs(p[1] - q[1]) + std::abs(p[2] - q[2]) > 6;
}

struct Rect {
  double x0, y0, x1, y1;  // window pixels, half-open
};

bool Overlap(const Rect& a, const Rect& b) {
  return a.x0 < b.x1 && b.x0 < a.x1 && a.y0 < b.y1 && b.y0 < a.y1;
}

class Screen : public LiveGame {
 protected:
  void Open(bool fullscreen, int width = 1280, int height = 720) {
    InstallPack();
    probe = new ClickProbe();
    probe->SetFullscreen(fullscreen);
    probe->SetResizable(true);
    probe->SetWindowSize(width, height);
    Start(probe);
  }

  // The scene alone, then the scene with the GUI over it, of one frame.
  void DrawFrame(Pixels* scene, Pixels* full) {
    glViewport(0, 0, game->GetWidth(), game->GetHeight());
    game->Render();
    glFinish();
    *scene = ReadBack(game->GetWidth(), game->GetHeight());
    gui->Draw();
    glFinish();
    *full = ReadBack(game->GetWidth(), game->GetHeight());
  }

  // A control's rectangle in window pixels.
  Rect OnScreen(kxGUIObject* c) {
    const double s = gui->GetScale();
    return {c->GetLeft() * s, c->GetTop() * s, (c->GetLeft() + c->GetWidth()) * s,
            (c->GetTop() + c->GetHeight()) * s};
  }

  // Rows of the drawn footprint through (x, y), up and down from it.
  int DrawnHeight(const Pixels& scene, const Pixels& full, int x, int y) {
    int top = y, bottom = y;
    while (top > 0 && Differ(scene, full, x, top - 1)) --top;
    while (bottom < full.height - 1 && Differ(scene, full, x, bottom + 1)) ++bottom;
    return bottom - top + 1;
  }

  // Window height of the table row `row` (1 top, 3 bottom) as drawn from
  // the table view: the 60-degree projection of its height on the table.
  int RowPixel(int row) {
    float camera[3];
    game->GetCamPosition(camera);
    const float worldY = row == 1 ? 2.5f : (row == 3 ? -2.5f : 0.0f);
    const double half = game->GetHeight() / 2.0;
    return int(half - worldY / (camera[2] * std::tan(M_PI / 6.0)) * half);
  }

  // Every card centre of the table, projected, with a card's half size
  // (1 by 1.4 units) around it, lies inside the window.
  void ExpectTableInside() {
    float camera[3];
    game->GetCamPosition(camera);
    const double t = std::tan(M_PI / 6.0);
    const double aspect = double(game->GetWidth()) / game->GetHeight();
    for (int i = 0; i < vimraCardCount; ++i) {
      float c[3];
      game->cards->GetVertexArray(size_t(i))->GetCenter(c);
      const double depth = camera[2] - c[2];
      EXPECT_LT(std::fabs(c[0]) + 1.0, depth * t * aspect) << "card " << i << " across";
      EXPECT_LT(std::fabs(c[1]) + 1.4, depth * t) << "card " << i << " up and down";
    }
  }

  void ClickPixel(int x, int y) {
    ClickAt(x, y);
    gui->HandleEvents();
  }

  // From the menu: starts a trick, answers the row of the card dealt to slot
  // 4 three times, and checks that the reveal shows it.
  void PlayTrick(const std::function<void()>& midway = nullptr) {
    kxGUIObject* start = nullptr;
    for (uint64_t i = 0; i < gui->GetControlCount(); ++i) {
      kxGUIObject* c = gui->GetControl(i);
      if (dynamic_cast<kxGUIButton*>(c) != nullptr && c->GetID() == idStart) start = c;
    }
    ASSERT_NE(start, nullptr);
    Rect r = OnScreen(start);
    // The probe only records clicks; the game's own handler starts the trick.
    ClickPixel(int((r.x0 + r.x1) / 2), int((r.y0 + r.y1) / 2));
    ASSERT_EQ(probe->clicked, std::vector<int>{int(idStart)});
    game->vimraGame::OnGUIClick(start);
    ASSERT_EQ(game->state, StateRing);
    // Drawing in a corner keeps the software renderer quick; the trick's
    // arithmetic follows the window's size, not the viewport.
    glViewport(0, 0, 128, 72);
    ClickAt(game->GetWidth() / 2, game->GetHeight() / 2);
    ASSERT_EQ(game->state, StateGather);
    ASSERT_TRUE(StepUntil(StateAwaitRow, 400));
    ExpectTableInside();
    const unsigned chosen = game->cards->GetVertexArray(4)->GetTextureID();
    for (int answer = 0; answer < 3; ++answer) {
      ASSERT_EQ(game->state, StateAwaitRow);
      if (answer == 1 && midway) {
        midway();
        glViewport(0, 0, 128, 72);
        ExpectTableInside();
      }
      const int row = RowOfSlot(SlotOfTexture(game->cards, chosen));
      ClickAt(game->GetWidth() / 2, RowPixel(row));
      ASSERT_EQ(game->chosenRow, row) << "answer " << answer;
      if (answer < 2) {
        ASSERT_TRUE(StepUntil(StateAwaitRow, 400)) << "answer " << answer;
      }
    }
    ASSERT_EQ(game->state, StateToReveal);
    ASSERT_TRUE(StepUntil(StateReveal, 400));
    EXPECT_EQ(game->cards->GetVertexArray(10)->GetTextureID(), chosen);
  }

  ClickProbe* probe = nullptr;
};

TEST_F(Screen, MainMenuCoversTheWindowAndAnswersWhereDrawn) {
  ASSERT_NO_FATAL_FAILURE(Open(true));
  const int w = game->GetWidth(), h = game->GetHeight();
  ASSERT_GT(w, 0);
  ASSERT_GT(h, 0);
  Pixels scene, full;
  // A few frames: the clouds and the ring move, the backdrop must hold.
  for (int frame = 0; frame < 3; ++frame) DrawFrame(&scene, &full);
  size_t clear = 0;
  for (size_t i = 0; i < full.rgb.size(); i += 3)
    if (full.rgb[i] == kClear[0] && full.rgb[i + 1] == kClear[1] && full.rgb[i + 2] == kClear[2])
      ++clear;
  EXPECT_EQ(clear, 0u) << "pixels of the clear colour on a " << w << "x" << h << " screen";

  // Every control inside the window and none over another.
  std::vector<std::pair<kxGUIObject*, Rect>> controls;
  for (uint64_t i = 0; i < gui->GetControlCount(); ++i) {
    kxGUIObject* c = gui->GetControl(i);
    controls.push_back({c, OnScreen(c)});
    const Rect& r = controls.back().second;
    EXPECT_GE(r.x0, 0) << "control " << i;
    EXPECT_GE(r.y0, 0) << "control " << i;
    EXPECT_LE(r.x1, w) << "control " << i;
    EXPECT_LE(r.y1, h) << "control " << i;
  }
  ASSERT_GE(controls.size(), 7u);
  for (size_t a = 0; a < controls.size(); ++a)
    for (size_t b = a + 1; b < controls.size(); ++b)
      EXPECT_FALSE(Overlap(controls[a].second, controls[b].second)) << a << " and " << b;

  // Each button is drawn where its rectangle says, and a click on the drawn
  // centre reaches it.
  int startHeight = 0;
  int buttons = 0;
  for (auto& c : controls) {
    if (dynamic_cast<kxGUIButton*>(c.first) == nullptr) continue;
    ++buttons;
    const int cx = int((c.second.x0 + c.second.x1) / 2);
    const int cy = int((c.second.y0 + c.second.y1) / 2);
    const int drawn = DrawnHeight(scene, full, cx, cy);
    // The face is the button's height, give or take its soft rim.
    EXPECT_NEAR(drawn, c.second.y1 - c.second.y0, 3 + 0.1 * (c.second.y1 - c.second.y0))
        << "button " << c.first->GetID();
    if (c.first->GetID() == idStart) startHeight = drawn;
    probe->clicked.clear();
    ClickPixel(cx, cy);
    EXPECT_EQ(probe->clicked, std::vector<int>{int(c.first->GetID())}) << "at " << cx << "," << cy;
  }
  EXPECT_EQ(buttons, 5);

  // The Start button keeps its share of a landscape screen's height: that of
  // the 32 pixels of 720, within the quarter steps of the scale.
  const double share = double(startHeight) / h;
  RecordProperty("StartHeightShare", std::to_string(share));
  if (w >= h) {
    EXPECT_GT(share, 0.8 * 32.0 / 720.0) << startHeight << " of " << h;
    EXPECT_LT(share, 1.35 * 32.0 / 720.0) << startHeight << " of " << h;
  } else {
    // Upright, the width rules: the widest box still fits across.
    EXPECT_LE(620 * gui->GetScale(), w);
    EXPECT_GT(startHeight, 32);
  }
}

// Column-major 4 x 4 matrices, as the renderer keeps them.
struct Matrix {
  double m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  Matrix operator*(const Matrix& o) const {
    Matrix r;
    for (int c = 0; c < 4; ++c)
      for (int row = 0; row < 4; ++row) {
        double sum = 0.0;
        for (int k = 0; k < 4; ++k) sum += m[k * 4 + row] * o.m[c * 4 + k];
        r.m[c * 4 + row] = sum;
      }
    return r;
  }
  // A turn of `degrees` about axis 0 (x), 1 (y) or 2 (z), as glRotate.
  static Matrix Turn(double degrees, int axis) {
    Matrix r;
    const double a = degrees * M_PI / 180.0, c = std::cos(a), s = std::sin(a);
    const int i = (axis + 1) % 3, j = (axis + 2) % 3;
    r.m[i * 4 + i] = c, r.m[j * 4 + j] = c, r.m[i * 4 + j] = s, r.m[j * 4 + i] = -s;
    return r;
  }
};

// The menu's ring of cards through a whole turn (it spins about an axis
// that tilts it toward and away from the camera, so every frame of the turn
// shows it differently): every vertex of every card, placed as the vertex
// array draws it and projected through the game's own matrices, lies inside
// the window with a twentieth of its width spare at each side.
TEST_F(Screen, MainMenuRingStaysInsideTheWindow) {
  ASSERT_NO_FATAL_FAILURE(Open(true));
  ASSERT_EQ(game->state, StateMenu);
  float(*shared)[3] = game->cards->GetVertexArray(0)->GetVertexArray();
  const unsigned long long sharedCount = game->cards->GetVertexArray(0)->GetVertexArraySize();
  ASSERT_NE(shared, nullptr);
  ASSERT_GT(sharedCount, 3u);
  // Drawing in a corner keeps the software renderer quick; the projection
  // follows the window's size, not the viewport.
  glViewport(0, 0, 128, 72);
  const int frames = int(360.0 / 0.5);  // the ring turns half a degree a frame
  double across = 0.0, upDown = 0.0;
  for (int frame = 0; frame < frames; ++frame) {
    game->Render();
    if (frame % 3 != 0) continue;  // a degree and a half apart is near enough
    Matrix projection, view;
    float p[16], m[16];
    kxGetRenderer()->GetMatrix(mmProjection, p);
    kxGetRenderer()->GetMatrix(mmModelView, m);
    std::copy(p, p + 16, projection.m);
    std::copy(m, m + 16, view.m);
    for (int i = 0; i < vimraCardCount; ++i) {
      kxVertexArray* card = game->cards->GetVertexArray(size_t(i));
      float c[3], a[3];
      card->GetCenter(c);
      card->GetAngle(a);
      Matrix place;
      place.m[12] = c[0], place.m[13] = c[1], place.m[14] = c[2];
      Matrix size;
      size.m[0] = size.m[5] = size.m[10] = card->GetScale();
      const Matrix all = projection * view * place * Matrix::Turn(a[0], 0) * Matrix::Turn(a[1], 1) *
                         Matrix::Turn(a[2], 2) * size;
      float(*v)[3] = card->GetVertexArray() != nullptr ? card->GetVertexArray() : shared;
      const unsigned long long n =
          card->GetVertexArray() != nullptr ? card->GetVertexArraySize() : sharedCount;
      for (unsigned long long k = 0; k < n; ++k) {
        double clip[4];
        for (int row = 0; row < 4; ++row)
          clip[row] = all.m[row] * v[k][0] + all.m[4 + row] * v[k][1] + all.m[8 + row] * v[k][2] +
                      all.m[12 + row];
        ASSERT_GT(clip[3], 0.1) << "card " << i << " behind the camera";
        across = std::max(across, std::fabs(clip[0] / clip[3]));
        upDown = std::max(upDown, std::fabs(clip[1] / clip[3]));
      }
    }
  }
  RecordProperty("RingAcross", std::to_string(across));
  RecordProperty("RingUpDown", std::to_string(upDown));
  // In half widths from the middle.
  EXPECT_LT(across, 0.9) << "the ring runs off the sides of a " << game->GetWidth() << "x"
                         << game->GetHeight() << " window";
  EXPECT_LT(upDown, 1.0) << "the ring runs off the top or bottom";
}

TEST_F(Screen, WholeTrickFindsTheCard) {
  ASSERT_NO_FATAL_FAILURE(Open(true));
  ASSERT_NO_FATAL_FAILURE(PlayTrick());
}

TEST_F(Screen, ResizedDuringATrickGoesOnLaidOutAnew) {
  ASSERT_NO_FATAL_FAILURE(Open(false, 1280, 720));
  int resized = 0;
  auto resize = [&]() {
    // Upright and smaller, as a player might drag it.
    SDL_SetWindowSize(SDL_GL_GetCurrentWindow(), 600, 900);
    for (int i = 0; i < 200 && game->GetWidth() != 600; ++i) {
      SDL_Event e;
      while (SDL_PollEvent(&e)) driver->Deliver(e);
      SDL_Delay(5);
    }
    ASSERT_EQ(game->GetWidth(), 600);
    ASSERT_EQ(game->GetHeight(), 900);
    ++resized;
    float camera[3];
    game->GetCamPosition(camera);
    EXPECT_FLOAT_EQ(camera[2], vimraTableCameraDepth(600.0f / 900.0f));
    // The hint bar was built again for the narrower window.
    kxGUIObject* hint = Find(idHintScroll);
    ASSERT_NE(hint, nullptr);
    EXPECT_LE(hint->GetLeft() + hint->GetWidth(), gui->GetWidth());
    EXPECT_EQ(gui->GetWidth(), 600);
  };
  ASSERT_NO_FATAL_FAILURE(PlayTrick(resize));
  EXPECT_EQ(resized, 1);
}

TEST_F(Screen, FullScreenKeyTogglesAndComesBack) {
  ASSERT_NO_FATAL_FAILURE(Open(false, 800, 600));
  SDL_DisplayMode mode;
  ASSERT_EQ(SDL_GetCurrentDisplayMode(0, &mode), 0);
  auto settle = [&](int width) {
    for (int i = 0; i < 200 && game->GetWidth() != width; ++i) {
      SDL_Event e;
      while (SDL_PollEvent(&e)) driver->Deliver(e);
      SDL_Delay(5);
    }
  };
  // A box is up: the switch must keep it.
  gui->Clear();
  game->ShowAbout();
  Key(SDLK_F11);
  settle(mode.w);
  EXPECT_TRUE(game->IsFullscreen());
  EXPECT_EQ(game->GetWidth(), mode.w);
  EXPECT_EQ(game->GetHeight(), mode.h);
  EXPECT_EQ(Count(idBox), 1);
  Key(SDLK_F11);
  settle(800);
  EXPECT_FALSE(game->IsFullscreen());
  EXPECT_EQ(game->GetWidth(), 800);
  EXPECT_EQ(game->GetHeight(), 600);
  EXPECT_EQ(Count(idBox), 1);
}

}  // namespace
