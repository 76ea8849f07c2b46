// The pack's entries through the engine's own GL loaders, as the game loads
// them.
#include <gtest/gtest.h>

#include <cstdlib>

#include "graphics/kxFont.h"
#include "graphics/kxMeshReader.h"
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

TEST_F(vimradataGL, MeshesLoadIntoVertexArrays) {
  for (const char* key : {"box", "box_low"}) {
    bool ok = false;
    const std::vector<uint8_t> bytes = vpTest::Expanded(pack, key, &ok);
    ASSERT_TRUE(ok);
    kxMeshLists lists;
    kxInitMeshLists(&lists);
    ASSERT_TRUE(kxReadMeshBlock(bytes.data(), bytes.size(), &lists));
    const uint64_t faces = lists.faceCount;
    kxFreeMeshLists(&lists);

    kxVertexArray* card = kxVertexArray::Create(4);
    ASSERT_NE(card, nullptr);
    card->SetMoveToCenter(true);
    ASSERT_TRUE(card->LoadFromCrunchedMemoryBlock(pack.Get(key))) << key;
    EXPECT_EQ(card->GetVertexArraySize(), 3 * faces) << key;
    EXPECT_NE(card->GetVertexBuffer(), 0u);
    EXPECT_NE(card->GetTexCoordBuffer(), 0u);
    EXPECT_NE(card->GetNormalBuffer(), 0u);
    delete card;
  }
}

// Mean difference between a rendered card and the card texture's face (or
// back) half, sampled upright or upside down.
double Difference(const std::vector<uint8_t>& screen, int sw, int sh, const kxTGAImage& tex,
                  bool backHalf, bool upsideDown) {
  double sum = 0;
  int n = 0;
  const uint32_t half = tex.width / 2;
  // Stay off the rim, where the rounded corners and the edge show.
  for (int y = sh / 8; y < sh - sh / 8; ++y)
    for (int x = sw / 8; x < sw - sw / 8; ++x) {
      const uint32_t u = uint32_t((x + 0.5) / sw * half) + (backHalf ? half : 0);
      uint32_t v = uint32_t((y + 0.5) / sh * tex.height);  // decoded rows: bottom first
      if (upsideDown) v = tex.height - 1 - v;
      const uint8_t* t = tex.pixels + (size_t(v) * tex.width + u) * tex.bytesPerPixel;
      const uint8_t* s = screen.data() + (size_t(y) * size_t(sw) + size_t(x)) * 4;
      for (int c = 0; c < 3; ++c) sum += std::abs(int(t[c]) - int(s[c]));
      n += 3;
    }
  return sum / n;
}

TEST_F(vimradataGL, CardShowsItsPictureUprightInFrontAndTheBackFromBehind) {
  kxTGAImage tex{};
  bool ok = false;
  const std::vector<uint8_t> bytes = vpTest::Expanded(pack, "texture_4", &ok);
  ASSERT_TRUE(ok && kxDecodeTGA(bytes.data(), bytes.size(), &tex));
  for (const char* mesh : {"box", "box_low"})
    for (bool fromBehind : {false, true}) {
      SCOPED_TRACE(std::string(mesh) + (fromBehind ? " back" : " front"));
      const int w = 64, h = 92;
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
      const double upright = Difference(px, w, h, tex, fromBehind, false);
      const double flipped = Difference(px, w, h, tex, fromBehind, true);
      const double otherSide = Difference(px, w, h, tex, !fromBehind, false);
      EXPECT_LT(upright, 12.0);
      EXPECT_GT(flipped, 2 * upright + 10);
      EXPECT_GT(otherSide, 2 * upright + 10);
    }
  kxFreeTGAImage(&tex);
}

TEST_F(vimradataGL, PicturesBecomeTexturesOfTheirSize) {
  struct Expect {
    const char* key;
    int w, h;
  };
  for (const Expect& e : {Expect{"texture_0", 512, 512}, Expect{"texture_20_low", 128, 128},
                          Expect{"texture_star_01", 128, 128}, Expect{"cloud02", 512, 256},
                          Expect{"vimra_logo", 512, 256}, Expect{"button_red_pushed", 128, 32}}) {
    const unsigned int tex = TextureFromCrunchedMemoryBlockTGA(pack.Get(e.key));
    ASSERT_NE(tex, 0u) << e.key;
    int w = 0, h = 0;
    const std::vector<uint8_t> px = kxTest::ReadTexture(tex, GL_RGBA, &w, &h);
    EXPECT_EQ(w, e.w) << e.key;
    EXPECT_EQ(h, e.h) << e.key;
    EXPECT_EQ(px.size(), size_t(w) * size_t(h) * 4);
    glDeleteTextures(1, &tex);
  }
}

TEST_F(vimradataGL, FontsLoadWithUsableHeights) {
  kxFont large(ftTopDown), small(ftTopDown);
  ASSERT_TRUE(large.LoadFromCrunchedMemoryBlock(pack.Get("arial")));
  ASSERT_TRUE(small.LoadFromCrunchedMemoryBlock(pack.Get("ss10")));
  // About 16 and 11 pixels, the large one clearly the larger.
  EXPECT_GE(large.GetHeight(), 13.0f);
  EXPECT_LE(large.GetHeight(), 20.0f);
  EXPECT_GE(small.GetHeight(), 8.0f);
  EXPECT_LE(small.GetHeight(), 14.0f);
  EXPECT_GT(large.GetWidth(u"Zażółć gęślą jaźń"), small.GetWidth(u"Zażółć gęślą jaźń"));
  EXPECT_GT(small.GetWidth(u"ł"), 0.0f);
}

}  // namespace
