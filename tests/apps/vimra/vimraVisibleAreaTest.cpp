// The visible part of a picture, and boxes trimmed to it: the same pixels
// for fewer fragments, and no change to anything the trimming cannot handle.
#include <GL/glew.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "data/kxResource.h"
#include "graphics/kxTexturedBox.h"
#include "graphics/kxVertexArray.h"
#include "support/kxGLTestContext.h"
#include "vimraPackKeys.h"
#include "vimraVisibleArea.h"

namespace {

std::vector<float> Corners(kxTexturedBox* box) {
  std::vector<float> v;
  for (unsigned long long i = 0; i < box->GetVertexArraySize(); ++i) {
    v.insert(v.end(), box->GetVertexArray()[i], box->GetVertexArray()[i] + 3);
    v.insert(v.end(), box->GetTexCoordArray()[i], box->GetTexCoordArray()[i] + 2);
  }
  return v;
}

// A cloud-like picture: transparent margins around a soft blob whose colour
// varies, so a texel taken from the wrong place shows.
std::vector<uint8_t> CloudPicture(int w, int h) {
  std::vector<uint8_t> rgba(size_t(w) * h * 4, 0);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      uint8_t* p = &rgba[(size_t(y) * w + x) * 4];
      p[0] = uint8_t(x * 7), p[1] = uint8_t(y * 13), p[2] = uint8_t((x ^ y) * 5);
      const int dx = x - w / 2, dy = y - h / 2;
      const int d = dx * dx * 4 + dy * dy * 16;
      p[3] = d < 900 ? uint8_t(255 - d / 4) : 0;
    }
  }
  return rgba;
}

GLuint Upload(const std::vector<uint8_t>& rgba, int w, int h) {
  GLuint t = 0;
  glGenTextures(1, &t);
  glBindTexture(GL_TEXTURE_2D, t);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, w, h, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
  glBindTexture(GL_TEXTURE_2D, 0);
  return t;
}

class VisibleAreaGL : public kxTest::GLTest {};

}  // namespace

TEST(vimraVisibleAreaTest, BoundsOfTheNonTransparentTexels) {
  std::vector<uint8_t> alpha(8 * 4, 0);
  vimraTexelRect_s r = {-7, -7, -7, -7};
  EXPECT_FALSE(vimraVisibleTexels(alpha.data(), 8, 4, &r));
  EXPECT_EQ(r.x0, -7);  // untouched when nothing shows

  alpha[1 * 8 + 5] = 1;  // one faint texel
  ASSERT_TRUE(vimraVisibleTexels(alpha.data(), 8, 4, &r));
  EXPECT_EQ(r.x0, 5);
  EXPECT_EQ(r.x1, 5);
  EXPECT_EQ(r.y0, 1);
  EXPECT_EQ(r.y1, 1);

  alpha[3 * 8 + 2] = 200;
  alpha[2 * 8 + 7] = 9;
  ASSERT_TRUE(vimraVisibleTexels(alpha.data(), 8, 4, &r));
  EXPECT_EQ(r.x0, 2);
  EXPECT_EQ(r.x1, 7);
  EXPECT_EQ(r.y0, 1);
  EXPECT_EQ(r.y1, 3);

  EXPECT_FALSE(vimraVisibleTexels(alpha.data(), 0, 4, &r));
  EXPECT_FALSE(vimraVisibleTexels(alpha.data(), 8, -1, &r));
  EXPECT_FALSE(vimraVisibleTexels(nullptr, 8, 4, &r));
  EXPECT_FALSE(vimraVisibleTexels(alpha.data(), 8, 4, nullptr));
}

TEST_F(VisibleAreaGL, TrimmedBoxKeepsPositionToTexelMapping) {
  kxTexturedBox* box = kxTexturedBox::Create(16.0f, 8.0f, false, tbpNormal);
  ASSERT_NE(box, nullptr);
  box->SetPosition(1, 2, 3);
  // Texels 10..49 of 64 columns, 8..23 of 32 rows; one texel of margin.
  ASSERT_TRUE(vimraTrimBoxToTexels(box, vimraTexelRect_s{10, 8, 49, 23}, 64, 32));
  for (unsigned long long i = 0; i < box->GetVertexArraySize(); ++i) {
    const float* p = box->GetVertexArray()[i];
    const float* t = box->GetTexCoordArray()[i];
    EXPECT_FLOAT_EQ(p[0], t[0] * 16.0f);
    EXPECT_FLOAT_EQ(p[1], t[1] * 8.0f);
    EXPECT_TRUE(t[0] == 9.0f / 64 || t[0] == 51.0f / 64) << t[0];
    EXPECT_TRUE(t[1] == 7.0f / 32 || t[1] == 25.0f / 32) << t[1];
  }
  EXPECT_EQ(box->GetWidth(), 16.0f);
  float c[3];
  box->GetCenter(c);
  EXPECT_EQ(c[0], 1.0f);
  EXPECT_NE(box->GetVertexBuffer(), 0u);
  EXPECT_TRUE(kxTest::IsBuffer(box->GetVertexBuffer()));

  // Bounds at the picture's edges keep the edges (no margin past them).
  kxTexturedBox* whole = kxTexturedBox::Create(4.0f, 2.0f, false, tbpNormal);
  ASSERT_TRUE(vimraTrimBoxToTexels(whole, vimraTexelRect_s{0, 0, 63, 31}, 64, 32));
  for (unsigned long long i = 0; i < whole->GetVertexArraySize(); ++i) {
    const float* t = whole->GetTexCoordArray()[i];
    EXPECT_TRUE(t[0] == 0.0f || t[0] == 1.0f);
    EXPECT_TRUE(t[1] == 0.0f || t[1] == 1.0f);
  }
  delete whole;
  delete box;
}

TEST_F(VisibleAreaGL, WhatCannotBeTrimmedStaysAsItWas) {
  kxTexturedBox* flipped = kxTexturedBox::Create(4.0f, 4.0f, false, tbpFlipped);
  std::vector<float> before = Corners(flipped);
  EXPECT_FALSE(vimraTrimBoxToTexels(flipped, vimraTexelRect_s{1, 1, 2, 2}, 4, 4));
  EXPECT_EQ(Corners(flipped), before);

  kxTexturedBox* box = kxTexturedBox::Create(4.0f, 4.0f, false, tbpNormal);
  before = Corners(box);
  EXPECT_FALSE(vimraTrimBoxToTexels(box, vimraTexelRect_s{1, 1, 4, 2}, 4, 4));   // past the right
  EXPECT_FALSE(vimraTrimBoxToTexels(box, vimraTexelRect_s{-1, 1, 2, 2}, 4, 4));  // before the left
  EXPECT_FALSE(vimraTrimBoxToTexels(box, vimraTexelRect_s{2, 1, 1, 2}, 4, 4));   // empty
  EXPECT_FALSE(vimraTrimBoxToTexels(box, vimraTexelRect_s{1, 1, 2, 2}, 0, 4));
  EXPECT_FALSE(vimraTrimBoxToTexels(nullptr, vimraTexelRect_s{1, 1, 2, 2}, 4, 4));
  EXPECT_EQ(Corners(box), before);

  // Trimmed once, the box is no longer the plain quad: a second trim with
  // other bounds would lose the first one's mapping, so it is refused.
  ASSERT_TRUE(vimraTrimBoxToTexels(box, vimraTexelRect_s{1, 1, 1, 1}, 8, 8));
  before = Corners(box);
  EXPECT_FALSE(vimraTrimBoxToTexels(box, vimraTexelRect_s{2, 2, 2, 2}, 8, 8));
  EXPECT_EQ(Corners(box), before);

  // No texture, or a picture with nothing visible: nothing to trim to.
  kxTexturedBox* bare = kxTexturedBox::Create(4.0f, 4.0f, false, tbpNormal);
  before = Corners(bare);
  EXPECT_FALSE(vimraTrimBoxToPicture(bare));
  std::vector<uint8_t> clear(16 * 16 * 4, 0);
  GLuint empty = Upload(clear, 16, 16);
  bare->SetTextureID(empty);
  EXPECT_FALSE(vimraTrimBoxToPicture(bare));
  EXPECT_EQ(Corners(bare), before);
  glDeleteTextures(1, &empty);
  delete bare;
  delete box;
  delete flipped;
}

TEST_F(VisibleAreaGL, TrimmedCloudDrawsTheSamePixels) {
  const int w = 64, h = 32;
  GLuint texture = Upload(CloudPicture(w, h), w, h);
  kxTexturedBox* plain = kxTexturedBox::Create(16.0f, 8.0f, false, tbpNormal);
  kxTexturedBox* trimmed = kxTexturedBox::Create(16.0f, 8.0f, false, tbpNormal);
  plain->SetTextureID(texture);
  trimmed->SetTextureID(texture);
  ASSERT_TRUE(vimraTrimBoxToPicture(trimmed));
  // The blob spans about a third of the picture each way.
  EXPECT_GT(trimmed->GetTexCoordArray()[1][0], 0.2f);

  // Blended over a backdrop in perspective, tilted, magnified as the game
  // shows its clouds; then the same with the trimmed box.
  auto draw = [](kxTexturedBox* box) {
    kxTest::Framebuffer fb(160, 90);
    glClearColor(0.3f, 0.5f, 0.7f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustum(-0.1, 0.1, -0.056, 0.056, 0.1, 100.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glRotatef(7.0f, 0.3f, 1.0f, 0.2f);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    box->SetPosition(-9.0f, -3.5f, -9.0f);
    box->Draw();
    glDisable(GL_BLEND);
    return fb.Pixels();
  };
  std::vector<uint8_t> before = draw(plain);
  std::vector<uint8_t> after = draw(trimmed);
  ASSERT_EQ(before.size(), after.size());
  int differing = 0, changedByBlob = 0;
  for (size_t i = 0; i < before.size(); ++i) {
    const int d = std::abs(int(before[i]) - int(after[i]));
    EXPECT_LE(d, 1) << "byte " << i;
    differing += d != 0;
  }
  // The picture did show: some pixels differ from the clear colour.
  for (size_t i = 0; i + 3 < before.size(); i += 4) {
    changedByBlob += before[i] != 77 && before[i] != 76;
  }
  EXPECT_GT(changedByBlob, 100);
  EXPECT_LT(differing, int(before.size() / 200));
  delete plain;
  delete trimmed;
  glDeleteTextures(1, &texture);
}

namespace {

const float kIdentity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

bool Covers(float x0, float y0, float x1, float y1, float margin, bool clockwise = false) {
  float corners[4][3] = {{x0, y0, 0}, {x1, y0, 0}, {x1, y1, 0}, {x0, y1, 0}};
  if (clockwise) std::swap(corners[1], corners[3]);
  return vimraQuadCoversViewport(kIdentity, kIdentity, corners, margin);
}

// The game's far view: its projection at `aspect`, the camera pose scaled
// by one hundredth as the backdrop sees it, then the backdrop's position.
bool BackdropCovers(float aspect, const float position[3], const float angle[3]) {
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  const float top = tanf(0.5235988f) * 0.1f;
  glFrustum(-aspect * top, aspect * top, -top, top, double(0.1f), 10000.0);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glRotatef(angle[0] * 0.01f, 0, 0, 1);
  glRotatef(angle[2] * 0.01f, 1, 0, 0);
  glRotatef(angle[1] * 0.01f, 0, 0, 1);
  glTranslatef(-position[0] * 0.01f, -position[1] * 0.01f, -position[2] * 0.01f);
  float projection[16], modelview[16];
  glGetFloatv(GL_PROJECTION_MATRIX, projection);
  glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
  const float corners[4][3] = {{-12, -6, -10}, {12, -6, -10}, {12, 8, -10}, {-12, 8, -10}};
  return vimraQuadCoversViewport(projection, modelview, corners, 0.02f);
}

}  // namespace

TEST(vimraVisibleAreaTest, QuadCoveringTheViewport) {
  EXPECT_TRUE(Covers(-2, -2, 2, 2, 0.0f));
  EXPECT_TRUE(Covers(-2, -2, 2, 2, 0.0f, true));  // either winding
  EXPECT_TRUE(Covers(-1.2f, -1.2f, 1.2f, 1.2f, 0.1f));
  EXPECT_FALSE(Covers(-1.2f, -1.2f, 1.2f, 1.2f, 0.3f));  // not with that to spare
  EXPECT_FALSE(Covers(-0.9f, -2, 2, 2, 0.0f));           // the left edge shows
  EXPECT_FALSE(Covers(-2, -2, 2, 0.5f, 0.0f));           // the top shows
  EXPECT_FALSE(Covers(-1, -1, 1, 1, 0.0f));              // exactly the edge is not inside
  EXPECT_FALSE(Covers(0, 0, 0, 0, 0.0f));                // no area

  // A corner behind the eye (w = 0 here) cannot be projected: not covered.
  float behind[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 1, 0, 0, 0, 0};  // w = z
  const float corners[4][3] = {{-5, -5, 1}, {5, -5, 1}, {5, 5, 1}, {-5, 5, 0}};
  EXPECT_FALSE(vimraQuadCoversViewport(behind, kIdentity, corners, 0.0f));
  EXPECT_FALSE(vimraQuadCoversViewport(nullptr, kIdentity, corners, 0.0f));
}

TEST_F(VisibleAreaGL, BackdropCoversTheGamesViews) {
  const float menuPosition[3] = {-4.056069f, -7.2544f, 11.639397f};
  const float menuAngle[3] = {0.0f, 22.209955f, -34.696114f};
  const float tablePosition[3] = {0.0f, 0.0f, 20.0f / (16.0f / 9.0f)};
  const float level[3] = {0.0f, 0.0f, 0.0f};
  EXPECT_TRUE(BackdropCovers(16.0f / 9.0f, menuPosition, menuAngle));
  EXPECT_TRUE(BackdropCovers(16.0f / 9.0f, tablePosition, level));
  EXPECT_TRUE(BackdropCovers(4.0f / 3.0f, menuPosition, menuAngle));
  // A very wide window shows past the backdrop's sides: the clear is needed.
  EXPECT_FALSE(BackdropCovers(32.0f / 9.0f, tablePosition, level));
}

namespace {

// One triangle in the z = 0 plane, counter-clockwise seen from +z, with
// every normal `nz` along z.
void AppendTriangle(kxVertexArray* mesh, float x, bool clockwise, float nz) {
  const float pts[3][2] = {{x, 0}, {x + 1, 0}, {x, 1}};
  for (int k = 0; k < 3; ++k) {
    const int at = clockwise ? (3 - k) % 3 : k;
    mesh->AppendVertex(pts[at][0], pts[at][1], 0.0f);
    mesh->AppendNormal(0.0f, 0.0f, nz);
  }
}

std::string PackPath() {
  const char* bin = getenv("KX_BIN_DIR");
  return std::string(bin != nullptr ? bin : ".") + "/vimradata.bin";
}

}  // namespace

TEST_F(VisibleAreaGL, FacesPointOutwardOnlyWhenEveryTriangleAgrees) {
  kxVertexArray* mesh = kxVertexArray::Create(GL_TRIANGLES);
  EXPECT_FALSE(vimraFacesPointOutward(mesh));  // nothing to judge
  AppendTriangle(mesh, 0, false, 1.0f);
  AppendTriangle(mesh, 2, true, -1.0f);  // turned over, and so is its normal
  EXPECT_TRUE(vimraFacesPointOutward(mesh));
  // A triangle without area shows nothing and decides nothing.
  mesh->AppendVertex(0, 0, 0), mesh->AppendVertex(1, 1, 1), mesh->AppendVertex(2, 2, 2);
  for (int k = 0; k < 3; ++k) mesh->AppendNormal(0, 0, -1);
  EXPECT_TRUE(vimraFacesPointOutward(mesh));
  // One triangle wound against its normals spoils the whole mesh.
  AppendTriangle(mesh, 4, true, 1.0f);
  EXPECT_FALSE(vimraFacesPointOutward(mesh));
  delete mesh;

  // Normals missing: no way to tell.
  kxVertexArray* bare = kxVertexArray::Create(GL_TRIANGLES);
  bare->AppendVertex(0, 0, 0), bare->AppendVertex(1, 0, 0), bare->AppendVertex(0, 1, 0);
  EXPECT_FALSE(vimraFacesPointOutward(bare));
  EXPECT_FALSE(vimraFacesPointOutward(nullptr));
  delete bare;
}

TEST_F(VisibleAreaGL, TheCardMeshesOfThePackMayBeCulled) {
  kxResource pack;
  ASSERT_TRUE(pack.ReadFromFile(PackPath().c_str())) << PackPath();
  for (const std::string& name : {std::string(vimraKeyCardMesh), vimraLowKey(vimraKeyCardMesh)}) {
    const char* key = name.c_str();
    kxVertexArray* card = kxVertexArray::Create(GL_TRIANGLES);
    ASSERT_TRUE(card->LoadFromCrunchedMemoryBlock(pack.Get(key))) << key;
    EXPECT_GT(card->GetVertexArraySize(), 12u) << key;
    EXPECT_TRUE(vimraFacesPointOutward(card)) << key;
    delete card;
  }
}
