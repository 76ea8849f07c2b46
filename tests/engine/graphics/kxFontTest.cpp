#include <gtest/gtest.h>

#include "graphics/kxFont.h"
#include "graphics/kxFontReader.h"
#include "graphics/kxGeometry.h"
#include "graphics/kxVertexArray.h"
#include "kxGraphicsTestData.h"
#include "support/kxAllocFailure.h"

using namespace kxGfxTest;
using kxTest::RGBA;

namespace {

class FontProbe : public kxFont {
 public:
  using kxFont::kxFont;
  kxVertexArray* Quad(size_t i) { return geometry ? geometry->GetVertexArray(i) : nullptr; }
  unsigned Texture(size_t i) const { return textures && i < textureCount ? textures[i] : 0; }
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

// Texture names alive in the context among the first 65536 (names of
// textures never bound do not count, and every font texture is bound).
int LiveTextures() {
  int live = 0;
  for (GLuint name = 1; name <= 65536; ++name) live += glIsTexture(name) ? 1 : 0;
  return live;
}

// Code 0 ends every string, so printable test glyphs start at code 1.
const Bytes kNul = Record(0, 0, 0, 0, 0, {});

}  // namespace

TEST(kxFontFile, TwentyTwoByteRecord) {
  uint8_t px[2] = {0x11, 0xEE};
  TGlyph_s g{px, 2, 1, 3, 4, 5};
  uint64_t size = 99;
  uint8_t* file = kxWriteFontGlyphs(&g, 1, &size);
  EXPECT_EQ(Bytes(file, file + size),
            (Bytes{2, 0, 0, 0, 1, 0, 0, 0, 3, 0, 0, 0, 4, 0, 0, 0, 5, 0, 0, 0, 0x11, 0xEE}));
  free(file);
}

TEST(kxFontFile, HostileRecordsStopTheLoadAtTheLastGoodOne) {
  Bytes cut = Join({Record(2, 2, 1, 1, 1, {1, 2, 3, 4}), Record(3, 3, 1, 1, 1, {1, 2, 3})});
  Bytes one = Record(1, 1, 1, 1, 1, {9});
  struct Row {
    Bytes file;
    size_t length;
    uint64_t count;
  } rows[] = {
      {cut, cut.size(), 1},  // bitmap runs past the end
      {cut, 43, 1},          // second header cut short
      {cut, 23, 0},          // first record cut short
      {Bytes(), 50, 0},      // no data
      {Join({one, Record(-1, 4, 1, 1, 1, {}), one}), 0, 1},
      {Record(-2, -3, 1, 1, 1, Bytes(6, 1)), 0, 0},  // product fits, signs do not
      // 65536 x 65536 wraps to 0 in 32 bits; the next record would be misread.
      {Join({Record(65536, 65536, 1, 1, 1, {}), Record(0, 0, 1, 1, 1, {})}), 0, 0},
      {Record(0x7FFFFFFF, 0x7FFFFFFF, 1, 1, 1, Bytes(40, 1)), 0, 0},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << "row " << &r - rows);
    TGlyph_s* g = nullptr;
    uint64_t n = 99;
    ASSERT_TRUE(kxReadFontGlyphs(r.file.empty() ? nullptr : r.file.data(),
                                 r.length ? r.length : r.file.size(), &g, &n));
    EXPECT_EQ(n, r.count);
    EXPECT_EQ(g == nullptr, n == 0);
    kxFreeFontGlyphs(g, n);
  }
}

TEST(kxFont, AppendGlyphCopiesValidGlyphsAndGetWidthSkipsUnknownCodes) {
  FontProbe font;
  const kxWChar pair[] = {1, 2, 0}, outside[] = {2, 3, 0xFFFF, 2, 0};
  EXPECT_EQ(font.GetWidth(pair), 0.0f);
  uint8_t px[2] = {1, 2};
  TGlyph_s nul{nullptr, 0, 0, 100, 0, 0}, seven{px, 2, 1, 7, 4, 5}, nine{nullptr, 0, 0, 9, 0, 0};
  TGlyph_s negative{px, -1, 1, 1, 1, 1}, missing{nullptr, 2, 2, 1, 1, 1};
  for (TGlyph_s* g : {&nul, &seven, &negative, &missing, (TGlyph_s*)nullptr, &nine})
    font.AppendGlyph(g);
  px[0] = 99;  // the font keeps its own copy
  EXPECT_EQ(font.Saved(), Join({Record(0, 0, 100, 0, 0, {}), Record(2, 1, 7, 4, 5, {1, 2}),
                                Record(0, 0, 9, 0, 0, {})}));
  font.SetScale(2);
  EXPECT_EQ((Floats{font.GetWidth(u""), font.GetWidth(nullptr), font.GetWidth(pair),
                    font.GetWidth(outside)}),
            (Floats{0, 0, 32, 36}));
}

class kxFontGL : public Target {
 protected:
  bool Load(kxFont* font, const Bytes& file) {
    kxMemoryBlock* b = Block(file);
    bool ok = font->LoadFromMemory(b);
    kxFreeMemoryBlock(b);
    return ok;
  }
};

TEST_F(kxFontGL, GlyphTexturesArePowerOfTwoZeroPaddedAndUnskewed) {
  Bytes px(5 * 12), expected;
  for (size_t i = 0; i < px.size(); ++i) px[i] = uint8_t(i + 1);
  for (int i = 0; i < 8 * 16; ++i) {
    uint8_t v = (i % 8 < 5 && i / 8 < 12) ? px[i / 8 * 5 + i % 8] : 0;
    expected.insert(expected.end(), {v, v});
  }
  GLint before = 0, after = 0;
  glGetIntegerv(GL_UNPACK_ALIGNMENT, &before);
  // A 5 x 12 glyph, a one-texel-wide glyph (2-byte rows, skewed under the
  // default unpack alignment) and a zero-width one.
  FontProbe font(ftTopDown), bottomUp;
  ASSERT_TRUE(Load(&font, Join({Record(5, 12, 6, 12, 0, px), Record(1, 3, 1, 3, 0, {10, 20, 30}),
                                Record(0, 12, 5, 4, 0, {})})));
  ASSERT_TRUE(Load(&bottomUp, Record(5, 12, 6, 12, 0, px)));
  glGetIntegerv(GL_UNPACK_ALIGNMENT, &after);
  EXPECT_EQ(after, before);
  int w = 0, h = 0;
  auto texels = [&](int i) {
    return kxTest::ReadTexture(font.Texture(i), GL_LUMINANCE_ALPHA, &w, &h);
  };
  EXPECT_EQ(texels(0), expected);
  EXPECT_EQ(w * 100 + h, 816);  // 8 x 16
  EXPECT_EQ(texels(1), (Bytes{10, 10, 20, 20, 30, 30, 0, 0}));
  EXPECT_EQ(texels(2), (Bytes{0, 0}));
  EXPECT_EQ(kxTest::ReadFloatBuffer(font.Quad(0)->GetTexCoordBuffer(), 12),
            (Floats{0.625f, 0, 0, 0, 0, 0.75f, 0, 0.75f, 0.625f, 0.75f, 0.625f, 0}));
  EXPECT_EQ(kxTest::ReadFloatBuffer(bottomUp.Quad(0)->GetTexCoordBuffer(), 12),
            (Floats{0.625f, 0.75f, 0, 0.75f, 0, 0, 0, 0, 0.625f, 0, 0.625f, 0.75f}));
}

TEST_F(kxFontGL, GlyphsAtFractionalPositionsLeaveNoInkOutsideTheirBox) {
  // 4 x 4 glyphs (no padding texels) inked along one edge only: the last
  // stored row, or the last column. Sampled with a repeating wrap, the
  // opposite edge of the quad picks that ink up.
  Bytes lastRow(16, 0), lastColumn(16, 0);
  for (int i = 0; i < 4; ++i) lastRow[12 + i] = lastColumn[i * 4 + 3] = 255;
  for (TFontType type : {ftTopDown, ftBottomUp}) {
    SCOPED_TRACE(type);
    kxFont font(type);
    ASSERT_TRUE(Load(
        &font, Join({kNul, Record(4, 4, 5, 0, 0, lastRow), Record(4, 4, 5, 0, 0, lastColumn)})));
    for (float fraction : {0.25f, 0.5f, 0.75f}) {
      SCOPED_TRACE(fraction);
      const float x = 10 + fraction, y = 12 + fraction;
      // The inked texels, in target units: the quad spans (x, y) to
      // (x + 4, y + 4); the last stored row lies at its top when the first
      // row is at y (top-down), else at its bottom.
      const float rowY = type == ftTopDown ? y + 3 : y;
      const float boxes[2][4] = {{x, rowY, x + 4, rowY + 1}, {x + 3, y, x + 4, y + 4}};
      for (kxWChar code : {1, 2}) {
        SCOPED_TRACE(code);
        fb->Clear(0, 0, 0, 0);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glColor4f(1, 1, 1, 1);
        const kxWChar text[] = {code, 0};
        font.Print(x, y, 0, text);
        glDisable(GL_BLEND);
        const float* b = boxes[code - 1];
        const InkCount ink = InkAround(*fb, b[0], b[1], b[2], b[3]);
        EXPECT_GT(ink.inside, 0);
        EXPECT_EQ(ink.outside, 0);
      }
    }
  }
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
}

TEST_F(kxFontGL, PrintPlacesGlyphsByMetricsAndSkipsUnknownCodes) {
  // Code 1: 4 x 3 block, left 2, top 5, advance 9. Code 2: nothing, advance 5.
  // Code 3: 2 x 2 block at the pen, top 2, advance 6.
  FontProbe font(ftTopDown);
  ASSERT_TRUE(
      Load(&font, Join({kNul, Record(4, 3, 9, 5, 2, Bytes(12, 255)), Record(0, 12, 5, 4, 0, {}),
                        Record(2, 2, 6, 2, 0, Bytes(4, 255))})));
  const kxWChar one[] = {1, 0}, text[] = {2, 3, 3, 4, 0xFFFF, 3, 0};  // 4, 0xFFFF: no glyph
  font.Print(3, 20, 0, one);
  // Quad from (pen + left, y - top) = (5, 15) to (9, 18).
  EXPECT_EQ((Pixels{At(5, 15), At(8, 17), At(4, 16), At(9, 16), At(6, 14), At(6, 18)}),
            (Pixels{kWhite, kWhite, kNone, kNone, kNone, kNone}));
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D) || glIsEnabled(GL_VERTEX_ARRAY));
  fb->Clear(0, 0, 0, 0);
  font.Print(1, 6, 0, text);
  font.Print(0, 0, 0, nullptr);
  EXPECT_EQ((Pixels{At(1, 4), At(6, 4), At(8, 4), At(12, 4), At(14, 4), At(18, 4), At(20, 4)}),
            (Pixels{kNone, kWhite, kNone, kWhite, kNone, kWhite, kNone}));
}

TEST_F(kxFontGL, SaveLoadReloadAndFailedLoads) {
  Bytes file = Join({Record(2, 1, 3, 4, 5, {0x11, 0xEE}), Record(0, 0, 6, 0, 0, {}),
                     Record(3, 2, -1, -2, 7, {1, 2, 3, 4, 5, 6})});
  FontProbe font, again;
  ASSERT_TRUE(Load(&font, file));
  std::string path = TempPath("font.fnt");
  ASSERT_TRUE(font.SaveToFile(path.c_str()));
  ASSERT_TRUE(again.LoadFromFile(path.c_str()));
  EXPECT_EQ(again.Saved(), file);
  EXPECT_FALSE(font.SaveToFile("kxgfx_no_such_dir/font.fnt"));
  remove(path.c_str());
  unsigned tex = font.Texture(2), buffer = font.Quad(2)->GetVertexBuffer();
  kxMemoryBlock* junk = Block({9, 9, 9, 9, 9, 9});
  EXPECT_FALSE(font.LoadFromFile("kxgfx_no_such_font.fnt") || font.LoadFromMemory(nullptr) ||
               font.LoadFromCrunchedMemoryBlock(nullptr) || font.LoadFromCrunchedMemoryBlock(junk));
  kxFreeMemoryBlock(junk);
  EXPECT_EQ(font.Saved(), file);
  EXPECT_TRUE(font.Texture(2) == tex && kxTest::IsTexture(tex));
  // A reload replaces glyphs, textures and geometry, releasing the old ones.
  kxMemoryBlock* c = Crunched(Record(1, 1, 4, 1, 0, {7}));
  ASSERT_TRUE(font.LoadFromCrunchedMemoryBlock(c));
  kxFreeMemoryBlock(c);
  EXPECT_EQ(font.Saved(), Record(1, 1, 4, 1, 0, {7}));
  EXPECT_EQ(font.Quad(1), nullptr);
  EXPECT_FALSE(kxTest::IsTexture(tex) || kxTest::IsBuffer(buffer));
}

TEST_F(kxFontGL, AFontWithoutAnyBitmapDoesNotLoadAndKeepsTheFontHeld) {
  const Bytes held = Join({kNul, Record(2, 2, 3, 2, 0, Bytes(4, 255))});
  FontProbe font(ftTopDown);
  ASSERT_TRUE(Load(&font, held));
  const unsigned texture = font.Texture(1);
  // An empty entry; records without coverage bytes; a picture where a font
  // belongs (its header reads as one glyph of width 131072 and height 0,
  // then the pixels as a negative width); bytes too short for one record.
  const Bytes refused[] = {{},
                           Join({kNul, Record(0, 9, 5, 0, 0, {}), Record(7, 0, 3, 0, 0, {})}),
                           TGA24(4, 2, Bytes(24, 200)),
                           Bytes(19, 1)};
  for (const Bytes& file : refused) {
    SCOPED_TRACE(file.size());
    kxMemoryBlock* crunched = Crunched(file);
    EXPECT_FALSE(Load(&font, file));
    EXPECT_FALSE(font.LoadFromCrunchedMemoryBlock(crunched));
    kxFreeMemoryBlock(crunched);
    EXPECT_EQ(font.Saved(), held);
    EXPECT_TRUE(font.Texture(1) == texture && kxTest::IsTexture(texture));
    EXPECT_EQ(font.GetHeight(), 2);
  }
}

TEST_F(kxFontGL, AGlyphLargerThanTheContextCanHoldGetsAnEmptyTexture) {
  GLint largest = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largest);
  ASSERT_GT(largest, 0);
  while (glGetError() != GL_NO_ERROR) {
  }
  FontProbe font(ftTopDown);
  ASSERT_TRUE(Load(&font, Join({kNul, Record(largest + 1, 1, 2, 1, 0, Bytes(largest + 1, 255)),
                                Record(1, 1, 2, 1, 0, {77})})));
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR)) << "an upload the context refused";
  int w = 0, h = 0;
  EXPECT_EQ(kxTest::ReadTexture(font.Texture(1), GL_LUMINANCE_ALPHA, &w, &h), (Bytes{0, 0}));
  EXPECT_EQ(w * 10 + h, 11);
  EXPECT_EQ(kxTest::ReadTexture(font.Texture(2), GL_LUMINANCE_ALPHA, &w, &h), (Bytes{77, 77}));
  const kxWChar text[] = {1, 0};
  font.Print(0, 20, 0, text);  // the quad samples the empty texel
  EXPECT_EQ(InkAround(*fb, 0, 0, 0, 0).outside, 0);
}

TEST_F(kxFontGL, RunningOutOfMemoryFailsTheLoadKeepsTheFontAndLeaksNoTexture) {
  const Bytes held = Join({kNul, Record(2, 2, 3, 2, 0, Bytes(4, 255))});
  const Bytes next = Join({kNul, Record(1, 1, 2, 1, 0, {9}), Record(3, 1, 4, 1, 0, {1, 2, 3}),
                           Record(0, 0, 5, 0, 0, {}), Record(2, 3, 3, 3, 0, Bytes(6, 8))});
  kxMemoryBlock* nextBlock = Block(next);
  const int baseline = LiveTextures();
  // A font made under the failure and then destroyed leaves nothing behind.
  kxTest::ForEachAllocationFailure(
      [&] {
        auto* font = new FontProbe(ftTopDown);
        const bool loaded = font->LoadFromMemory(nextBlock);
        delete font;
        return loaded;
      },
      [&](bool, bool) { EXPECT_EQ(LiveTextures(), baseline) << "textures leaked"; });
  // A font that holds glyphs keeps them, and their textures, when a load fails.
  FontProbe font(ftTopDown);
  ASSERT_TRUE(Load(&font, held));
  const unsigned texture = font.Texture(1);
  kxTest::ForEachAllocationFailure([&] { return font.LoadFromMemory(nextBlock); },
                                   [&](bool loaded, bool refused) {
                                     EXPECT_TRUE(loaded || refused);
                                     EXPECT_EQ(font.Saved(), loaded ? next : held);
                                     EXPECT_EQ(kxTest::IsTexture(texture), !loaded);
                                     EXPECT_EQ(LiveTextures(), baseline + (loaded ? 5 : 2));
                                   });
  kxFreeMemoryBlock(nextBlock);
}
