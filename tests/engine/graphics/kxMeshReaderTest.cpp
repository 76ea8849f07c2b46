#include <gtest/gtest.h>

#include "graphics/kxMeshReader.h"
#include "graphics/kxVertexArray.h"
#include "kxGraphicsTestData.h"

using namespace kxGfxTest;

namespace {

// One normal, three texture coordinates, three positions, one face.
Bytes TriangleBlock() {
  return MeshBlock({{0, 0, 1}}, {{0, 0}, {1, 0}, {0, 1}}, {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}},
                   {{1, 2, 3, 1, 1, 1, 1, 2, 3}});
}
const Floats kTriangle = {1, 2, 3, 4, 5, 6, 7, 8, 9};

struct Lists {
  kxMeshLists l;
  Lists() { kxInitMeshLists(&l); }
  ~Lists() { kxFreeMeshLists(&l); }
};

template <int N>
Floats Flat(float (*list)[N], uint64_t n) {
  Floats out;
  for (uint64_t i = 0; list && i < n; ++i) out.insert(out.end(), list[i], list[i] + N);
  return out;
}

class Mesh : public kxVertexArray {
 public:
  Mesh() : kxVertexArray(GL_TRIANGLES) {}
  Floats V() { return Flat(GetVertexArray(), GetVertexArraySize()); }
  Floats N() { return Flat(GetNormalArray(), normalCount); }
  Floats T() { return Flat(GetTexCoordArray(), texCoordCount); }
  void Load(const Bytes& bytes) {
    kxMemoryBlock* b = Block(bytes);
    LoadFromMemoryBlock(b);
    kxFreeMemoryBlock(b);
  }
  bool LoadObj(const std::string& text) {
    std::string path = TempPath("mesh.obj");
    EXPECT_TRUE(WriteFile(path, text.data(), text.size()));
    bool ok = LoadFromObjFile(path.c_str());
    remove(path.c_str());
    return ok;
  }
};

class kxMeshLoad : public kxTest::GLTest {};

}  // namespace

TEST(kxMeshBlockReader, BlocksThatDoNotHoldTheirCountsAreRejected) {
  Bytes good = TriangleBlock();
  Lists m;
  for (size_t n = 0; n < good.size(); ++n) {
    EXPECT_FALSE(kxReadMeshBlock(good.data(), n, &m.l)) << n << " bytes";
    EXPECT_EQ(m.l.vertices, nullptr);
  }
  for (int section = 0; section < 4; ++section) {  // huge counts: nothing allocated
    Bytes b;
    for (int i = 0; i < 4; ++i) PutU32(&b, i == section ? 0xFFFFFFFFu : 0);
    EXPECT_FALSE(kxReadMeshBlock(b.data(), b.size(), &m.l)) << "section " << section;
  }
  EXPECT_FALSE(kxReadMeshBlock(nullptr, 100, &m.l));
  Bytes empty = MeshBlock({}, {}, {}, {});
  EXPECT_TRUE(kxReadMeshBlock(empty.data(), empty.size(), &m.l));
}

TEST(kxObjReader, StatementsFillTheListsAndEverythingElseIsSkipped) {
  Lists m;
  EXPECT_TRUE(kxReadObjLine("vn 0 1 0\n", &m.l));
  EXPECT_TRUE(kxReadObjLine("vt 0.5 0.25 9\n", &m.l));                 // third component ignored
  EXPECT_TRUE(kxReadObjLine("v 1 2 3 1\n", &m.l));                     // w ignored
  EXPECT_TRUE(kxReadObjLine("f 1/2/3 4/5/6 7/8/9 10/11/12\n", &m.l));  // fourth corner ignored
  EXPECT_EQ(Flat(m.l.normals, m.l.normalCount), (Floats{0, 1, 0}));
  EXPECT_EQ(Flat(m.l.texCoords, m.l.texCoordCount), (Floats{0.5f, 0.25f}));
  EXPECT_EQ(Flat(m.l.vertices, m.l.vertexCount), (Floats{1, 2, 3}));
  ASSERT_EQ(m.l.faceCount, 1u);
  const TFace_s& f = m.l.faces[0];  // P/T/N, each minus one
  EXPECT_EQ((std::vector<int>{f.vertex[0], f.vertex[1], f.vertex[2], f.texCoord[0], f.texCoord[2],
                              f.normal[0], f.normal[2]}),
            (std::vector<int>{0, 3, 6, 1, 7, 2, 8}));
  Lists none;  // other statements, other face forms, bad or relative indices, bad numbers
  for (const char* line :
       {"# v 1 2 3\n", "o Cube\n", "", " v 1 2 3\n", "vp 1 2 3\n", "v 1 2\n", "vn 1 x 3\n",
        "vt 0.5\n", "f 1 2 3\n", "f 1//1 2//2 3//3\n", "f 1/1 2/2 3/3\n",
        "f -1/-1/-1 -2/-2/-2 -3/-3/-3\n", "f 1/1/1 2/2/2\n", "f 0/1/1 1/1/1 1/1/1\n",
        "f 1/1/1 1/1/0 1/1/1\n", "f 2147483648/1/1 1/1/1 1/1/1\n", "f 1/x/1 1/1/1 1/1/1\n"})
    EXPECT_FALSE(kxReadObjLine(line, &none.l)) << line;
  EXPECT_EQ(none.l.vertexCount + none.l.normalCount + none.l.texCoordCount + none.l.faceCount, 0u);
  EXPECT_TRUE(kxReadObjLine("f 2147483647/1/1 1/1/1 1/1/1", &none.l));
  EXPECT_EQ(none.l.faces[0].vertex[0], 2147483646);
}

TEST(kxObjReader, TextIsNeverReadPastItsLength) {
  // A NUL ends what a line says; nothing is read beyond the length.
  const char withNul[] = {'v', ' ', '7', ' ', '8', ' ', '9', '\0', '1', '\n', 'v', ' ', '1'};
  Lists m;
  EXPECT_EQ(kxReadObjText(withNul, sizeof withNul, &m.l), 1u);
  EXPECT_EQ(Flat(m.l.vertices, m.l.vertexCount), (Floats{7, 8, 9}));
}

TEST_F(kxMeshLoad, LoadReplacesContentExpandsFacesAndCentresOnRequest) {
  Mesh m;
  m.AppendVertex(100, 100, 100);
  m.AppendColor(1, 1, 1, 1);
  m.SetMoveToCenter(true);
  m.Load(Join({TriangleBlock(), {1, 2, 3}}));  // bytes after the last face are ignored
  float p[3];
  m.GetCenter(p);
  EXPECT_EQ(Floats(p, p + 3), (Floats{4, 5, 6}));
  EXPECT_EQ(m.V(), (Floats{-3, -3, -3, 0, 0, 0, 3, 3, 3}));
  EXPECT_EQ(m.N(), (Floats{0, 0, 1, 0, 0, 1, 0, 0, 1}));
  EXPECT_EQ(m.T(), (Floats{0, 0, 1, 0, 0, 1}));
  EXPECT_EQ(kxTest::ReadFloatBuffer(m.GetVertexBuffer(), 9), m.V());
  EXPECT_EQ(kxTest::ReadFloatBuffer(m.GetNormalBuffer(), 9), m.N());
  EXPECT_EQ(kxTest::ReadFloatBuffer(m.GetTexCoordBuffer(), 6), m.T());
}

TEST_F(kxMeshLoad, FacesOutsideTheirListsAreSkipped) {
  Mesh m;
  m.Load(MeshBlock({{0, 0, 1}}, {{0.5f, 0.5f}}, {{1, 1, 1}, {2, 2, 2}},
                   {{1, 2, 3, 1, 1, 1, 1, 1, 1},  // position 3 does not exist
                    {0, 1, 2, 1, 1, 1, 1, 1, 1},  // stored 0
                    {1, 2, 2, 1, 2, 1, 1, 1, 1},  // normal 2 does not exist
                    {1, 2, 2, 1, 1, 1, 1, 1, 9},  // texture coordinate 9
                    {1, 1, 0x80000001u, 1, 1, 1, 1, 1, 1},
                    {0xFFFFFFFFu, 1, 1, 1, 1, 1, 1, 1, 1},
                    {2, 1, 2, 1, 1, 1, 1, 1, 1}}));  // the one good face
  EXPECT_EQ(m.V(), (Floats{2, 2, 2, 1, 1, 1, 2, 2, 2}));
  Mesh bare;  // faces but no normals at all
  bare.Load(MeshBlock({}, {{0, 0}}, {{1, 1, 1}}, {{1, 1, 1, 1, 1, 1, 1, 1, 1}}));
  EXPECT_EQ(bare.GetVertexArraySize(), 0u);
}

TEST_F(kxMeshLoad, CrunchedBlocksAndFilesAndFailedLoadsLeaveTheArray) {
  Bytes good = TriangleBlock();
  kxMemoryBlock* c = Crunched(good);
  kxMemoryBlock* bad[] = {Block(good), Crunched(Bytes(good.begin(), good.begin() + 20)), nullptr};
  std::string path = TempPath("mesh.bin");
  ASSERT_TRUE(WriteFile(path, c->data, c->size));
  Mesh m;
  EXPECT_TRUE(m.LoadFromCrunchedFile(path.c_str()));
  EXPECT_EQ(m.V(), kTriangle);
  unsigned vb = m.GetVertexBuffer();
  m.Load(Bytes(good.begin(), good.end() - 1));
  for (kxMemoryBlock* b : bad) EXPECT_FALSE(m.LoadFromCrunchedMemoryBlock(b));
  EXPECT_FALSE(m.LoadFromObjFile("kxgfx_no_such_file.obj"));
  EXPECT_FALSE(m.LoadFromCrunchedFile("kxgfx_no_such_file.bin"));
  for (size_t size : {size_t(c->size - 3), size_t(2)}) {
    ASSERT_TRUE(WriteFile(path, c->data, size));
    EXPECT_FALSE(m.LoadFromCrunchedFile(path.c_str())) << size;
  }
  EXPECT_EQ(m.V(), kTriangle);
  EXPECT_EQ(m.GetVertexBuffer(), vb);
  Mesh fromBlock;
  EXPECT_TRUE(fromBlock.LoadFromCrunchedMemoryBlock(c) && fromBlock.T() == m.T());
  remove(path.c_str());
  for (kxMemoryBlock* b : {c, bad[0], bad[1]}) kxFreeMemoryBlock(b);
}

TEST_F(kxMeshLoad, ObjFiles) {
  // Comments, blank and unknown lines, an a//c face, with or without a final
  // newline; positions shared by the two faces are repeated.
  const std::string body =
      "# a quad\r\no quad\ng all\ns off\nusemtl none\n\n   \n v 9 9 9\n"
      "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nvt 0 0\nvn 0 0 1\n"
      "f 1/1/1 2/1/1 3/1/1\nf 1//1 3//1 4//1\nf 1/1/1 3/1/1 4/1/1";
  for (const std::string& text : {body, body + "\n"}) {
    Mesh m;
    EXPECT_TRUE(m.LoadObj(text));
    EXPECT_EQ(m.V(), (Floats{0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 0, 0, 1, 1, 0, 0, 1, 0}));
    EXPECT_EQ(m.N(), (Floats{0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1}));
  }
}
