// The pack's entries through the engine's own GL loaders, as the game loads
// them.
#include <gtest/gtest.h>

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
