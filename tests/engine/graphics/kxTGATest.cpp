#include <gtest/gtest.h>

#include "graphics/kxTGA.h"
#include "kxGraphicsTestData.h"
#include "support/kxGLTestContext.h"

using namespace kxGfxTest;

namespace {

Bytes Tga(uint8_t type, uint16_t w, uint16_t h, uint8_t depth, const Bytes& data) {
  return Join({TGAHeader(type, w, h, depth), data});
}

// Decoded pixels, or nothing with ok false; the image is freed here.
bool Decode(const Bytes& bytes, Bytes* pixels, kxTGAImage* sizes = nullptr) {
  kxTGAImage image{};
  if (!kxDecodeTGA(bytes.data(), bytes.size(), &image)) return false;
  pixels->assign(image.pixels,
                 image.pixels + size_t(image.width) * image.height * image.bytesPerPixel);
  if (sizes) *sizes = image;
  kxFreeTGAImage(&image);
  EXPECT_EQ(image.pixels, nullptr);
  return true;
}

}  // namespace

TEST(kxTGADecode, PixelLayouts) {
  Bytes raw128 = {127};  // headers 127: raw of 128; 128: run of 1; 255: run of 128
  for (int i = 0; i < 128; ++i) raw128.insert(raw128.end(), {uint8_t(i), 0, 0});
  raw128.insert(raw128.end(), {128, 0, 0, 200, 255, 0, 77, 0});
  Bytes boundary(257 * 3, 0);
  for (int i = 0; i < 128; ++i) boundary[i * 3 + 2] = uint8_t(i);
  boundary[128 * 3] = 200;
  for (int i = 129; i < 257; ++i) boundary[i * 3 + 1] = 77;
  Bytes xOrigin = TGAHeader(2, 2, 1, 24);
  xOrigin[8] = 1;  // any of the first 12 bytes off the raw pattern selects run-length
  struct Row {
    const char* name;
    Bytes file, pixels;
    unsigned bpp;
  } rows[] = {
      {"raw 24, BGR to RGB", Tga(2, 2, 1, 24, {0, 0, 255, 255, 0, 0}), {255, 0, 0, 0, 0, 255}, 3},
      {"raw 32 keeps alpha", Tga(2, 1, 1, 32, {10, 20, 30, 40}), {30, 20, 10, 40}, 4},
      {"rows stay in file order",
       Tga(2, 1, 3, 24, {1, 1, 1, 2, 2, 2, 3, 3, 3}),
       {1, 1, 1, 2, 2, 2, 3, 3, 3},
       3},
      {"run packet", Tga(10, 4, 1, 24, {131, 1, 2, 3}), {3, 2, 1, 3, 2, 1, 3, 2, 1, 3, 2, 1}, 3},
      {"raw packet",
       Tga(10, 4, 1, 24, {3, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}),
       {3, 2, 1, 6, 5, 4, 9, 8, 7, 12, 11, 10},
       3},
      {"rle 32",
       Tga(10, 2, 1, 32, {1, 10, 20, 30, 40, 50, 60, 70, 80}),
       {30, 20, 10, 40, 70, 60, 50, 80},
       4},
      {"packet headers 127, 128, 255", Tga(10, 257, 1, 24, raw128), boundary, 3},
      {"run cut at the last pixel", Tga(10, 2, 1, 24, {255, 9, 8, 7}), {7, 8, 9, 7, 8, 9}, 3},
      {"raw packet cut at the last pixel",
       Tga(10, 2, 1, 24, {3, 1, 2, 3, 4, 5, 6}),
       {3, 2, 1, 6, 5, 4},
       3},
      {"x origin set", Join({xOrigin, {129, 5, 6, 7}}), {7, 6, 5, 7, 6, 5}, 3},
      {"other type", Tga(3, 1, 1, 24, {128, 5, 6, 7}), {7, 6, 5}, 3},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    Bytes px;
    kxTGAImage sizes{};
    ASSERT_TRUE(Decode(r.file, &px, &sizes));
    EXPECT_EQ(px, r.pixels);
    EXPECT_EQ(sizes.bytesPerPixel, r.bpp);
    EXPECT_EQ(size_t(sizes.width) * sizes.height * r.bpp, r.pixels.size());
  }
}

TEST(kxTGADecode, HostileInputIsRejectedWithoutTouchingTheImage) {
  Bytes twoRuns = {255, 1, 2, 3, 255, 4, 5, 6};  // at most 256 pixels
  std::vector<std::pair<const char*, Bytes>> bad = {
      {"raw one byte short", Tga(2, 2, 2, 24, Bytes(11, 1))},
      {"run cut inside its pixel", Tga(10, 4, 1, 24, {131, 1, 2})},
      {"raw packet missing pixels", Tga(10, 4, 1, 24, {3, 1, 2, 3, 4, 5, 6})},
      {"too few pixels", Tga(10, 4, 1, 24, {129, 1, 2, 3})},
      {"no pixel data", Tga(10, 4, 1, 32, {})},
      {"run of 128 one pixel short",
       Tga(10, 258, 1, 24, Join({{127}, Bytes(384, 0), {255, 0, 0, 0, 128, 1, 1, 1}}))},
      {"zero width", Tga(2, 0, 5, 24, Bytes(30, 1))},
      {"zero height", Tga(10, 5, 0, 32, {255, 1, 2, 3, 4})},
      // 30 bytes claiming 16 GiB: the sanitizer build aborts if it is allocated.
      {"huge raw claim", Tga(2, 65535, 65535, 32, Bytes(12, 0xFF))},
      {"huge rle claim", Tga(10, 65535, 65535, 32, Bytes(12, 0xFF))},
      {"257 pixels from two runs", Tga(10, 257, 1, 24, twoRuns)},
  };
  for (uint8_t depth : {0, 8, 15, 16, 23, 25, 31, 33, 48, 255})
    bad.push_back({"depth", Tga(2, 1, 1, depth, Bytes(16, 1))});
  Bytes full = Tga(2, 1, 1, 24, {1, 2, 3});
  for (size_t n = 0; n < 18; ++n)
    bad.push_back({"short header", Bytes(full.begin(), full.begin() + n)});
  kxTGAImage image, before;
  memset(&image, 0xAB, sizeof image);
  before = image;
  for (const auto& b : bad) {
    SCOPED_TRACE(testing::Message() << b.first << " (" << b.second.size() << " bytes)");
    EXPECT_FALSE(kxDecodeTGA(b.second.data(), b.second.size(), &image));
  }
  EXPECT_FALSE(kxDecodeTGA(nullptr, 100, &image));
  EXPECT_EQ(memcmp(&image, &before, sizeof image), 0);
  Bytes px;
  EXPECT_TRUE(Decode(Tga(10, 16, 16, 24, twoRuns), &px));  // the 256-pixel bound is exact
}

class kxTGATexture : public kxTest::GLTest {
 protected:
  // Uploads the block and reads the texture back as RGBA; the name is kept
  // when asked for, else deleted.
  Bytes Upload(const Bytes& bytes, int* w, int* h, GLuint* name = nullptr, bool crunch = false) {
    kxMemoryBlock* block = crunch ? Crunched(bytes) : Block(bytes);
    GLuint texture =
        crunch ? TextureFromCrunchedMemoryBlockTGA(block) : TextureFromMemoryBlockTGA(block);
    kxFreeMemoryBlock(block);
    Bytes pixels;
    *w = *h = 0;
    if (texture) pixels = kxTest::ReadTexture(texture, GL_RGBA, w, h);
    if (name)
      *name = texture;
    else if (texture)
      glDeleteTextures(1, &texture);
    return pixels;
  }
};

TEST_F(kxTGATexture, UploadsRGBAWithTheEngineTextureState) {
  int w, h;
  GLuint name = 0;
  Bytes px = Upload(Tga(2, 2, 1, 24, {0, 0, 255, 255, 0, 0}), &w, &h, &name);
  ASSERT_NE(name, 0u);
  EXPECT_EQ(px, (Bytes{255, 0, 0, 255, 0, 0, 255, 255}));
  EXPECT_EQ(kxTest::TextureInternalFormat(name), GL_RGBA);
  const std::pair<GLenum, GLint> params[] = {{GL_TEXTURE_MIN_FILTER, GL_LINEAR},
                                             {GL_TEXTURE_MAG_FILTER, GL_LINEAR},
                                             {GL_TEXTURE_WRAP_S, GL_REPEAT},
                                             {GL_TEXTURE_WRAP_T, GL_REPEAT}};
  glBindTexture(GL_TEXTURE_2D, name);
  for (const auto& p : params) {
    GLint value = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, p.first, &value);
    EXPECT_EQ(value, p.second) << std::hex << p.first;
  }
  GLint env = 0;
  glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &env);
  EXPECT_EQ(env, GL_MODULATE);
  glDeleteTextures(1, &name);
  EXPECT_EQ(Upload(Tga(10, 3, 1, 32, {130, 10, 20, 30, 40}), &w, &h),
            (Bytes{30, 20, 10, 40, 30, 20, 10, 40, 30, 20, 10, 40}));
  EXPECT_EQ(Upload(Tga(2, 2, 1, 24, {0, 0, 255, 255, 0, 0}), &w, &h, nullptr, true),
            (Bytes{255, 0, 0, 255, 0, 0, 255, 255}));
}

TEST_F(kxTGATexture, OddWidthsUploadUnskewedAndAlignmentIsRestored) {
  // Rows of 3, 9, 15 or 21 bytes are not a multiple of the default alignment of 4.
  for (uint16_t width : {1, 3, 5, 7}) {
    GLint previous = width == 7 ? 8 : width == 5 ? 2 : 4;
    glPixelStorei(GL_UNPACK_ALIGNMENT, previous);
    Bytes data, expected;
    for (int i = 0; i < width * 3; ++i) {
      data.insert(data.end(), {uint8_t(i * 3), uint8_t(i * 3 + 1), uint8_t(i * 3 + 2)});
      expected.insert(expected.end(),
                      {uint8_t(i * 3 + 2), uint8_t(i * 3 + 1), uint8_t(i * 3), 255});
    }
    int w, h;
    EXPECT_EQ(Upload(Tga(2, width, 3, 24, data), &w, &h), expected) << "width " << width;
    EXPECT_EQ(w * 10 + h, width * 10 + 3);
    GLint now = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &now);
    EXPECT_EQ(now, previous);
  }
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
}

TEST_F(kxTGATexture, UnusableBlocksGiveNoTexture) {
  EXPECT_EQ(TextureFromMemoryBlockTGA(nullptr), 0u);
  EXPECT_EQ(TextureFromCrunchedMemoryBlockTGA(nullptr), 0u);
  int w, h;
  GLuint name = 1;
  for (const Bytes& b : {Tga(2, 4, 4, 16, Bytes(32, 0)), Bytes()}) {
    Upload(b, &w, &h, &name);
    EXPECT_EQ(name, 0u);
  }
  Upload(Bytes(40, 7), &w, &h, &name, true);  // crunched, but not an image
  EXPECT_EQ(name, 0u);
  kxMemoryBlock* plain = Block(Tga(2, 1, 1, 24, {1, 2, 3}));  // an image, but not crunched
  EXPECT_EQ(TextureFromCrunchedMemoryBlockTGA(plain), 0u);
  kxFreeMemoryBlock(plain);

  GLint largest = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largest);
  ASSERT_GT(largest, 0);
  ASSERT_LT(largest, 65535);
  Bytes tga = TGAHeader(10, uint16_t(largest + 1), 1, 24);
  for (int left = largest + 1; left > 0; left -= 128) tga.insert(tga.end(), {255, 1, 2, 3});
  Upload(tga, &w, &h, &name);
  EXPECT_EQ(name, 0u) << "wider than the implementation allows";
  tga[12] = uint8_t(largest), tga[13] = uint8_t(largest >> 8);
  Bytes px = Upload(tga, &w, &h);
  EXPECT_EQ(w, largest);
  EXPECT_EQ(px.at(0), 3);
}
