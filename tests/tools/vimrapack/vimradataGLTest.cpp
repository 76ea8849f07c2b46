// The pack's meshes and fonts through the engine's own GL loaders, as the
// game loads them.
#include <gtest/gtest.h>

#include "graphics/kxFont.h"
#include "graphics/kxVertexArray.h"
#include "support/kxGLTestContext.h"
#include "vimraPackKeys.h"
#include "vpTestSupport.h"

namespace {

class vimradataGL : public kxTest::GLTest {
 protected:
  void SetUp() override {
    kxTest::GLTest::SetUp();
    ASSERT_TRUE(pack.ReadFromFile(vpTest::kPackPath.c_str()));
  }
  kxResource pack;
};

TEST_F(vimradataGL, MeshesLoadAsLitCardsOfTheTableSize) {
  uint64_t faces[2] = {0, 0};
  for (int k = 0; k < 2; ++k) {
    const std::string name = k == 0 ? vimraKeyCardMesh : vimraLowKey(vimraKeyCardMesh);
    const char* key = name.c_str();
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

TEST_F(vimradataGL, FontsLoadAboutSixteenAndElevenPixelsHigh) {
  kxFont large(ftTopDown), small(ftTopDown);
  ASSERT_TRUE(large.LoadFromCrunchedMemoryBlock(pack.Get(vimraKeyLargeFont)));
  ASSERT_TRUE(small.LoadFromCrunchedMemoryBlock(pack.Get(vimraKeySmallFont)));
  EXPECT_TRUE(large.GetHeight() >= 13.0f && large.GetHeight() <= 20.0f) << large.GetHeight();
  EXPECT_TRUE(small.GetHeight() >= 8.0f && small.GetHeight() <= 14.0f) << small.GetHeight();
}

}  // namespace
