// Decoding costs of the GL-free graphics parsers: a 256 x 256 TGA image in
// both encodings, a mesh block of a few thousand faces, and a font file of
// 256 glyphs. Reports numbers only.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "graphics/kxFontReader.h"
#include "graphics/kxMeshReader.h"
#include "graphics/kxTGA.h"

namespace {

std::vector<uint8_t> TGA(bool rle, int size) {
  std::vector<uint8_t> t(18, 0);
  t[2] = rle ? 10 : 2;
  t[12] = uint8_t(size), t[13] = uint8_t(size >> 8);
  t[14] = uint8_t(size), t[15] = uint8_t(size >> 8);
  t[16] = 32;
  for (int i = 0; i < size * size;) {
    if (rle) {
      // Alternating runs of 8 and raw packets of 4, like a flat-shaded sprite.
      t.insert(t.end(), {135, 1, 2, 3, 255});
      t.push_back(3);
      for (int k = 0; k < 4; ++k) t.insert(t.end(), {uint8_t(k), uint8_t(i), 7, 255});
      i += 12;
    } else {
      t.insert(t.end(), {uint8_t(i), uint8_t(i >> 8), 9, 255});
      ++i;
    }
  }
  return t;
}

void U32(std::vector<uint8_t>* b, uint32_t v) {
  for (int i = 0; i < 4; ++i) b->push_back(uint8_t(v >> (8 * i)));
}

std::vector<uint8_t> Mesh(uint32_t faces) {
  std::vector<uint8_t> b;
  U32(&b, 8);
  for (int i = 0; i < 8 * 3; ++i) U32(&b, 0x3F800000u);
  U32(&b, 16);
  for (int i = 0; i < 16 * 2; ++i) U32(&b, 0x3F000000u);
  U32(&b, faces);
  for (uint32_t i = 0; i < faces * 3; ++i) U32(&b, 0x40000000u + i);
  U32(&b, faces);
  for (uint32_t f = 0; f < faces; ++f)
    for (uint32_t k = 0; k < 9; ++k) U32(&b, k < 3 ? 1 + (f * 3 + k) % (faces * 3) : 1 + k % 8);
  return b;
}

void BM_DecodeTGA(benchmark::State& state) {
  const std::vector<uint8_t> bytes = TGA(state.range(0) != 0, 256);
  for (auto _ : state) {
    kxTGAImage image;
    bool ok = kxDecodeTGA(bytes.data(), bytes.size(), &image);
    benchmark::DoNotOptimize(ok);
    if (ok) kxFreeTGAImage(&image);
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * 256 * 256 * 4);
  state.SetLabel(state.range(0) ? "run-length" : "raw");
}
BENCHMARK(BM_DecodeTGA)->Arg(0)->Arg(1);

void BM_ReadMeshBlock(benchmark::State& state) {
  const std::vector<uint8_t> bytes = Mesh(uint32_t(state.range(0)));
  for (auto _ : state) {
    kxMeshLists lists;
    benchmark::DoNotOptimize(kxReadMeshBlock(bytes.data(), bytes.size(), &lists));
    kxFreeMeshLists(&lists);
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes.size()));
}
BENCHMARK(BM_ReadMeshBlock)->Arg(1000)->Arg(10000);

void BM_ReadFontFile(benchmark::State& state) {
  std::vector<uint8_t> bytes;
  for (int g = 0; g < 256; ++g) {
    const uint32_t w = 8 + g % 5, h = 14;
    for (uint32_t v : {w, h, w + 1, h - 2, 1u}) U32(&bytes, v);
    bytes.insert(bytes.end(), w * h, uint8_t(g));
  }
  for (auto _ : state) {
    TGlyph_s* glyphs = nullptr;
    uint64_t count = 0;
    benchmark::DoNotOptimize(kxReadFontGlyphs(bytes.data(), bytes.size(), &glyphs, &count));
    kxFreeFontGlyphs(glyphs, count);
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes.size()));
}
BENCHMARK(BM_ReadFontFile);

}  // namespace

BENCHMARK_MAIN();
