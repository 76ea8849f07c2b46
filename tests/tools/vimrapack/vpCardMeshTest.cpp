#include <gtest/gtest.h>

#include <cmath>

#include "graphics/kxMeshReader.h"
#include "vpCardMesh.h"

namespace {

struct Loaded {
  kxMeshLists lists;
  Loaded() { kxInitMeshLists(&lists); }
  ~Loaded() { kxFreeMeshLists(&lists); }
};

void Sub(const float* a, const float* b, float* out) {
  for (int i = 0; i < 3; ++i) out[i] = a[i] - b[i];
}

// Reads the mesh back with the engine's reader and checks the geometry a
// lit, turning card depends on.
void CheckCard(const vpCardShape& shape) {
  const std::vector<uint8_t> bytes = vpBuildCardMesh(shape).Serialize();
  Loaded m;
  ASSERT_TRUE(kxReadMeshBlock(bytes.data(), bytes.size(), &m.lists));
  ASSERT_GT(m.lists.faceCount, 0u);
  float lo[3] = {1e9f, 1e9f, 1e9f}, hi[3] = {-1e9f, -1e9f, -1e9f};
  for (uint64_t i = 0; i < m.lists.vertexCount; ++i)
    for (int k = 0; k < 3; ++k) {
      lo[k] = std::fmin(lo[k], m.lists.vertices[i][k]);
      hi[k] = std::fmax(hi[k], m.lists.vertices[i][k]);
    }
  EXPECT_NEAR(hi[0] - lo[0], shape.width, 1e-5);
  EXPECT_NEAR(hi[1] - lo[1], shape.height, 1e-5);
  EXPECT_NEAR(hi[2] - lo[2], shape.thickness, 1e-5);
  EXPECT_NEAR(hi[0] + lo[0], 0.0f, 1e-5);  // centred

  for (uint64_t f = 0; f < m.lists.faceCount; ++f) {
    const TFace_s& face = m.lists.faces[f];
    ASSERT_TRUE(kxFaceFits(&face, m.lists.vertexCount, m.lists.normalCount, m.lists.texCoordCount));
    const float* p[3];
    float centroid[3] = {0, 0, 0};
    for (int c = 0; c < 3; ++c) {
      p[c] = m.lists.vertices[face.vertex[c]];
      for (int k = 0; k < 3; ++k) centroid[k] += p[c][k] / 3;
    }
    float e1[3], e2[3];
    Sub(p[1], p[0], e1);
    Sub(p[2], p[0], e2);
    const float cross[3] = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2],
                            e1[0] * e2[1] - e1[1] * e2[0]};
    for (int c = 0; c < 3; ++c) {
      const float* n = m.lists.normals[face.normal[c]];
      EXPECT_NEAR(std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]), 1.0f, 1e-5);
      // The card is convex and centred: outward normals point away from
      // the centre, and the winding agrees with them.
      EXPECT_GT(n[0] * centroid[0] + n[1] * centroid[1] + n[2] * centroid[2], 0.0f) << "face " << f;
      EXPECT_GT(n[0] * cross[0] + n[1] * cross[1] + n[2] * cross[2], 0.0f) << "face " << f;
      const float* t = m.lists.texCoords[face.texCoord[c]];
      EXPECT_GE(t[0], 0.0f);
      EXPECT_LE(t[0], 1.0f);
      EXPECT_GE(t[1], 0.0f);
      EXPECT_LE(t[1], 1.0f);
      // Faces: picture upright (t grows with y); the front reads left to
      // right in the left half, the back (seen from behind) in the right.
      const float* v = p[c];
      if (std::fabs(n[2]) > 0.99f) {
        EXPECT_NEAR(t[1], v[1] / shape.height + 0.5f, 1e-5);
        const float u = v[0] / shape.width + 0.5f;
        EXPECT_NEAR(t[0], n[2] > 0 ? 0.5f * u : 1.0f - 0.5f * u, 1e-5);
      }
    }
  }
}

TEST(vpCardMesh, RoundedCardIsClosedLitAndUpright) {
  vpCardShape shape;
  CheckCard(shape);
  // After the game's scale of 5 the card fits the 2.5-unit table grid.
  EXPECT_NEAR(shape.width * 5, 1.6f, 1e-5);
  EXPECT_NEAR(shape.height * 5, 2.3f, 1e-5);
}

TEST(vpCardMesh, SquareCardHasFewerTriangles) {
  vpCardShape square;
  square.cornerSegments = 0;
  CheckCard(square);
  const vpCardShape rounded;
  EXPECT_LT(vpBuildCardMesh(square).FaceCount(), vpBuildCardMesh(rounded).FaceCount());
  EXPECT_EQ(vpBuildCardMesh(square).FaceCount(), 16u);  // two fans of 4, 4 rim quads
}

TEST(vpMesh, BlockLayoutIsNormalsTexCoordsPositionsFaces) {
  vpMesh mesh;
  mesh.AddPosition(1, 2, 3);
  mesh.AddNormal(0, 0, 1);
  mesh.AddTexCoord(0.25f, 0.75f);
  mesh.AddFace({1, 1, 1}, {1, 1, 1}, {1, 1, 1});
  const std::vector<uint8_t> b = mesh.Serialize();
  ASSERT_EQ(b.size(), 16u + 12 + 8 + 12 + 36);
  EXPECT_EQ(b[0], 1);  // N
  EXPECT_EQ(b[16], 1); // T after one normal
  EXPECT_EQ(b[28], 1); // V after one texture coordinate
  EXPECT_EQ(b[44], 1); // F after one position
  EXPECT_EQ(b[48], 1); // first index, one-based
}

}  // namespace
