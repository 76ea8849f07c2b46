// The scene behind the menus: the colour-gradient backdrop, the drifting
// clouds, the star billboards, the light, and the drawing of a frame.
#include <cmath>
#include <new>

#include "audio/kxSampler.h"
#include "data/kxMemoryBlock.h"
#include "graphics/kxGeometry.h"
#include "graphics/kxTexturedBox.h"
#include "graphics/kxTransform.h"
#include "graphics/kxVertexArray.h"
#include "render/kxRenderer.h"
#include "vimraColorTable.h"
#include "vimraGame.h"
#include "vimraMotion.h"
#include "vimraPackKeys.h"
#include "vimraVisibleArea.h"

namespace {

struct CloudPlacement {
  float width, height;
  const char* key;
  float x, y, z;
};
const CloudPlacement kClouds[vimraGame::kCloudCount] = {
    {16.0f, 8.0f, vimraKeyClouds[0], -10.0f, 0.0f, -9.0f},
    {9.0f, 5.0f, vimraKeyClouds[1], 0.0f, -5.0f, -7.0f},
    {12.0f, 6.0f, vimraKeyClouds[2], 5.0f, 0.0f, -5.0f},
};

// Light 0: white, shining along the depth axis toward the cards (w = 0: a
// direction, set again each frame under the pilot's view).
const kxLight_s kLight = {{1.0f, 1.0f, 1.0f, 1.0f},
                          {1.0f, 1.0f, 1.0f, 1.0f},
                          {1.0f, 1.0f, 1.0f, 1.0f},
                          {0.0f, 0.0f, 20.0f, 0.0f}};
// The cards: no ambient or glow, a light grey under the light, a dull gloss.
const kxMaterial_s kCardMaterial = {{0.0f, 0.0f, 0.0f, 1.0f},
                                    {0.9f, 0.9f, 0.9f, 1.0f},
                                    {0.0f, 0.0f, 0.0f, 1.0f},
                                    {0.4f, 0.4f, 0.4f, 0.0f},
                                    5.0f};

// The backdrop is a 24 x 14 rectangle of two triangles, coloured bottom to
// top from the colour table, standing behind the clouds: exactly what a
// 16:9 window sees of it. Bands around it carry the gradient sideways and
// the end colours up and down, far enough for windows from 9:21 to beyond
// 32:9; at 16:9 they lie outside the view and change no pixel.
const float kBackdropWidth = 24.0f;
const float kBackdropHeight = 14.0f;
const float kBackdropSide = 24.0f;  // each band left and right
const float kBackdropEnd = 4.0f;    // each band below and above

// The window aspect the scene was made for: wider windows let the clouds
// travel further.
const float kDesignAspect = 16.0f / 9.0f;

// One rectangle of the backdrop, x0..x1 by y0..y1 (local units), coloured
// `low` along y0 and `high` along y1, as two triangles wound like the first.
void AppendBackdropQuad(kxVertexArray* v, float x0, float y0, float x1, float y1, const float* low,
                        const float* high) {
  const float* colours[6] = {low, low, high, high, high, low};
  const float points[6][2] = {{x1, y0}, {x0, y0}, {x0, y1}, {x0, y1}, {x1, y1}, {x1, y0}};
  for (const auto& p : points) v->AppendVertex(p[0], p[1], 0.0f);
  for (const float* c : colours) v->AppendColor(c[0], c[1], c[2], 1.0f);
}

// The whole backdrop, the 16:9 rectangle first.
void AppendBackdrop(kxVertexArray* v) {
  const float* bottom = vimraBackdropColor(bcBottom);
  const float* top = vimraBackdropColor(bcTop);
  const float w = kBackdropWidth, h = kBackdropHeight;
  const float s = kBackdropSide, e = kBackdropEnd;
  AppendBackdropQuad(v, 0.0f, 0.0f, w, h, bottom, top);
  AppendBackdropQuad(v, -s, 0.0f, 0.0f, h, bottom, top);
  AppendBackdropQuad(v, w, 0.0f, w + s, h, bottom, top);
  AppendBackdropQuad(v, -s, -e, w + s, 0.0f, bottom, bottom);
  AppendBackdropQuad(v, -s, h, w + s, h + e, top, top);
}

}  // namespace

void vimraGame::BuildBackground() {
  delete background;
  background = kxVertexArray::Create(4);
  if (background == nullptr) return;
  AppendBackdrop(background);
  background->CreateVBO();
  background->SetPosition(-12.0f, -6.0f, -10.0f);
}

void vimraGame::RecolourBackground() {
  if (background == nullptr) return;
  background->Clear();
  float* bottom = vimraBackdropColor(bcBottom);
  float* top = vimraBackdropColor(bcTop);
  for (int k = 0; k < 3; ++k) bottom[k] = Randf(0.0f, 1.0f);
  for (int k = 0; k < 3; ++k) top[k] = Randf(0.0f, 1.0f);
  AppendBackdrop(background);
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
    // Most of a cloud picture is transparent margin: drawing only the part
    // that can show leaves the frame as it was at less than half the fill.
    vimraTrimBoxToPicture(box);
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
      kxMemoryBlock* picture = GetEntry(vimraKeyStar);
      if (picture != nullptr) box->TextureFromCrunchedMemoryBlock(picture);
    } else {
      // The other stars borrow the first one's picture, tinted.
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
  TranslateMatrix3f(starPositions, 0.0f, 0.0f, pivotZ, kStarCount);
  if (stars != nullptr) {
    for (int i = 0; i < kStarCount; ++i) stars->GetVertexArray(i)->SetAlpha(0.0f);
  }
  starTimer = 0;
  if (stars != nullptr) stars->SetPositions(starPositions);
}

void vimraGame::PlaceRowStars() {
  // A helix of radius 1.5 along the answered row.
  float x = -8.5f;
  float a = 0.0f;
  for (int k = 0; k < kStarCount; ++k) {
    float b = a * vimraMinusPi / 180.0f;
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

void vimraGame::PlayChoiceSound() {
  if (sampler != nullptr && sampler->GetCount() > 0) sampler->PlaySample(0);
}

void vimraGame::SetupLighting() {
  kxRenderer* r = kxGetRenderer();
  r->Enable(rsLighting);
  r->Enable(rsDepthTest);
  r->SetLight(kLight);
  r->SetMaterial(kCardMaterial);
}

bool vimraGame::BackdropCoversWindow() {
  if (background == nullptr || background->GetVertexBuffer() == 0) return false;
  float projection[16], modelview[16];
  kxGetRenderer()->GetMatrix(mmProjection, projection);
  kxGetRenderer()->GetMatrix(mmModelView, modelview);
  // The backdrop is drawn at its position, unturned and unscaled.
  float at[3];
  background->GetCenter(at);
  const float x0 = at[0] - kBackdropSide, x1 = at[0] + kBackdropWidth + kBackdropSide;
  const float y0 = at[1] - kBackdropEnd, y1 = at[1] + kBackdropHeight + kBackdropEnd;
  const float corners[4][3] = {{x0, y0, at[2]}, {x1, y0, at[2]}, {x1, y1, at[2]}, {x0, y1, at[2]}};
  // Two hundredths of the window spare on each side keep every sample of a
  // multisampled pixel inside.
  return vimraQuadCoversViewport(projection, modelview, corners, 0.02f);
}

void vimraGame::DrawScene(float* position, float* angle) {
  // The game's own projection: a far plane of 10000 and the aspect of the
  // current size, every frame.
  kxRenderer* r = kxGetRenderer();
  r->SetMatrixMode(mmProjection);
  r->LoadIdentity();
  float top = tanf(0.5235988f) * 0.1f;
  float right = float(GetWidth()) / float(GetHeight() > 0 ? GetHeight() : 1) * top;
  r->Frustum(-right, right, -top, top, double(0.1f), 10000.0);

  // The background sees one hundredth of the camera's motion.
  r->SetMatrixMode(mmModelView);
  r->LoadIdentity();
  float farPosition[3] = {position[0] * 0.01f, position[1] * 0.01f, position[2] * 0.01f};
  float farAngle[3] = {angle[0] * 0.01f, angle[1] * 0.01f, angle[2] * 0.01f};
  PilotView(farPosition, farAngle);

  // Where the opaque backdrop covers the window, it replaces every pixel the
  // colour clear would set; only depth needs clearing then.
  r->SetClearColor(0.0f, 0.0f, 0.2f, 1.0f);
  r->Clear(!BackdropCoversWindow(), true);

  // The backdrop is opaque (alpha 1 at every corner), so blending it would
  // give the same pixels at the cost of reading each one back.
  r->Disable(rsBlend);
  r->Disable(rsDepthTest);
  if (background != nullptr) background->DrawColor();
  r->Enable(rsBlend);
  if (clouds != nullptr) {
    // A window wider than 16:9 sees further to both sides, in proportion.
    const float aspect = float(GetWidth()) / float(GetHeight() > 0 ? GetHeight() : 1);
    const float reach = aspect > kDesignAspect ? aspect / kDesignAspect : 1.0f;
    for (size_t i = 0; i < clouds->Length(); ++i) {
      kxTexturedBox* cloud = static_cast<kxTexturedBox*>(clouds->GetVertexArray(i));
      if (cloud == nullptr) continue;
      cloud->Draw();
      // A cloud drifts left until its right edge reaches the value of its own
      // depth (about the view's left edge at 16:9), then starts again on the
      // right at a random height; both ends move out with a wider view.
      float c[3];
      cloud->GetCenter(c);
      if (c[0] + cloud->GetScale() * cloud->GetWidth() > c[2] * reach) {
        cloud->SetPosition(c[0] - 0.02f, c[1], c[2]);
      } else {
        cloud->SetPosition(9.0f * reach, Randf(-6.0f, 0.0f), c[2]);
      }
    }
  }
  r->Enable(rsDepthTest);
  r->Disable(rsBlend);

  r->LoadIdentity();
  PilotView(position, angle);
  r->SetLightPosition(kLight.position);

  r->Enable(rsLighting);
  r->Disable(rsBlend);
  r->Enable(rsDepthTest);
  // A card seen from the front hides its back face, and the other way
  // round: with every face wound outward, the hidden one need not be filled.
  if (cardsCullable) r->Enable(rsCullFace);
  if (cards != nullptr) cards->Draw();
  r->Disable(rsCullFace);

  r->Enable(rsBlend);
  r->Disable(rsLighting);
  if (starsVisible && stars != nullptr) {
    r->Enable(rsBlend);
    float camera[3];
    float cameraAngle[3];
    GetCamPosition(camera);
    GetCamAngle(cameraAngle);
    for (int i = 0; i < kStarCount; ++i) {
      static_cast<kxTexturedBox*>(stars->GetVertexArray(i))->Draw2(camera, cameraAngle[1]);
    }
    r->Disable(rsBlend);
  }
}
