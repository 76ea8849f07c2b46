// OBJ files as other tools write them, read by kxVertexArray::LoadFromObjFile:
// a scanned mesh (the Stanford bunny, converted from the npm package "bunny"
// by data/bunny_to_obj.py), exporter output with quads, groups, materials,
// smoothing groups, CRLF line ends and trailing blanks, relative indices, and
// faces in every form. Expected values come from reading the files here with
// an independent line parser, not from the loader.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "graphics/kxVertexArray.h"

namespace {

std::string DataFile(const char* name) {
  const char* source = std::getenv("KX_SOURCE_DIR");
  return std::string(source != nullptr ? source : "../..") + "/tests/engine/graphics/data/" + name;
}

struct Vec3 {
  float x, y, z;
};

// The "v", "vn" and "vt" lines of a file, parsed with stream extraction.
struct ObjLists {
  std::vector<Vec3> positions, normals;
  std::vector<Vec3> texCoords;  // z unused
};

ObjLists ReadLists(const std::string& path) {
  ObjLists lists;
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream words(line);
    std::string tag;
    words >> tag;
    if (line.empty() || line[0] != tag[0]) continue;  // indented lines are not read
    Vec3 v{0, 0, 0};
    if (tag == "v" && words >> v.x >> v.y >> v.z) lists.positions.push_back(v);
    if (tag == "vn" && words >> v.x >> v.y >> v.z) lists.normals.push_back(v);
    if (tag == "vt" && words >> v.x >> v.y) lists.texCoords.push_back(v);
  }
  return lists;
}

class Loaded {
 public:
  explicit Loaded(const char* name) : array(4) {
    ok = array.LoadFromObjFile(DataFile(name).c_str());
  }
  size_t Corners() { return size_t(array.GetVertexArraySize()); }
  const float* Position(size_t i) { return array.GetVertexArray()[i]; }
  const float* Normal(size_t i) { return array.GetNormalArray()[i]; }
  const float* TexCoord(size_t i) { return array.GetTexCoordArray()[i]; }
  kxVertexArray array;
  bool ok = false;
};

void ExpectNear3(const float* got, const Vec3& want, const std::string& what) {
  EXPECT_NEAR(got[0], want.x, 1e-6) << what;
  EXPECT_NEAR(got[1], want.y, 1e-6) << what;
  EXPECT_NEAR(got[2], want.z, 1e-6) << what;
}

// Dot product of the triangle's face normal (from its corner positions) with
// the normal stored at its first corner.
float FacingAgreement(Loaded& mesh, size_t triangle) {
  const float *a = mesh.Position(3 * triangle), *b = mesh.Position(3 * triangle + 1),
              *c = mesh.Position(3 * triangle + 2);
  const float u[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
  const float v[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
  const float n[3] = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2],
                      u[0] * v[1] - u[1] * v[0]};
  const float* stored = mesh.Normal(3 * triangle);
  return n[0] * stored[0] + n[1] * stored[1] + n[2] * stored[2];
}

}  // namespace

TEST(kxVertexArrayRealObj, TheScannedBunnyLoadsWhole) {
  const ObjLists lists = ReadLists(DataFile("bunny.obj"));
  ASSERT_EQ(lists.positions.size(), 1839u);
  Loaded bunny("bunny.obj");
  ASSERT_TRUE(bunny.ok);
  ASSERT_EQ(bunny.Corners(), 3u * 3674u);

  // Corners of the first and the last triangle, against the file's lists:
  // "f 817/817/817 590/590/590 1839/1839/1839" closes the file.
  const size_t last = bunny.Corners() - 3;
  ExpectNear3(bunny.Position(last), lists.positions[816], "last triangle, corner 1");
  ExpectNear3(bunny.Position(last + 1), lists.positions[589], "last triangle, corner 2");
  ExpectNear3(bunny.Position(last + 2), lists.positions[1838], "last triangle, corner 3");
  ExpectNear3(bunny.Normal(last + 2), lists.normals[1838], "last normal");
  EXPECT_NEAR(bunny.TexCoord(last + 1)[0], lists.texCoords[589].x, 1e-6);
  EXPECT_NEAR(bunny.TexCoord(last + 1)[1], lists.texCoords[589].y, 1e-6);

  // Every corner is one of the file's positions, and the bounding box of the
  // corners is that of the positions (every position is used).
  Vec3 low{1e9f, 1e9f, 1e9f}, high{-1e9f, -1e9f, -1e9f};
  for (const Vec3& p : lists.positions) {
    low = {std::fmin(low.x, p.x), std::fmin(low.y, p.y), std::fmin(low.z, p.z)};
    high = {std::fmax(high.x, p.x), std::fmax(high.y, p.y), std::fmax(high.z, p.z)};
  }
  Vec3 seenLow{1e9f, 1e9f, 1e9f}, seenHigh{-1e9f, -1e9f, -1e9f};
  for (size_t i = 0; i < bunny.Corners(); ++i) {
    const float* p = bunny.Position(i);
    seenLow = {std::fmin(seenLow.x, p[0]), std::fmin(seenLow.y, p[1]), std::fmin(seenLow.z, p[2])};
    seenHigh = {std::fmax(seenHigh.x, p[0]), std::fmax(seenHigh.y, p[1]),
                std::fmax(seenHigh.z, p[2])};
  }
  ExpectNear3(&seenLow.x, low, "lowest corner");
  ExpectNear3(&seenHigh.x, high, "highest corner");

  // The normals, averaged around each position, face the way the triangles
  // wind nearly everywhere on a closed scan; a loader that mixed up the
  // corner fields would not agree this well.
  size_t agreeing = 0;
  for (size_t t = 0; t < bunny.Corners() / 3; ++t) agreeing += FacingAgreement(bunny, t) > 0.0f;
  EXPECT_GT(agreeing, bunny.Corners() / 3 * 95 / 100);
}

TEST(kxVertexArrayRealObj, QuadsFromAModellerGiveTheirFirstTriangle) {
  const ObjLists lists = ReadLists(DataFile("cube_quads.obj"));
  ASSERT_EQ(lists.positions.size(), 8u);
  ASSERT_EQ(lists.texCoords.size(), 14u);
  Loaded cube("cube_quads.obj");
  ASSERT_TRUE(cube.ok);
  // Six quads, the fourth corner of each ignored; mtllib, usemtl, o and s
  // lines add nothing.
  ASSERT_EQ(cube.Corners(), 18u);
  // "f 1/1/1 5/2/1 7/3/1 3/4/1"
  ExpectNear3(cube.Position(0), lists.positions[0], "corner 1");
  ExpectNear3(cube.Position(1), lists.positions[4], "corner 2");
  ExpectNear3(cube.Position(2), lists.positions[6], "corner 3");
  EXPECT_NEAR(cube.TexCoord(1)[0], 0.875f, 1e-6);
  EXPECT_NEAR(cube.TexCoord(2)[1], 0.75f, 1e-6);
  // "f 6/11/6 5/10/6 1/1/6 2/13/6", the last face.
  ExpectNear3(cube.Position(15), lists.positions[5], "last face, corner 1");
  ExpectNear3(cube.Normal(17), lists.normals[5], "last face normal");
  for (size_t t = 0; t < 6; ++t) EXPECT_GT(FacingAgreement(cube, t), 0.0f) << "face " << t;
}

TEST(kxVertexArrayRealObj, GroupsSmoothingAndCrlfLinesOfAnotherExporter) {
  const ObjLists lists = ReadLists(DataFile("box_max.obj"));
  ASSERT_EQ(lists.positions.size(), 8u);
  Loaded box("box_max.obj");
  ASSERT_TRUE(box.ok);
  ASSERT_EQ(box.Corners(), 36u);
  // Three-component texture coordinates give their first two.
  EXPECT_FLOAT_EQ(box.TexCoord(1)[0], 1.0f);
  EXPECT_FLOAT_EQ(box.TexCoord(2)[1], 1.0f);
  // Every triangle winds the way its side's normal points.
  for (size_t t = 0; t < 12; ++t) {
    EXPECT_GT(FacingAgreement(box, t), 0.0f) << "triangle " << t;
    const float* n = box.Normal(3 * t);
    EXPECT_FLOAT_EQ(std::fabs(n[0]) + std::fabs(n[1]) + std::fabs(n[2]), 1.0f);
  }
}

TEST(kxVertexArrayRealObj, RelativeIndicesAreSkippedAndAbsoluteOnesStillLoad) {
  Loaded mesh("relative_indices.obj");
  ASSERT_TRUE(mesh.ok);
  // Only "f 4/1/1 5/2/1 6/3/1" counts from the start of the lists.
  ASSERT_EQ(mesh.Corners(), 3u);
  ExpectNear3(mesh.Position(0), {0, 0, 1}, "corner 1");
  ExpectNear3(mesh.Position(1), {1, 0, 1}, "corner 2");
  ExpectNear3(mesh.Position(2), {0, 1, 1}, "corner 3");
}

TEST(kxVertexArrayRealObj, OnlyWholeTrianglesOfKnownElementsLoad) {
  Loaded mesh("mixed_forms.obj");
  ASSERT_TRUE(mesh.ok);
  // Taken: "f 2/2/1 4/2/1 3/3/1" and the first three corners of the
  // five-corner face. Not taken: position-only, p//n and p/t faces, the
  // indented face, and the face naming a fifth position, which the file
  // never gives (the indented "v 9 9 9" is not read).
  ASSERT_EQ(mesh.Corners(), 6u);
  ExpectNear3(mesh.Position(0), {2, 0, 0}, "corner 1");
  ExpectNear3(mesh.Position(1), {2, 2, 0}, "corner 2");
  ExpectNear3(mesh.Position(2), {0, 2, 0}, "corner 3");
  EXPECT_FLOAT_EQ(mesh.TexCoord(2)[1], 1.0f);
  ExpectNear3(mesh.Normal(1), {0, 0, 1}, "normal");
  ExpectNear3(mesh.Position(5), {0, 2, 0}, "five-corner face, corner 3");
}
