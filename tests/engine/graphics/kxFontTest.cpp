#include <gtest/gtest.h>

#include <memory>

#include "graphics/kxFont.h"
#include "graphics/kxFontReader.h"
#include "graphics/kxGeometry.h"
#include "graphics/kxVertexArray.h"
#include "kxGraphicsTestData.h"
#include "support/kxGLTestContext.h"

using namespace kxGfxTest;
using kxTest::RGBA;

namespace {

class FontProbe : public kxFont {
 public:
  using kxFont::kxFont;
  uint64_t Count() const { return glyphCount; }
  const TGlyph_s& Glyph(uint64_t i) const { return glyphs[i]; }
  kxVertexArray* Quad(size_t i) { return geometry ? geometry->GetVertexArray(i) : nullptr; }
  unsigned Texture(size_t i) const { return textures ? textures[i] : 0; }
  Bytes Saved() {
    uint64_t size = 0;
    uint8_t* file = SaveToMemory(&size);
    Bytes out(file, file + (file ? size : 0));
    free(file);
    return out;
  }
};

// One font-file record: width, height, advance, top, left, then the bitmap.
Bytes Record(int32_t w, int32_t h, int32_t advance, int32_t top, int32_t left, const Bytes& px) {
  Bytes b;
  for (int32_t v : {w, h, advance, top, left}) PutU32(&b, uint32_t(v));
  return Join({b, px});
}

// Code 0 ends every string, so printable test glyphs start at code 1.
const Bytes kNul = Record(0, 0, 0, 0, 0, {});
const RGBA kWhite{255, 255, 255, 255}, kNone{0, 0, 0, 0};

}  // namespace

TEST(kxFontFile, TwentyTwoByteRecordAndRoundTrip) {
  uint8_t px[2] = {0x11, 0xEE};
  TGlyph_s g{px, 2, 1, 3, 4, 5};
  uint64_t size = 99;
  uint8_t* file = kxWriteFontGlyphs(&g, 1, &size);
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(Bytes(file, file + size),
            (Bytes{2, 0, 0, 0, 1, 0, 0, 0, 3, 0, 0, 0, 4, 0, 0, 0, 5, 0, 0, 0, 0x11, 0xEE}));
  free(file);
  EXPECT_EQ(kxWriteFontGlyphs(&g, 0, &size), nullptr);
  EXPECT_EQ(size, 0u);

  Bytes many = Join({Record(2, 1, 3, -4, -5, {7, 8}), Record(0, 9, 6, 0, 0, {}),
                     Record(1, 2, -1, 2, 1, {200, 100})});
  TGlyph_s* read = nullptr;
  uint64_t n = 0;
  ASSERT_TRUE(kxReadFontGlyphs(many.data(), many.size(), &read, &n));
  ASSERT_EQ(n, 3u);
  EXPECT_EQ(read[0].top * 10 + read[0].left, -45);
  EXPECT_EQ(read[1].pixels, nullptr);  // width 0: no bitmap bytes
  EXPECT_EQ(read[2].pixels[0], 200);
  uint8_t* back = kxWriteFontGlyphs(read, n, &size);
  EXPECT_EQ(Bytes(back, back + size), many);
  free(back);
  kxFreeFontGlyphs(read, n);
}

TEST(kxFontFile, HostileRecordsStopTheLoadAtTheLastGoodOne) {
  Bytes one = Record(2, 2, 1, 1, 1, {1, 2, 3, 4});
  Bytes cut = Join({one, Record(3, 3, 1, 1, 1, {1, 2, 3})});
  struct Row {
    const char* name;
    Bytes file;
    size_t length;
    uint64_t count;
  } rows[] = {
      {"bitmap runs past the end", cut, cut.size(), 1},
      {"record cut short", cut, 24, 1},
      {"header cut short", cut, 43, 1},
      {"first record cut", cut, 23, 0},
      {"negative width",
       Join({Record(1, 1, 1, 1, 1, {9}), Record(-1, 4, 1, 1, 1, {}), Record(1, 1, 1, 1, 1, {9})}),
       0, 1},
      {"both negative, product fits", Record(-2, -3, 1, 1, 1, Bytes(6, 1)), 0, 0},
      // 65536 x 65536 wraps to 0 in 32 bits; the next record would be misread.
      {"size wraps in 32 bits",
       Join({Record(65536, 65536, 1, 1, 1, {}), Record(0, 0, 1, 1, 1, {})}), 0, 0},
      {"huge size", Record(0x7FFFFFFF, 0x7FFFFFFF, 1, 1, 1, Bytes(40, 1)), 0, 0},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    TGlyph_s* g = nullptr;
    uint64_t n = 99;
    ASSERT_TRUE(kxReadFontGlyphs(r.file.data(), r.length ? r.length : r.file.size(), &g, &n));
    EXPECT_EQ(n, r.count);
    if (n == 0) {
      EXPECT_EQ(g, nullptr);
    }
    kxFreeFontGlyphs(g, n);
  }
  TGlyph_s* g = nullptr;
  uint64_t n = 99;
  ASSERT_TRUE(kxReadFontGlyphs(nullptr, 50, &g, &n));
  EXPECT_EQ(n, 0u);
}

TEST(kxFont, AppendGlyphCopiesValidGlyphsAndGetWidthSkipsUnknownCodes) {
  FontProbe font;
  EXPECT_TRUE(font.Saved().empty());
  EXPECT_FALSE(font.SaveToFile(TempPath("empty.fnt").c_str()));
  const kxWChar pair[] = {1, 2, 0};
  EXPECT_EQ(font.GetWidth(pair), 0.0f);
  uint8_t px[2] = {1, 2};
  TGlyph_s nul{nullptr, 0, 0, 100, 0, 0}, seven{px, 2, 1, 7, 4, 5}, nine{nullptr, 0, 0, 9, 0, 0};
  TGlyph_s negative{px, -1, 1, 1, 1, 1}, missing{nullptr, 2, 2, 1, 1, 1};
  for (TGlyph_s* g : {&nul, &seven, &negative, &missing, (TGlyph_s*)nullptr, &nine})
    font.AppendGlyph(g);
  px[0] = 99;  // the font keeps its own copy
  ASSERT_EQ(font.Count(), 3u);
  EXPECT_EQ(font.Saved(), Join({Record(0, 0, 100, 0, 0, {}), Record(2, 1, 7, 4, 5, {1, 2}),
                                Record(0, 0, 9, 0, 0, {})}));
  EXPECT_EQ(font.Quad(0), nullptr);  // appending makes no GL objects
  font.SetScale(2);
  EXPECT_EQ(font.GetWidth(u""), 0.0f);
  EXPECT_EQ(font.GetWidth(nullptr), 0.0f);
  EXPECT_EQ(font.GetWidth(pair), 32.0f);
  const kxWChar outside[] = {2, 3, 0xFFFF, 2, 0};
  EXPECT_EQ(font.GetWidth(outside), 36.0f);
}

class kxFontGL : public kxTest::GLTest {
 protected:
  bool Load(kxFont* font, const Bytes& file) {
    kxMemoryBlock* b = Block(file);
    bool ok = font->LoadFromMemory(b);
    kxFreeMemoryBlock(b);
    return ok;
  }
  // A 32 x 32 target, y up, one unit per pixel.
  void Target() {
    fb.reset(new kxTest::Framebuffer(32, 32));
    kxTest::SetOrtho(0, 32, 0, 32);
  }
  RGBA At(int x, int y) { return fb->Pixel(x, y); }
  void TearDown() override { fb.reset(); }
  std::unique_ptr<kxTest::Framebuffer> fb;
};

TEST_F(kxFontGL, GlyphTexturesArePowerOfTwoZeroPaddedAndUnskewed) {
  Bytes px(5 * 12);
  for (size_t i = 0; i < px.size(); ++i) px[i] = uint8_t(i + 1);
  GLint before = 0, after = 0;
  glGetIntegerv(GL_UNPACK_ALIGNMENT, &before);
  FontProbe font(ftTopDown);
  // A 5 x 12 glyph, a one-texel-wide glyph (2-byte rows, skewed under the
  // default unpack alignment) and a zero-width one.
  ASSERT_TRUE(Load(&font, Join({Record(5, 12, 6, 12, 0, px), Record(1, 3, 1, 3, 0, {10, 20, 30}),
                                Record(0, 12, 5, 4, 0, {})})));
  int w = 0, h = 0;
  Bytes tex = kxTest::ReadTexture(font.Texture(0), GL_LUMINANCE_ALPHA, &w, &h);
  ASSERT_EQ(w * 100 + h, 816);
  for (int r = 0; r < 16; ++r)
    for (int c = 0; c < 8; ++c) {
      uint8_t expected = (c < 5 && r < 12) ? px[r * 5 + c] : 0;
      ASSERT_EQ(tex[(r * 8 + c) * 2], expected) << c << "," << r;
      ASSERT_EQ(tex[(r * 8 + c) * 2 + 1], expected) << c << "," << r;
    }
  EXPECT_EQ(kxTest::TextureInternalFormat(font.Texture(0)), GL_LUMINANCE_ALPHA);
  EXPECT_EQ(kxTest::ReadFloatBuffer(font.Quad(0)->GetTexCoordBuffer(), 12),
            (std::vector<float>{0.625f, 0, 0, 0, 0, 0.75f, 0, 0.75f, 0.625f, 0.75f, 0.625f, 0}));
  EXPECT_EQ(kxTest::ReadFloatBuffer(font.Quad(0)->GetVertexBuffer(), 18),
            (std::vector<float>{5, 0, 0, 0, 0, 0, 0, 12, 0, 0, 12, 0, 5, 12, 0, 5, 0, 0}));
  EXPECT_EQ(kxTest::ReadTexture(font.Texture(1), GL_LUMINANCE_ALPHA, &w, &h),
            (Bytes{10, 10, 20, 20, 30, 30, 0, 0}));
  EXPECT_EQ(kxTest::ReadTexture(font.Texture(2), GL_LUMINANCE_ALPHA, &w, &h), (Bytes{0, 0}));
  EXPECT_EQ(w * 10 + h, 11);
  glGetIntegerv(GL_UNPACK_ALIGNMENT, &after);
  EXPECT_EQ(after, before);

  FontProbe bottomUp;  // the default type flips v
  ASSERT_TRUE(Load(&bottomUp, Record(5, 12, 6, 12, 0, px)));
  EXPECT_EQ(kxTest::ReadFloatBuffer(bottomUp.Quad(0)->GetTexCoordBuffer(), 12),
            (std::vector<float>{0.625f, 0.75f, 0, 0.75f, 0, 0, 0, 0, 0.625f, 0, 0.625f, 0.75f}));
}

TEST_F(kxFontGL, LineHeightFollowsTheTopComparison) {
  Bytes g1 = Record(1, 12, 1, 10, 0, Bytes(12, 1)), g2 = Record(1, 20, 1, 8, 0, Bytes(20, 1)),
        g3 = Record(1, 14, 1, 13, 0, Bytes(14, 1));
  kxFont font;
  const std::pair<Bytes, float> rows[] = {{g1, 12}, {Join({g1, g2}), 12}, {Join({g1, g2, g3}), 14}};
  for (const auto& r : rows) {
    ASSERT_TRUE(Load(&font, r.first));
    EXPECT_EQ(font.GetHeight(), r.second);
  }
  font.SetScale(0.5f);
  EXPECT_EQ(font.GetHeight(), 7.0f);
}

TEST_F(kxFontGL, PrintPlacesGlyphsByMetricsAndSkipsUnknownCodes) {
  // Code 1: 4 x 3 block, left 2, top 5, advance 9. Code 2: nothing, advance 5.
  // Code 3: 2 x 2 block at the pen, top 2, advance 6.
  FontProbe font(ftTopDown);
  ASSERT_TRUE(
      Load(&font, Join({kNul, Record(4, 3, 9, 5, 2, Bytes(12, 255)), Record(0, 12, 5, 4, 0, {}),
                        Record(2, 2, 6, 2, 0, Bytes(4, 255))})));
  Target();
  const kxWChar one[] = {1, 0};
  font.Print(3, 20, 0, one);
  // Quad from (pen + left, y - top) = (5, 15) to (9, 18).
  EXPECT_EQ(At(5, 15), kWhite);
  EXPECT_EQ(At(8, 17), kWhite);
  const int outside[][2] = {{4, 16}, {9, 16}, {6, 14}, {6, 18}};
  for (const auto& p : outside) EXPECT_EQ(At(p[0], p[1]), kNone) << p[0] << "," << p[1];
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D) || glIsEnabled(GL_VERTEX_ARRAY));
  fb->Clear(0, 0, 0, 0);
  font.SetScale(2);  // doubles offsets and size around the pen
  font.Print(0, 30, 0, one);
  EXPECT_EQ(At(6, 23), kWhite);
  EXPECT_EQ(At(9, 24), kWhite);
  EXPECT_EQ(At(12, 22), kNone);
  EXPECT_EQ(At(6, 26), kNone);

  fb->Clear(0, 0, 0, 0);
  font.SetScale(1);
  const kxWChar text[] = {2, 3, 3, 4, 0xFFFF, 3, 0};  // 4 and 0xFFFF have no glyph
  font.Print(1, 6, 0, text);
  for (int x : {6, 12, 18}) {
    EXPECT_EQ(At(x, 4), kWhite) << x;
    EXPECT_EQ(At(x + 2, 4), kNone) << x;
  }
  EXPECT_EQ(At(1, 4), kNone);
  EXPECT_EQ(At(24, 4), kNone);
  font.Print(0, 0, 0, nullptr);
}

TEST_F(kxFontGL, RowOrderFollowsTheFontType) {
  // A 1 x 2 glyph whose first stored row is full and second empty.
  Bytes file = Join({kNul, Record(1, 2, 1, 0, 0, {255, 0})});
  Target();
  const kxWChar one[] = {1, 0};
  FontProbe bottomUp, topDown(ftTopDown);
  ASSERT_TRUE(Load(&bottomUp, file));
  ASSERT_TRUE(Load(&topDown, file));
  bottomUp.Print(4, 4, 0, one);
  topDown.Print(10, 4, 0, one);
  EXPECT_EQ(At(4, 5), kWhite);  // bottom-up: first stored row at y = height
  EXPECT_EQ(At(4, 4), kNone);
  EXPECT_EQ(At(10, 4), kWhite);  // top-down: at y = 0
  EXPECT_EQ(At(10, 5), kNone);
}

TEST_F(kxFontGL, SaveLoadAndFailedLoads) {
  Bytes file = Join({Record(2, 1, 3, 4, 5, {0x11, 0xEE}), Record(0, 0, 6, 0, 0, {}),
                     Record(3, 2, -1, -2, 7, {1, 2, 3, 4, 5, 6})});
  FontProbe font;
  ASSERT_TRUE(Load(&font, file));
  std::string path = TempPath("font.fnt");
  ASSERT_TRUE(font.SaveToFile(path.c_str()));
  EXPECT_EQ(ReadFile(path), file);
  FontProbe again;
  ASSERT_TRUE(again.LoadFromFile(path.c_str()));
  EXPECT_EQ(again.Saved(), file);
  EXPECT_FALSE(font.SaveToFile("kxgfx_no_such_dir/font.fnt"));
  remove(path.c_str());

  unsigned tex = font.Texture(0);
  kxMemoryBlock* junk = Block({9, 9, 9, 9, 9, 9});
  EXPECT_FALSE(font.LoadFromFile("kxgfx_no_such_font.fnt"));
  EXPECT_FALSE(font.LoadFromMemory(nullptr));
  EXPECT_FALSE(font.LoadFromCrunchedMemoryBlock(nullptr));
  EXPECT_FALSE(font.LoadFromCrunchedMemoryBlock(junk));
  kxFreeMemoryBlock(junk);
  EXPECT_EQ(font.Saved(), file);
  EXPECT_EQ(font.Texture(0), tex);
  EXPECT_TRUE(kxTest::IsTexture(tex));
}

TEST_F(kxFontGL, ReloadingReplacesGlyphsTexturesAndGeometry) {
  FontProbe font;
  kxMemoryBlock* c = Crunched(Join({Record(1, 1, 1, 1, 0, {5}), Record(1, 1, 2, 1, 0, {6})}));
  ASSERT_TRUE(font.LoadFromCrunchedMemoryBlock(c));
  kxFreeMemoryBlock(c);
  ASSERT_EQ(font.Count(), 2u);
  unsigned oldTexture = font.Texture(1), oldBuffer = font.Quad(1)->GetVertexBuffer();
  ASSERT_TRUE(Load(&font, Record(1, 1, 4, 1, 0, {7})));
  ASSERT_EQ(font.Count(), 1u);
  EXPECT_EQ(font.Glyph(0).advance, 4);
  EXPECT_EQ(font.Quad(1), nullptr);
  EXPECT_FALSE(kxTest::IsTexture(oldTexture));
  EXPECT_FALSE(kxTest::IsBuffer(oldBuffer));
  // A truncated block keeps the whole records before the cut.
  ASSERT_TRUE(Load(&font, Join({Record(1, 1, 1, 1, 0, {5}), Record(4, 4, 1, 1, 0, {1, 2})})));
  EXPECT_EQ(font.Count(), 1u);
  EXPECT_NE(font.Quad(0), nullptr);
}
