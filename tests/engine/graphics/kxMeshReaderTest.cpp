#include "graphics/kxMeshReader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "graphics/kxVertexArray.h"
#include "kxGraphicsTestData.h"
#include "support/kxGLTestContext.h"

using namespace kxGfxTest;

namespace {

// One normal, three texture coordinates, three positions, one face.
Bytes TriangleBlock() {
  return MeshBlock({{0, 0, 1}}, {{0, 0}, {1, 0}, {0, 1}}, {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}},
                   {{1, 2, 3, 1, 1, 1, 1, 2, 3}});
}

struct Lists {
  kxMeshLists l;
  Lists() { kxInitMeshLists(&l); }
  ~Lists() { kxFreeMeshLists(&l); }
};

std::vector<float> Flat(float (*list)[3], uint64_t n) {
  std::vector<float> out;
  for (uint64_t i = 0; list && i < n; ++i) out.insert(out.end(), list[i], list[i] + 3);
  return out;
}
std::vector<float> Flat2(float (*list)[2], uint64_t n) {
  std::vector<float> out;
  for (uint64_t i = 0; list && i < n; ++i) out.insert(out.end(), list[i], list[i] + 2);
  return out;
}

}  // namespace

// --- Mesh block reader ---------------------------------------------------------

TEST(kxMeshBlockReader, ReadsSectionsInBlockOrderWithZeroBasedFaces) {
  Bytes b = TriangleBlock();
  ASSERT_EQ(b.size(), 16u + 12 + 8 * 3 + 12 * 3 + 36);
  Lists m;
  ASSERT_TRUE(kxReadMeshBlock(b.data(), b.size(), &m.l));
  ASSERT_EQ(m.l.normalCount, 1u);
  ASSERT_EQ(m.l.texCoordCount, 3u);
  ASSERT_EQ(m.l.vertexCount, 3u);
  ASSERT_EQ(m.l.faceCount, 1u);
  EXPECT_EQ(Flat(m.l.normals, 1), (std::vector<float>{0, 0, 1}));
  EXPECT_EQ(Flat2(m.l.texCoords, 3), (std::vector<float>{0, 0, 1, 0, 0, 1}));
  EXPECT_EQ(Flat(m.l.vertices, 3), (std::vector<float>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
  const TFace_s& f = m.l.faces[0];
  EXPECT_EQ(f.vertex[0], 0);
  EXPECT_EQ(f.vertex[2], 2);
  EXPECT_EQ(f.normal[1], 0);
  EXPECT_EQ(f.texCoord[1], 1);
  // Bytes after the last face are ignored.
  b.insert(b.end(), {1, 2, 3});
  Lists extra;
  EXPECT_TRUE(kxReadMeshBlock(b.data(), b.size(), &extra.l));
  EXPECT_EQ(extra.l.faceCount, 1u);
}

TEST(kxMeshBlockReader, CountsThatDoNotFitRejectTheBlock) {
  Bytes good = TriangleBlock();
  Lists m;
  // Every truncation of a valid block is rejected.
  for (size_t n = 0; n < good.size(); ++n) {
    EXPECT_FALSE(kxReadMeshBlock(good.data(), n, &m.l)) << n << " bytes";
    EXPECT_EQ(m.l.vertices, nullptr);
    EXPECT_EQ(m.l.faceCount, 0u);
  }
  // Huge counts in a small block: no allocation is attempted.
  for (int section = 0; section < 4; ++section) {
    Bytes b;
    for (int i = 0; i < 4; ++i) PutU32(&b, i == section ? 0xFFFFFFFFu : 0);
    EXPECT_FALSE(kxReadMeshBlock(b.data(), b.size(), &m.l)) << "section " << section;
  }
  EXPECT_FALSE(kxReadMeshBlock(nullptr, 100, &m.l));
  // An empty mesh is a valid block.
  Bytes empty = MeshBlock({}, {}, {}, {});
  EXPECT_TRUE(kxReadMeshBlock(empty.data(), empty.size(), &m.l));
  EXPECT_EQ(m.l.faces, nullptr);
}

TEST(kxMeshBlockReader, StoredZeroAndHugeIndicesBecomeInvalid) {
  Bytes b = MeshBlock({{0, 0, 1}}, {{0, 0}}, {{0, 0, 0}},
                      {{0, 1, 1, 1, 1, 1, 1, 1, 1}, {1, 1, 0x80000001u, 1, 1, 1, 1, 1, 1},
                       {0xFFFFFFFFu, 1, 1, 1, 1, 1, 1, 1, 1}, {1, 1, 1, 1, 1, 1, 1, 1, 1}});
  Lists m;
  ASSERT_TRUE(kxReadMeshBlock(b.data(), b.size(), &m.l));
  ASSERT_EQ(m.l.faceCount, 4u);
  EXPECT_EQ(m.l.faces[0].vertex[0], -1);
  EXPECT_EQ(m.l.faces[1].vertex[2], -1);
  EXPECT_EQ(m.l.faces[2].vertex[0], -1);
  for (int i = 0; i < 3; ++i) {
    EXPECT_FALSE(kxFaceFits(&m.l.faces[i], 1, 1, 1)) << "face " << i;
  }
  EXPECT_TRUE(kxFaceFits(&m.l.faces[3], 1, 1, 1));
  EXPECT_FALSE(kxFaceFits(&m.l.faces[3], 1, 0, 1));  // no normals
  EXPECT_FALSE(kxFaceFits(&m.l.faces[3], 1, 1, 0));  // no texture coordinates
}

// --- OBJ reader ------------------------------------------------------------------

TEST(kxObjReader, StatementsAndTheirOrderOfTests) {
  Lists m;
  EXPECT_TRUE(kxReadObjLine("vn 0 1 0\n", &m.l));
  EXPECT_TRUE(kxReadObjLine("vt 0.5 0.25 9\n", &m.l));  // third component ignored
  EXPECT_TRUE(kxReadObjLine("v 1 2 3 1\n", &m.l));      // w ignored
  EXPECT_TRUE(kxReadObjLine("f 1/2/3 4/5/6 7/8/9 10/11/12\n", &m.l));  // fourth corner ignored
  EXPECT_EQ(Flat(m.l.normals, m.l.normalCount), (std::vector<float>{0, 1, 0}));
  EXPECT_EQ(Flat2(m.l.texCoords, m.l.texCoordCount), (std::vector<float>{0.5f, 0.25f}));
  EXPECT_EQ(Flat(m.l.vertices, m.l.vertexCount), (std::vector<float>{1, 2, 3}));
  ASSERT_EQ(m.l.faceCount, 1u);
  // P/T/N as written: vertex from P, texCoord from T, normal from N, minus 1.
  const TFace_s& f = m.l.faces[0];
  EXPECT_EQ(f.vertex[0], 0);
  EXPECT_EQ(f.vertex[1], 3);
  EXPECT_EQ(f.vertex[2], 6);
  EXPECT_EQ(f.texCoord[0], 1);
  EXPECT_EQ(f.texCoord[2], 7);
  EXPECT_EQ(f.normal[0], 2);
  EXPECT_EQ(f.normal[2], 8);
}

TEST(kxObjReader, OtherLinesAddNothing) {
  Lists m;
  for (const char* line :
       {"# comment v 1 2 3\n", "o Cube\n", "g group\n", "s 1\n", "usemtl red\n", "mtllib a.mtl\n",
        "\n", "", " v 1 2 3\n", "\tf 1/1/1 1/1/1 1/1/1\n", "vp 1 2 3\n"}) {
    EXPECT_FALSE(kxReadObjLine(line, &m.l)) << line;
  }
  EXPECT_EQ(m.l.vertexCount + m.l.normalCount + m.l.texCoordCount + m.l.faceCount, 0u);
}

TEST(kxObjReader, FacesInOtherFormsOrWithBadIndicesAreSkipped) {
  Lists m;
  for (const char* line :
       {"f 1 2 3\n", "f 1//1 2//2 3//3\n", "f 1/1 2/2 3/3\n", "f -1/-1/-1 -2/-2/-2 -3/-3/-3\n",
        "f 1/1/1 2/2/2\n", "f 0/1/1 1/1/1 1/1/1\n", "f 1/1/1 1/1/0 1/1/1\n",
        "f 99999999999/1/1 1/1/1 1/1/1\n", "f 2147483648/1/1 1/1/1 1/1/1\n", "f\n",
        "f 1/x/1 1/1/1 1/1/1\n"}) {
    EXPECT_FALSE(kxReadObjLine(line, &m.l)) << line;
  }
  EXPECT_EQ(m.l.faceCount, 0u);
  EXPECT_TRUE(kxReadObjLine("f 2147483647/1/1 1/1/1 1/1/1", &m.l));
  EXPECT_EQ(m.l.faces[0].vertex[0], 2147483646);
}

TEST(kxObjReader, NumbersThatDoNotAllParseSkipTheLine) {
  Lists m;
  for (const char* line : {"v 1 2\n", "v\n", "vn 1 x 3\n", "vt 0.5\n", "v a b c\n"}) {
    EXPECT_FALSE(kxReadObjLine(line, &m.l)) << line;
  }
  EXPECT_EQ(m.l.vertexCount + m.l.normalCount + m.l.texCoordCount, 0u);
}

TEST(kxObjReader, TextIsSplitLikeLinesOf511Characters) {
  Lists m;
  // A 600-character comment arrives in two pieces; the second piece starts
  // with "v" and so is read as a vertex statement.
  std::string text = "#" + std::string(510, ' ') + "v 1 2 3\n" + "v 4 5 6";
  EXPECT_EQ(kxReadObjText(text.data(), text.size(), &m.l), 2u);
  EXPECT_EQ(Flat(m.l.vertices, m.l.vertexCount), (std::vector<float>{1, 2, 3, 4, 5, 6}));
  // Embedded NUL bytes end what a line says; nothing is read beyond length.
  const char withNul[] = {'v', ' ', '7', ' ', '8', ' ', '9', '\0', '1', '\n', 'v', ' ', '1'};
  Lists n;
  EXPECT_EQ(kxReadObjText(withNul, sizeof withNul, &n.l), 1u);
}

// --- Loading into a vertex array -------------------------------------------------

namespace {

class Mesh : public kxVertexArray {
 public:
  Mesh() : kxVertexArray(GL_TRIANGLES) {}
  uint64_t FaceCount() const { return faceCount; }
  uint64_t NormalCount() const { return normalCount; }
  uint64_t TexCoordCount() const { return texCoordCount; }
  std::vector<float> V() { return Flat(GetVertexArray(), GetVertexArraySize()); }
  std::vector<float> N() { return Flat(GetNormalArray(), normalCount); }
  std::vector<float> T() { return Flat2(GetTexCoordArray(), texCoordCount); }
};

class kxMeshLoad : public kxTest::GLTest {
 protected:
  void Load(Mesh* m, const Bytes& bytes) {
    kxMemoryBlock* b = Block(bytes);
    m->LoadFromMemoryBlock(b);
    kxFreeMemoryBlock(b);
  }
};

}  // namespace

TEST_F(kxMeshLoad, BlockExpandsFacesIntoCornerLists) {
  Mesh m;
  Load(&m, TriangleBlock());
  ASSERT_EQ(m.GetVertexArraySize(), 3u);
  EXPECT_EQ(m.FaceCount(), 0u);
  EXPECT_EQ(m.V(), (std::vector<float>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
  EXPECT_EQ(m.N(), (std::vector<float>{0, 0, 1, 0, 0, 1, 0, 0, 1}));
  EXPECT_EQ(m.T(), (std::vector<float>{0, 0, 1, 0, 0, 1}));
  // The buffers hold the expanded lists.
  EXPECT_EQ(kxTest::ReadFloatBuffer(m.GetVertexBuffer(), 9), m.V());
  EXPECT_EQ(kxTest::ReadFloatBuffer(m.GetNormalBuffer(), 9), m.N());
  EXPECT_EQ(kxTest::ReadFloatBuffer(m.GetTexCoordBuffer(), 6), m.T());
}

TEST_F(kxMeshLoad, SharedPositionsAreRepeated) {
  Mesh m;
  Load(&m, MeshBlock({{0, 0, 1}}, {{0, 0}}, {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}},
                     {{1, 2, 3, 1, 1, 1, 1, 1, 1}, {1, 3, 4, 1, 1, 1, 1, 1, 1}}));
  ASSERT_EQ(m.GetVertexArraySize(), 6u);
  EXPECT_EQ(m.V(), (std::vector<float>{0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 0, 0, 1, 1, 0, 0, 1, 0}));
  EXPECT_EQ(m.NormalCount(), 6u);
  EXPECT_EQ(m.TexCoordCount(), 6u);
}

TEST_F(kxMeshLoad, LoadReplacesEarlierContentAndCentresOnRequest) {
  Mesh m;
  m.AppendVertex(100, 100, 100);
  m.AppendColor(1, 1, 1, 1);
  m.SetMoveToCenter(true);
  Load(&m, MeshBlock({{0, 0, 1}}, {{0, 0}}, {{2, 0, 0}, {6, 0, 0}, {6, 2, 0}},
                     {{1, 2, 3, 1, 1, 1, 1, 1, 1}}));
  ASSERT_EQ(m.GetVertexArraySize(), 3u);
  float p[3];
  m.GetCenter(p);
  EXPECT_EQ(p[0], 4.0f);
  EXPECT_EQ(p[1], 1.0f);
  EXPECT_EQ(m.V(), (std::vector<float>{-2, -1, 0, 2, -1, 0, 2, 1, 0}));
  EXPECT_EQ(kxTest::ReadFloatBuffer(m.GetVertexBuffer(), 9), m.V());
}

TEST_F(kxMeshLoad, FacesOutsideTheirListsAreSkipped) {
  Mesh m;
  Load(&m, MeshBlock({{0, 0, 1}}, {{0.5f, 0.5f}}, {{1, 1, 1}, {2, 2, 2}},
                     {{1, 2, 3, 1, 1, 1, 1, 1, 1},     // position 3 does not exist
                      {0, 1, 2, 1, 1, 1, 1, 1, 1},     // stored 0
                      {1, 2, 2, 1, 2, 1, 1, 1, 1},     // normal 2 does not exist
                      {1, 2, 2, 1, 1, 1, 1, 1, 9},     // texture coordinate 9
                      {2, 1, 2, 1, 1, 1, 1, 1, 1}}));  // the one good face
  EXPECT_EQ(m.V(), (std::vector<float>{2, 2, 2, 1, 1, 1, 2, 2, 2}));
  // Faces but no normals at all: nothing loads.
  Mesh bare;
  Load(&bare, MeshBlock({}, {{0, 0}}, {{1, 1, 1}}, {{1, 1, 1, 1, 1, 1, 1, 1, 1}}));
  EXPECT_EQ(bare.GetVertexArraySize(), 0u);
}

TEST_F(kxMeshLoad, RejectedBlocksLeaveTheArrayAsItWas) {
  Mesh m;
  Load(&m, TriangleBlock());
  unsigned vb = m.GetVertexBuffer();
  Bytes good = TriangleBlock();
  Load(&m, Bytes(good.begin(), good.end() - 1));
  m.LoadFromMemoryBlock(nullptr);
  EXPECT_EQ(m.GetVertexArraySize(), 3u);
  EXPECT_EQ(m.GetVertexBuffer(), vb);

  kxMemoryBlock* plain = Block(good);
  EXPECT_FALSE(m.LoadFromCrunchedMemoryBlock(plain));  // not crunched
  EXPECT_FALSE(m.LoadFromCrunchedMemoryBlock(nullptr));
  kxFreeMemoryBlock(plain);
  kxMemoryBlock* crunchedShort = Crunched(Bytes(good.begin(), good.begin() + 20));
  EXPECT_FALSE(m.LoadFromCrunchedMemoryBlock(crunchedShort));
  kxFreeMemoryBlock(crunchedShort);
  EXPECT_FALSE(m.LoadFromObjFile("kxgfx_no_such_file.obj"));
  EXPECT_FALSE(m.LoadFromCrunchedFile("kxgfx_no_such_file.bin"));
  EXPECT_EQ(m.V(), (std::vector<float>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
  EXPECT_EQ(m.GetVertexBuffer(), vb);
}

TEST_F(kxMeshLoad, CrunchedBlocksAndFiles) {
  kxMemoryBlock* c = Crunched(TriangleBlock());
  Mesh fromBlock;
  EXPECT_TRUE(fromBlock.LoadFromCrunchedMemoryBlock(c));
  EXPECT_EQ(fromBlock.V(), (std::vector<float>{1, 2, 3, 4, 5, 6, 7, 8, 9}));

  std::string path = TempPath("mesh.bin");
  ASSERT_TRUE(WriteFile(path, c->data, c->size));
  Mesh fromFile;
  EXPECT_TRUE(fromFile.LoadFromCrunchedFile(path.c_str()));
  EXPECT_EQ(fromFile.V(), fromBlock.V());
  EXPECT_EQ(fromFile.T(), fromBlock.T());
  // A truncated file does not expand: false and unchanged.
  ASSERT_TRUE(WriteFile(path, c->data, c->size - 3));
  EXPECT_FALSE(fromFile.LoadFromCrunchedFile(path.c_str()));
  EXPECT_EQ(fromFile.V(), fromBlock.V());
  ASSERT_TRUE(WriteFile(path, c->data, 2));
  EXPECT_FALSE(fromFile.LoadFromCrunchedFile(path.c_str()));
  remove(path.c_str());
  kxFreeMemoryBlock(c);
}

TEST_F(kxMeshLoad, ObjFileMatchesTheEquivalentBlock) {
  std::string path = TempPath("one.obj");
  ASSERT_TRUE(WriteFile(path, "v 1 2 3\nvt 0.5 0.25\nvn 0 0 1\nf 1/1/1 1/1/1 1/1/1\n"));
  Mesh obj;
  EXPECT_TRUE(obj.LoadFromObjFile(path.c_str()));
  Mesh block;
  Load(&block, MeshBlock({{0, 0, 1}}, {{0.5f, 0.25f}}, {{1, 2, 3}}, {{1, 1, 1, 1, 1, 1, 1, 1, 1}}));
  EXPECT_EQ(obj.GetVertexArraySize(), 3u);
  EXPECT_EQ(obj.V(), block.V());
  EXPECT_EQ(obj.N(), block.N());
  EXPECT_EQ(obj.T(), block.T());
  remove(path.c_str());
}

TEST_F(kxMeshLoad, ObjFinalNewlineCommentsAndBlankLines) {
  const std::string body =
      "# a quad\r\no quad\ng all\ns off\nusemtl none\n\n   \n v 9 9 9\n"
      "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nvt 0 0\nvn 0 0 1\n"
      "f 1/1/1 2/1/1 3/1/1\nf 1//1 3//1 4//1\nf 1/1/1 3/1/1 4/1/1";
  std::string a = TempPath("a.obj"), b = TempPath("b.obj");
  ASSERT_TRUE(WriteFile(a, body));
  ASSERT_TRUE(WriteFile(b, body + "\n"));
  Mesh ma, mb;
  EXPECT_TRUE(ma.LoadFromObjFile(a.c_str()));
  EXPECT_TRUE(mb.LoadFromObjFile(b.c_str()));
  EXPECT_EQ(ma.GetVertexArraySize(), 6u);  // two faces; the a//c face is skipped
  EXPECT_EQ(ma.V(), mb.V());
  EXPECT_EQ(ma.V(), (std::vector<float>{0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 0, 0, 1, 1, 0, 0, 1, 0}));
  remove(a.c_str());
  remove(b.c_str());
}

TEST_F(kxMeshLoad, ObjStatementsExtendTheCurrentLists) {
  // Not cleared first: indices count from the start of the lists as they
  // stand, here after appending one position by hand.
  std::string path = TempPath("extend.obj");
  ASSERT_TRUE(WriteFile(path, "v 5 5 5\nvt 0 0\nvn 0 1 0\nf 1/1/1 2/1/1 2/1/1\n"));
  Mesh m;
  m.AppendVertex(-1, -1, -1);
  EXPECT_TRUE(m.LoadFromObjFile(path.c_str()));
  EXPECT_EQ(m.V(), (std::vector<float>{-1, -1, -1, 5, 5, 5, 5, 5, 5}));
  remove(path.c_str());
}
