// Graphics test helpers: TGA and mesh builders, blocks, files, a GL target.
#pragma once

#include <GL/glew.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "data/kxMemoryBlock.h"
#include "support/kxGLTestContext.h"

namespace kxGfxTest {

typedef std::vector<uint8_t> Bytes;
typedef std::vector<float> Floats;
typedef std::vector<kxTest::RGBA> Pixels;
const kxTest::RGBA kNone{0, 0, 0, 0}, kWhite{255, 255, 255, 255}, kRed{255, 0, 0, 255},
    kGreen{0, 255, 0, 255}, kBlue{0, 0, 255, 255};

inline Bytes Join(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

// 18-byte header: uncompressed true-colour (type 2) or run-length (type 10).
inline Bytes TGAHeader(uint8_t type, uint16_t width, uint16_t height, uint8_t depth) {
  Bytes h(18, 0);
  h[2] = type, h[16] = depth;
  h[12] = uint8_t(width), h[13] = uint8_t(width >> 8);
  h[14] = uint8_t(height), h[15] = uint8_t(height >> 8);
  return h;
}

// An uncompressed 24-bit TGA from R, G, B triples, rows in file order.
inline Bytes TGA24(uint16_t width, uint16_t height, const Bytes& rgb) {
  Bytes t = TGAHeader(2, width, height, 24);
  for (size_t i = 0; i + 2 < rgb.size(); i += 3)
    t.insert(t.end(), {rgb[i + 2], rgb[i + 1], rgb[i]});
  return t;
}

// New blocks holding a copy of the bytes, plain or crunched (caller frees).
inline kxMemoryBlock* Block(const Bytes& bytes) {
  kxMemoryBlock* b = kxAllocMemoryBlock(bytes.size());
  if (b && !bytes.empty()) memcpy(b->data, bytes.data(), bytes.size());
  return b;
}
inline kxMemoryBlock* Crunched(const Bytes& bytes) {
  kxMemoryBlock* plain = Block(bytes);
  kxMemoryBlock* crunched = kxCrunchMemoryBlock(plain);
  kxFreeMemoryBlock(plain);
  return crunched;
}

// A file name in the working directory, unique to this process.
inline std::string TempPath(const char* name) {
  return "kxgfx_" + std::to_string(long(getpid())) + "_" + name;
}
inline bool WriteFile(const std::string& path, const void* data, size_t size) {
  FILE* f = fopen(path.c_str(), "wb");
  bool ok = f && fwrite(data, 1, size, f) == size;
  return f && fclose(f) == 0 && ok;
}

inline void PutU32(Bytes* b, uint32_t v) {
  b->insert(b->end(), {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)});
}
// A count, then every element's 32-bit words.
template <class T>
void PutList(Bytes* b, const std::vector<T>& list) {
  PutU32(b, uint32_t(list.size()));
  for (const auto& item : list)
    for (auto x : item) {
      uint32_t v;
      memcpy(&v, &x, sizeof v);
      PutU32(b, v);
    }
}

typedef std::array<float, 3> V3;
// A mesh block: normals, texture coordinates, positions, then faces of
// one-based position, normal and texture-coordinate indices.
inline Bytes MeshBlock(const std::vector<V3>& normals,
                       const std::vector<std::array<float, 2>>& texCoords,
                       const std::vector<V3>& positions,
                       const std::vector<std::array<uint32_t, 9>>& faces) {
  Bytes b;
  PutList(&b, normals), PutList(&b, texCoords), PutList(&b, positions), PutList(&b, faces);
  return b;
}

// Fixture: a 32 x 32 target, bound, with a y-up view of one unit per pixel.
class Target : public kxTest::GLTest {
 protected:
  void SetUp() override {
    kxTest::GLTest::SetUp();
    fb.reset(new kxTest::Framebuffer(32, 32));
    kxTest::SetOrtho(0, 32, 0, 32);
  }
  void TearDown() override { fb.reset(); }
  kxTest::RGBA At(int x, int y) { return fb->Pixel(x, y); }
  std::unique_ptr<kxTest::Framebuffer> fb;
};

// Lit pixels (red above 0) of a target, counted inside and outside the
// rectangle [x0, x1] x [y0, y1] (target units, y up) widened by one pixel,
// the reach of linear filtering. A pixel is inside when its centre is.
struct InkCount {
  int inside = 0, outside = 0;
};
inline InkCount InkAround(kxTest::Framebuffer& fb, float x0, float y0, float x1, float y1) {
  InkCount ink;
  const std::vector<uint8_t> pixels = fb.Pixels();
  for (int y = 0; y < fb.Height(); ++y) {
    for (int x = 0; x < fb.Width(); ++x) {
      if (pixels[size_t(y * fb.Width() + x) * 4] == 0) continue;
      const float cx = x + 0.5f, cy = y + 0.5f;
      const bool near = cx >= x0 - 1 && cx <= x1 + 1 && cy >= y0 - 1 && cy <= y1 + 1;
      ++(near ? ink.inside : ink.outside);
    }
  }
  return ink;
}

// Gives the array a texture it owns, from a TGA (white 1 x 1 by default).
template <class Array>
Array* Textured(Array* a, const Bytes& tga = TGA24(1, 1, {255, 255, 255})) {
  kxMemoryBlock* c = Crunched(tga);
  a->TextureFromCrunchedMemoryBlock(c);
  kxFreeMemoryBlock(c);
  return a;
}

}  // namespace kxGfxTest
