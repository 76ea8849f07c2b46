#include "graphics/kxFont.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

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
  bool HasGeometry() const { return geometry != nullptr; }
};

// One font-file record.
Bytes Record(int32_t w, int32_t h, int32_t advance, int32_t top, int32_t left, const Bytes& px) {
  Bytes b;
  for (int32_t v : {w, h, advance, top, left}) PutU32(&b, uint32_t(v));
  b.insert(b.end(), px.begin(), px.end());
  return b;
}

Bytes Join(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

TGlyph_s Glyph(uint8_t* px, int32_t w, int32_t h, int32_t advance, int32_t top, int32_t left) {
  TGlyph_s g;
  g.pixels = px;
  g.width = w;
  g.height = h;
  g.advance = advance;
  g.top = top;
  g.left = left;
  return g;
}

}  // namespace

// --- Font file reader and writer (no GL) ---------------------------------------

TEST(kxFontFile, TwentyTwoByteFile) {
  uint8_t px[2] = {0x11, 0xEE};
  TGlyph_s g = Glyph(px, 2, 1, 3, 4, 5);
  uint64_t size = 99;
  uint8_t* file = kxWriteFontGlyphs(&g, 1, &size);
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(Bytes(file, file + size), (Bytes{2, 0, 0, 0, 1, 0, 0, 0, 3, 0, 0, 0, 4, 0, 0, 0, 5, 0,
                                             0, 0, 0x11, 0xEE}));
  free(file);
  EXPECT_EQ(kxWriteFontGlyphs(&g, 0, &size), nullptr);
  EXPECT_EQ(size, 0u);
}

TEST(kxFontFile, ReadsRecordsInOrderIncludingNegativeMetrics) {
  Bytes file = Join({Record(2, 1, 3, -4, -5, {7, 8}), Record(0, 9, 6, 0, 0, {}),
                     Record(1, 2, -1, 2, 1, {200, 100})});
  TGlyph_s* g = nullptr;
  uint64_t n = 0;
  ASSERT_TRUE(kxReadFontGlyphs(file.data(), file.size(), &g, &n));
  ASSERT_EQ(n, 3u);
  EXPECT_EQ(g[0].top, -4);
  EXPECT_EQ(g[0].left, -5);
  EXPECT_EQ(g[0].pixels[1], 8);
  EXPECT_EQ(g[1].height, 9);
  EXPECT_EQ(g[1].pixels, nullptr);  // width 0: no bitmap bytes
  EXPECT_EQ(g[2].advance, -1);
  EXPECT_EQ(g[2].pixels[0], 200);
  uint64_t size = 0;
  uint8_t* back = kxWriteFontGlyphs(g, n, &size);
  EXPECT_EQ(Bytes(back, back + size), file);
  free(back);
  kxFreeFontGlyphs(g, n);
}

TEST(kxFontFile, RecordRunningPastTheEndStopsAtTheLastWholeRecord) {
  Bytes file = Join({Record(2, 2, 1, 1, 1, {1, 2, 3, 4}), Record(3, 3, 1, 1, 1, {1, 2, 3})});
  TGlyph_s* g = nullptr;
  uint64_t n = 0;
  ASSERT_TRUE(kxReadFontGlyphs(file.data(), file.size(), &g, &n));
  EXPECT_EQ(n, 1u);
  kxFreeFontGlyphs(g, n);
  // Header cut short as well.
  for (size_t cut = 24; cut < 44; ++cut) {
    ASSERT_TRUE(kxReadFontGlyphs(file.data(), cut, &g, &n));
    EXPECT_EQ(n, 1u) << cut;
    kxFreeFontGlyphs(g, n);
  }
  ASSERT_TRUE(kxReadFontGlyphs(file.data(), 23, &g, &n));
  EXPECT_EQ(n, 0u);
  EXPECT_EQ(g, nullptr);
}

TEST(kxFontFile, NegativeOrOverflowingSizesStopTheLoad) {
  TGlyph_s* g = nullptr;
  uint64_t n = 0;
  Bytes negW = Join({Record(1, 1, 1, 1, 1, {9}), Record(-1, 4, 1, 1, 1, {}),
                     Record(1, 1, 1, 1, 1, {9})});
  ASSERT_TRUE(kxReadFontGlyphs(negW.data(), negW.size(), &g, &n));
  EXPECT_EQ(n, 1u);
  kxFreeFontGlyphs(g, n);
  Bytes negBoth = Record(-2, -3, 1, 1, 1, Bytes(6, 1));  // product 6 fits, signs do not
  ASSERT_TRUE(kxReadFontGlyphs(negBoth.data(), negBoth.size(), &g, &n));
  EXPECT_EQ(n, 0u);
  // 65536 x 65536 is 2^32: in 32 bits it wraps to 0 and the next record
  // would be misread as following a pixel-less glyph.
  Bytes wrap = Join({Record(65536, 65536, 1, 1, 1, {}), Record(0, 0, 1, 1, 1, {})});
  ASSERT_TRUE(kxReadFontGlyphs(wrap.data(), wrap.size(), &g, &n));
  EXPECT_EQ(n, 0u);
  Bytes huge = Record(0x7FFFFFFF, 0x7FFFFFFF, 1, 1, 1, Bytes(40, 1));
  ASSERT_TRUE(kxReadFontGlyphs(huge.data(), huge.size(), &g, &n));
  EXPECT_EQ(n, 0u);
  ASSERT_TRUE(kxReadFontGlyphs(nullptr, 50, &g, &n));
  EXPECT_EQ(n, 0u);
}

// --- Glyphs, saving and measuring (no GL) ------------------------------------------

TEST(kxFont, AppendGlyphCopiesAndSaveToMemoryWritesTheFile) {
  FontProbe font;
  uint64_t size = 7;
  EXPECT_EQ(font.SaveToMemory(&size), nullptr);
  EXPECT_EQ(size, 0u);
  EXPECT_FALSE(font.SaveToFile(TempPath("empty.fnt").c_str()));
  uint8_t px[2] = {1, 2};
  TGlyph_s g = Glyph(px, 2, 1, 3, 4, 5);
  font.AppendGlyph(&g);
  px[0] = 99;  // the font keeps its own copy
  TGlyph_s empty = Glyph(nullptr, 0, 0, 6, 0, 0);
  font.AppendGlyph(&empty);
  TGlyph_s negative = Glyph(px, -1, 1, 1, 1, 1);
  font.AppendGlyph(&negative);
  TGlyph_s missing = Glyph(nullptr, 2, 2, 1, 1, 1);
  font.AppendGlyph(&missing);
  font.AppendGlyph(nullptr);
  ASSERT_EQ(font.Count(), 2u);
  EXPECT_EQ(font.Glyph(0).pixels[0], 1);
  uint8_t* file = font.SaveToMemory(&size);
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(Bytes(file, file + size), Join({Record(2, 1, 3, 4, 5, {1, 2}), Record(0, 0, 6, 0, 0, {})}));
  free(file);
  EXPECT_FALSE(font.HasGeometry());  // appending makes no GL objects
}

TEST(kxFont, GetWidthSumsAdvancesTimesScale) {
  FontProbe font;
  const kxWChar pair[] = {1, 2, 0};
  EXPECT_EQ(font.GetWidth(pair), 0.0f);  // no glyphs yet
  // Code 0 ends every string, so the measured glyphs sit at codes 1 and 2.
  TGlyph_s nul = Glyph(nullptr, 0, 0, 100, 0, 0);
  TGlyph_s seven = Glyph(nullptr, 0, 0, 7, 0, 0), nine = Glyph(nullptr, 0, 0, 9, 0, 0);
  font.AppendGlyph(&nul);
  font.AppendGlyph(&seven);
  font.AppendGlyph(&nine);
  font.SetScale(2);
  EXPECT_EQ(font.GetWidth(u""), 0.0f);
  EXPECT_EQ(font.GetWidth(nullptr), 0.0f);
  EXPECT_EQ(font.GetWidth(pair), 32.0f);
  // Characters beyond the glyphs add nothing and read nothing.
  const kxWChar outside[] = {2, 3, 0xFFFF, 2, 0};
  EXPECT_EQ(font.GetWidth(outside), 36.0f);
  EXPECT_EQ(font.GetHeight(), 0.0f);
}

// --- Loading and drawing -----------------------------------------------------------

namespace {

class kxFontGL : public kxTest::GLTest {
 protected:
  bool Load(kxFont* font, const Bytes& file) {
    kxMemoryBlock* b = Block(file);
    bool ok = font->LoadFromMemory(b);
    kxFreeMemoryBlock(b);
    return ok;
  }
  // A 32 x 32 target, y up, one unit per pixel, white text colour.
  void Target() {
    fb.reset(new kxTest::Framebuffer(32, 32));
    kxTest::SetOrtho(0, 32, 0, 32);
  }
  RGBA At(int x, int y) { return fb->Pixel(x, y); }
  void TearDown() override { fb.reset(); }
  std::unique_ptr<kxTest::Framebuffer> fb;
};

const RGBA kWhite{255, 255, 255, 255};
const RGBA kNone{0, 0, 0, 0};

}  // namespace

TEST_F(kxFontGL, GlyphTextureIsPowerOfTwoAndPaddedWithZero) {
  Bytes px(5 * 12);
  for (size_t i = 0; i < px.size(); ++i) px[i] = uint8_t(i + 1);
  FontProbe font(ftTopDown);
  ASSERT_TRUE(Load(&font, Record(5, 12, 6, 12, 0, px)));
  ASSERT_EQ(font.Count(), 1u);
  int w = 0, h = 0;
  Bytes tex = kxTest::ReadTexture(font.Texture(0), GL_LUMINANCE_ALPHA, &w, &h);
  ASSERT_EQ(w, 8);
  ASSERT_EQ(h, 16);
  for (int r = 0; r < 16; ++r) {
    for (int c = 0; c < 8; ++c) {
      uint8_t expected = (c < 5 && r < 12) ? px[r * 5 + c] : 0;
      ASSERT_EQ(tex[(r * 8 + c) * 2], expected) << "luminance " << c << "," << r;
      ASSERT_EQ(tex[(r * 8 + c) * 2 + 1], expected) << "alpha " << c << "," << r;
    }
  }
  EXPECT_EQ(kxTest::TextureInternalFormat(font.Texture(0)), GL_LUMINANCE_ALPHA);
  kxVertexArray* quad = font.Quad(0);
  ASSERT_NE(quad, nullptr);
  EXPECT_EQ(kxTest::ReadFloatBuffer(quad->GetTexCoordBuffer(), 12),
            (std::vector<float>{0.625f, 0, 0, 0, 0, 0.75f, 0, 0.75f, 0.625f, 0.75f, 0.625f, 0}));
  EXPECT_EQ(kxTest::ReadFloatBuffer(quad->GetVertexBuffer(), 18),
            (std::vector<float>{5, 0, 0, 0, 0, 0, 0, 12, 0, 0, 12, 0, 5, 12, 0, 5, 0, 0}));
}

TEST_F(kxFontGL, BottomUpTextureCoordinates) {
  FontProbe font;  // default type
  ASSERT_TRUE(Load(&font, Record(5, 12, 6, 12, 0, Bytes(60, 1))));
  EXPECT_EQ(kxTest::ReadFloatBuffer(font.Quad(0)->GetTexCoordBuffer(), 12),
            (std::vector<float>{0.625f, 0.75f, 0, 0.75f, 0, 0, 0, 0, 0.625f, 0, 0.625f, 0.75f}));
}

TEST_F(kxFontGL, OneTexelWideGlyphUploadsUnskewed) {
  // Rows of one two-byte texel: the default unpack alignment of 4 would
  // read every row from the wrong place and past the end of the image.
  GLint before = 0;
  glGetIntegerv(GL_UNPACK_ALIGNMENT, &before);
  FontProbe font;
  ASSERT_TRUE(Load(&font, Record(1, 3, 1, 3, 0, {10, 20, 30})));
  int w, h;
  Bytes tex = kxTest::ReadTexture(font.Texture(0), GL_LUMINANCE_ALPHA, &w, &h);
  EXPECT_EQ(w, 1);
  EXPECT_EQ(h, 4);
  EXPECT_EQ(tex, (Bytes{10, 10, 20, 20, 30, 30, 0, 0}));
  GLint after = 0;
  glGetIntegerv(GL_UNPACK_ALIGNMENT, &after);
  EXPECT_EQ(after, before);
}

TEST_F(kxFontGL, ZeroWidthGlyphGetsAnEmptyTexelAndStillAdvances) {
  FontProbe font(ftTopDown);
  ASSERT_TRUE(Load(&font, Join({Record(0, 0, 0, 0, 0, {}), Record(0, 12, 5, 4, 0, {}),
                                Record(2, 2, 2, 2, 0, Bytes(4, 255))})));
  int w, h;
  EXPECT_EQ(kxTest::ReadTexture(font.Texture(1), GL_LUMINANCE_ALPHA, &w, &h), (Bytes{0, 0}));
  EXPECT_EQ(w, 1);
  EXPECT_EQ(h, 1);
  Target();
  const kxWChar text[] = {1, 2, 0};
  font.Print(10, 10, 0, text);
  // Glyph 2 sits 5 units right of the pen (glyph 1's advance), from y = -2.
  EXPECT_EQ(At(15, 8), kWhite);
  EXPECT_EQ(At(16, 9), kWhite);
  EXPECT_EQ(At(10, 8), kNone);
  EXPECT_EQ(At(14, 8), kNone);
}

TEST_F(kxFontGL, LineHeightFollowsTheTopComparison) {
  Bytes g1 = Record(1, 12, 1, 10, 0, Bytes(12, 1));
  Bytes g2 = Record(1, 20, 1, 8, 0, Bytes(20, 1));
  Bytes g3 = Record(1, 14, 1, 13, 0, Bytes(14, 1));
  kxFont font;
  ASSERT_TRUE(Load(&font, g1));
  EXPECT_EQ(font.GetHeight(), 12.0f);
  ASSERT_TRUE(Load(&font, Join({g1, g2})));
  EXPECT_EQ(font.GetHeight(), 12.0f);
  ASSERT_TRUE(Load(&font, Join({g1, g2, g3})));
  EXPECT_EQ(font.GetHeight(), 14.0f);
  font.SetScale(0.5f);
  EXPECT_EQ(font.GetHeight(), 7.0f);
}

TEST_F(kxFontGL, PrintPlacesGlyphsByTheirMetrics) {
  // Glyph 1: 4 x 3 full block, left 2, top 5, advance 9.
  FontProbe font(ftTopDown);
  ASSERT_TRUE(Load(&font, Join({Record(0, 0, 0, 0, 0, {}), Record(4, 3, 9, 5, 2, Bytes(12, 255))})));
  Target();
  const kxWChar two[] = {1, 0};
  font.Print(3, 20, 0, two);
  // Quad from (pen + left, -top) = (5, 15) to (9, 18).
  EXPECT_EQ(At(5, 15), kWhite);
  EXPECT_EQ(At(8, 17), kWhite);
  EXPECT_EQ(At(4, 16), kNone);
  EXPECT_EQ(At(9, 16), kNone);
  EXPECT_EQ(At(6, 14), kNone);
  EXPECT_EQ(At(6, 18), kNone);
  // Scale 2 doubles offsets and size around the starting pen.
  fb->Clear(0, 0, 0, 0);
  font.SetScale(2);
  font.Print(0, 30, 0, two);
  EXPECT_EQ(At(6, 23), kWhite);  // x 4..12, y 20..26 (inside the filtered edges)
  EXPECT_EQ(At(9, 24), kWhite);
  EXPECT_EQ(At(12, 22), kNone);
  EXPECT_EQ(At(6, 26), kNone);
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
  EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY));
}

TEST_F(kxFontGL, PenMovesByAdvanceForEveryCharacter) {
  // Glyph 1: a 2 x 2 block at the pen, advance 6.
  FontProbe font(ftTopDown);
  ASSERT_TRUE(Load(&font, Join({Record(0, 0, 3, 0, 0, {}), Record(2, 2, 6, 0, 0, Bytes(4, 255))})));
  Target();
  const kxWChar text[] = {1, 1, 2, 0xFFFF, 1, 0};  // codes 2 and 0xFFFF have no glyph
  font.Print(1, 4, 0, text);
  for (int x : {1, 7, 13}) {
    EXPECT_EQ(At(x, 4), kWhite) << x;
    EXPECT_EQ(At(x + 2, 4), kNone) << x;
  }
  EXPECT_EQ(At(19, 4), kNone);
  font.Print(0, 0, 0, nullptr);  // nothing at all
}

TEST_F(kxFontGL, RowOrderFollowsTheFontType) {
  // A 1 x 2 glyph whose first stored row is full and second empty.
  Bytes glyph = Record(1, 2, 1, 0, 0, {255, 0});
  Target();
  FontProbe bottomUp;  // default: first stored row at the quad edge y = height
  // Code 0 ends a string, so the glyph goes to code 1.
  Bytes two = Join({Record(0, 0, 0, 0, 0, {}), glyph});
  ASSERT_TRUE(Load(&bottomUp, two));
  const kxWChar one[] = {1, 0};
  bottomUp.Print(4, 4, 0, one);
  EXPECT_EQ(At(4, 5), kWhite);  // y = height (top edge in this y-up view)
  EXPECT_EQ(At(4, 4), kNone);
  FontProbe topDown(ftTopDown);
  ASSERT_TRUE(Load(&topDown, two));
  topDown.Print(10, 4, 0, one);
  EXPECT_EQ(At(10, 4), kWhite);  // y = 0
  EXPECT_EQ(At(10, 5), kNone);
}

TEST_F(kxFontGL, SaveAndLoadFileByteForByte) {
  Bytes file = Join({Record(2, 1, 3, 4, 5, {0x11, 0xEE}), Record(0, 0, 6, 0, 0, {}),
                     Record(3, 2, -1, -2, 7, {1, 2, 3, 4, 5, 6})});
  FontProbe font;
  ASSERT_TRUE(Load(&font, file));
  std::string path = TempPath("font.fnt");
  ASSERT_TRUE(font.SaveToFile(path.c_str()));
  EXPECT_EQ(ReadFile(path), file);
  FontProbe again;
  ASSERT_TRUE(again.LoadFromFile(path.c_str()));
  uint64_t size = 0;
  uint8_t* saved = again.SaveToMemory(&size);
  EXPECT_EQ(Bytes(saved, saved + size), file);
  free(saved);
  EXPECT_FALSE(font.SaveToFile("kxgfx_no_such_dir/font.fnt"));
  remove(path.c_str());
}

TEST_F(kxFontGL, FailedLoadsLeaveTheFontAsItWas) {
  FontProbe font;
  ASSERT_TRUE(Load(&font, Record(2, 1, 3, 4, 5, {1, 2})));
  unsigned tex = font.Texture(0);
  EXPECT_FALSE(font.LoadFromFile("kxgfx_no_such_font.fnt"));
  EXPECT_FALSE(font.LoadFromMemory(nullptr));
  EXPECT_FALSE(font.LoadFromCrunchedMemoryBlock(nullptr));
  kxMemoryBlock* junk = Block({9, 9, 9, 9, 9, 9});
  EXPECT_FALSE(font.LoadFromCrunchedMemoryBlock(junk));
  kxFreeMemoryBlock(junk);
  ASSERT_EQ(font.Count(), 1u);
  EXPECT_EQ(font.Glyph(0).advance, 3);
  EXPECT_EQ(font.Texture(0), tex);
  EXPECT_TRUE(kxTest::IsTexture(tex));
}

TEST_F(kxFontGL, ReloadingReplacesGlyphsTexturesAndGeometry) {
  FontProbe font;
  kxMemoryBlock* c = Crunched(Join({Record(1, 1, 1, 1, 0, {5}), Record(1, 1, 2, 1, 0, {6})}));
  ASSERT_TRUE(font.LoadFromCrunchedMemoryBlock(c));
  kxFreeMemoryBlock(c);
  ASSERT_EQ(font.Count(), 2u);
  unsigned old1 = font.Texture(1);
  unsigned oldBuffer = font.Quad(1)->GetVertexBuffer();
  ASSERT_TRUE(Load(&font, Record(1, 1, 4, 1, 0, {7})));
  ASSERT_EQ(font.Count(), 1u);
  EXPECT_EQ(font.Glyph(0).advance, 4);
  EXPECT_EQ(font.Quad(1), nullptr);
  EXPECT_FALSE(kxTest::IsTexture(old1));
  EXPECT_FALSE(kxTest::IsBuffer(oldBuffer));
  // A truncated block keeps the whole records before the cut.
  Bytes cut = Join({Record(1, 1, 1, 1, 0, {5}), Record(4, 4, 1, 1, 0, {1, 2})});
  ASSERT_TRUE(Load(&font, cut));
  EXPECT_EQ(font.Count(), 1u);
  EXPECT_NE(font.Quad(0), nullptr);
}
