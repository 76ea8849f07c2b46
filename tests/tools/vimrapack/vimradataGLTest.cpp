// The pack's entries through the engine's own GL loaders, as the game loads
// them.
#include <gtest/gtest.h>

#include "graphics/kxFont.h"
#include "graphics/kxTGA.h"
#include "graphics/kxVertexArray.h"
#include "support/kxGLTestContext.h"
#include "vpTestSupport.h"

namespace {

class vimradataGL : public kxTest::GLTest {
 protected:
  void SetUp() override {
    kxTest::GLTest::SetUp();
    ASSERT_TRUE(pack.ReadFromFile(vpTest::PackPath().c_str()));
  }
  kxResource pack;
};

TEST_F(vimradataGL, MeshesLoadAsLitCardsOfTheTableSize) {
  uint64_t faces[2] = {0, 0};
  for (int k = 0; k < 2; ++k) {
    const char* key = k == 0 ? "box" : "box_low";
    SCOPED_TRACE(key);
    bool ok = false;
    const std::vector<uint8_t> bytes = vpTest::Expanded(pack, key, &ok);
    kxMeshLists m;
    kxInitMeshLists(&m);
    ASSERT_TRUE(ok && kxReadMeshBlock(bytes.data(), bytes.size(), &m));
    vpTest::CheckCard(m, 1.6f / 5, 2.3f / 5, 0.1f / 5, 0.01f);  // the game scales cards by 5
    faces[k] = m.faceCount;
    kxFreeMeshLists(&m);
    kxVertexArray* card = kxVertexArray::Create(4);
    card->SetMoveToCenter(true);
    ASSERT_TRUE(card->LoadFromCrunchedMemoryBlock(pack.Get(key)));
    EXPECT_EQ(card->GetVertexArraySize(), 3 * faces[k]);
    EXPECT_TRUE(card->GetVertexBuffer() && card->GetTexCoordBuffer() && card->GetNormalBuffer());
    delete card;
  }
  EXPECT_LT(faces[1], faces[0]);
}

TEST_F(vimradataGL, CardShowsItsPictureUprightInFrontAndTheBackFromBehind) {
  kxTGAImage tex{};
  bool ok = false;
  const std::vector<uint8_t> bytes = vpTest::Expanded(pack, "texture_4", &ok);
  ASSERT_TRUE(ok && kxDecodeTGA(bytes.data(), bytes.size(), &tex) && tex.bytesPerPixel == 3);
  const int w = 64, h = 92;
  // Mean difference between the middle of the render and the texture's face
  // or back half, sampled upright or upside down (decoded rows: bottom first).
  auto difference = [&](const std::vector<uint8_t>& screen, bool backHalf, bool upsideDown) {
    double sum = 0;
    int n = 0;
    for (int y = h / 8; y < h - h / 8; ++y)
      for (int x = w / 8; x < w - w / 8; ++x) {
        const uint32_t u = uint32_t((x + 0.5) / w * tex.width / 2) + (backHalf ? tex.width / 2 : 0);
        const uint32_t v = uint32_t((y + 0.5) / h * tex.height);
        const uint8_t* t = tex.pixels + (size_t(upsideDown ? tex.height - 1 - v : v) * tex.width + u) * 3;
        for (int c = 0; c < 3; ++c, ++n) sum += std::abs(int(t[c]) - int(screen[size_t(y * w + x) * 4 + c]));
      }
    return sum / n;
  };
  for (const char* mesh : {"box", "box_low"})
    for (bool fromBehind : {false, true}) {
      SCOPED_TRACE(std::string(mesh) + (fromBehind ? " back" : " front"));
      kxTest::Framebuffer fb(w, h);
      ASSERT_TRUE(fb.IsComplete());
      kxTest::SetOrtho(-0.16f, 0.16f, -0.23f, 0.23f);  // the card fills the view, y up
      glEnable(GL_DEPTH_TEST);
      kxVertexArray* card = kxVertexArray::Create(4);
      ASSERT_TRUE(card->LoadFromCrunchedMemoryBlock(pack.Get(mesh)));
      card->TextureFromCrunchedMemoryBlock(pack.Get("texture_4"));
      float angle[3] = {0, fromBehind ? 180.0f : 0.0f, 0};
      card->SetAngle(angle);
      card->SetColor(1, 1, 1, 1);
      card->Draw();
      const std::vector<uint8_t> px = fb.Pixels();
      delete card;
      glDisable(GL_DEPTH_TEST);
      const double upright = difference(px, fromBehind, false);
      EXPECT_LT(upright, 12.0);
      EXPECT_GT(difference(px, fromBehind, true), 2 * upright + 10);
      EXPECT_GT(difference(px, !fromBehind, false), 2 * upright + 10);
    }
  kxFreeTGAImage(&tex);
}

TEST_F(vimradataGL, FontsLoadWithUsableHeights) {
  kxFont large(ftTopDown), small(ftTopDown);
  ASSERT_TRUE(large.LoadFromCrunchedMemoryBlock(pack.Get("arial")));
  ASSERT_TRUE(small.LoadFromCrunchedMemoryBlock(pack.Get("ss10")));
  // About 16 and 11 pixels, the large one clearly the larger.
  EXPECT_TRUE(large.GetHeight() >= 13.0f && large.GetHeight() <= 20.0f) << large.GetHeight();
  EXPECT_TRUE(small.GetHeight() >= 8.0f && small.GetHeight() <= 14.0f) << small.GetHeight();
  EXPECT_GT(large.GetWidth(u"Zażółć gęślą jaźń"), small.GetWidth(u"Zażółć gęślą jaźń"));
}

}  // namespace
