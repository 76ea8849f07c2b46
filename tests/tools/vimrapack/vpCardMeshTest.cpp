#include <gtest/gtest.h>

#include "vpCardMesh.h"
#include "vpTestSupport.h"

namespace {

// Builds the card, reads it back with the engine's reader and checks it;
// returns its face count.
uint64_t Check(const vpCardShape& shape) {
  const std::vector<uint8_t> bytes = vpBuildCardMesh(shape).Serialize();
  kxMeshLists m;
  kxInitMeshLists(&m);
  EXPECT_TRUE(kxReadMeshBlock(bytes.data(), bytes.size(), &m));
  vpTest::CheckCard(m, shape.width, shape.height, shape.thickness, 1e-5f);
  const uint64_t faces = m.faceCount;
  kxFreeMeshLists(&m);
  return faces;
}

TEST(vpCardMesh, RoundedAndSquareCardsAreClosedLitAndUpright) {
  const vpCardShape rounded;
  vpCardShape square;
  square.cornerSegments = 0;
  EXPECT_GT(Check(rounded), Check(square));
  EXPECT_EQ(vpBuildCardMesh(square).FaceCount(), 16u);  // two fans of 4, 4 rim quads
  // After the game's scale of 5 the card fits the 2.5-unit table grid.
  EXPECT_NEAR(rounded.width * 5, 1.6f, 1e-5);
  EXPECT_NEAR(rounded.height * 5, 2.3f, 1e-5);
}

TEST(vpMesh, BlockLayoutIsNormalsTexCoordsPositionsFaces) {
  vpMesh mesh;
  mesh.AddPosition(1, 2, 3);
  mesh.AddNormal(0, 0, 1);
  mesh.AddTexCoord(0.25f, 0.75f);
  mesh.AddFace({1, 1, 1}, {1, 1, 1}, {1, 1, 1});
  const std::vector<uint8_t> b = mesh.Serialize();
  ASSERT_EQ(b.size(), 16u + 12 + 8 + 12 + 36);
  // Each list's count leads it: N, T after one normal, V after one texture
  // coordinate, F after one position; indices are one-based.
  for (size_t at : {0, 16, 28, 44, 48}) EXPECT_EQ(b[at], 1) << at;
}

}  // namespace
