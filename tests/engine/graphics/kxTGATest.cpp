#include <gtest/gtest.h>

#include "graphics/kxTGA.h"
#include "kxGraphicsTestData.h"

using namespace kxGfxTest;

namespace {

Bytes Tga(uint8_t type, uint16_t w, uint16_t h, uint8_t depth, const Bytes& data) {
  return Join({TGAHeader(type, w, h, depth), data});
}

}  // namespace

TEST(kxTGADecode, PixelLayouts) {
  Bytes packets = {127}, boundary(257 * 3, 0);  // 127: raw of 128; 128: run of 1; 255: run of 128
  for (int i = 0; i < 128; ++i)
    packets.insert(packets.end(), {uint8_t(i), 0, 0}), boundary[i * 3 + 2] = uint8_t(i);
  packets.insert(packets.end(), {128, 0, 0, 200, 255, 0, 77, 0});
  boundary[128 * 3] = 200;
  for (int i = 129; i < 257; ++i) boundary[i * 3 + 1] = 77;
  const std::pair<Bytes, Bytes> rows[] = {
      {Tga(2, 2, 1, 24, {0, 0, 255, 255, 0, 0}), {255, 0, 0, 0, 0, 255}},
      {Tga(2, 1, 1, 32, {10, 20, 30, 40}), {30, 20, 10, 40}},
      {Tga(2, 1, 3, 24, {1, 1, 1, 2, 2, 2, 3, 3, 3}), {1, 1, 1, 2, 2, 2, 3, 3, 3}},
      {Tga(10, 4, 1, 24, {131, 1, 2, 3}), {3, 2, 1, 3, 2, 1, 3, 2, 1, 3, 2, 1}},
      {Tga(10, 4, 1, 24, {3, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}),
       {3, 2, 1, 6, 5, 4, 9, 8, 7, 12, 11, 10}},
      {Tga(10, 2, 1, 32, {1, 10, 20, 30, 40, 50, 60, 70, 80}), {30, 20, 10, 40, 70, 60, 50, 80}},
      {Tga(10, 257, 1, 24, packets), boundary},
      {Tga(10, 2, 1, 24, {255, 9, 8, 7}), {7, 8, 9, 7, 8, 9}},         // run cut at the last pixel
      {Tga(10, 2, 1, 24, {3, 1, 2, 3, 4, 5, 6}), {3, 2, 1, 6, 5, 4}},  // raw packet cut likewise
      {Tga(3, 1, 1, 24, {128, 5, 6, 7}), {7, 6, 5}},  // other types decode as run-length too
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(testing::Message() << "row " << &r - rows);
    kxTGAImage image{};
    ASSERT_TRUE(kxDecodeTGA(r.first.data(), r.first.size(), &image));
    EXPECT_EQ(image.bytesPerPixel, r.first[16] / 8u);
    EXPECT_EQ(Bytes(image.pixels,
                    image.pixels + size_t(image.width) * image.height * image.bytesPerPixel),
              r.second);
    kxFreeTGAImage(&image);
  }
}

TEST(kxTGADecode, HostileInputIsRejectedWithoutTouchingTheImage) {
  Bytes twoRuns = {255, 1, 2, 3, 255, 4, 5, 6};  // at most 256 pixels
  std::vector<Bytes> bad = {
      Tga(2, 2, 2, 24, Bytes(11, 1)),              // raw data one byte short
      Tga(10, 4, 1, 24, {131, 1, 2}),              // run cut inside its pixel
      Tga(10, 4, 1, 24, {3, 1, 2, 3, 4, 5, 6}),    // raw packet missing pixels
      Tga(10, 4, 1, 24, {129, 1, 2, 3}),           // too few pixels
      Tga(10, 4, 1, 32, {}),                       // no pixel data
      Tga(2, 0, 5, 24, Bytes(30, 1)),              // zero width
      Tga(10, 5, 0, 32, {255, 1, 2, 3, 4}),        // zero height
      Tga(2, 65535, 65535, 32, Bytes(12, 0xFF)),   // 30 bytes claiming 16 GiB: the
      Tga(10, 65535, 65535, 32, Bytes(12, 0xFF)),  // sanitizer aborts on such an allocation
      Tga(10, 257, 1, 24, twoRuns),
  };
  for (uint8_t depth : {0, 8, 15, 16, 23, 25, 31, 33, 48, 255})
    bad.push_back(Tga(2, 1, 1, depth, Bytes(16, 1)));
  for (size_t n = 0; n < 18; ++n) bad.push_back(Bytes(bad[0].begin(), bad[0].begin() + n));
  kxTGAImage image, before;
  memset(&image, 0xAB, sizeof image);
  before = image;
  for (const Bytes& b : bad)
    EXPECT_FALSE(kxDecodeTGA(b.data(), b.size(), &image)) << "case " << &b - bad.data();
  EXPECT_FALSE(kxDecodeTGA(nullptr, 100, &image));
  EXPECT_EQ(memcmp(&image, &before, sizeof image), 0);
  Bytes exact = Tga(10, 16, 16, 24, twoRuns);  // the 256-pixel bound is exact
  ASSERT_TRUE(kxDecodeTGA(exact.data(), exact.size(), &image));
  kxFreeTGAImage(&image);
}

class kxTGATexture : public kxTest::GLTest {
 protected:
  // The texture read back as RGBA (empty when none was made); *name gets its name.
  Bytes Upload(const Bytes& bytes, GLuint* name, bool crunch = false) {
    kxMemoryBlock* block = crunch ? Crunched(bytes) : Block(bytes);
    *name = crunch ? TextureFromCrunchedMemoryBlockTGA(block) : TextureFromMemoryBlockTGA(block);
    kxFreeMemoryBlock(block);
    made.push_back(*name);
    int w, h;
    return *name ? kxTest::ReadTexture(*name, GL_RGBA, &w, &h) : Bytes();
  }
  void TearDown() override { glDeleteTextures(GLsizei(made.size()), made.data()); }
  std::vector<GLuint> made;
};

TEST_F(kxTGATexture, UploadsRGBAOfEveryWidthAndRestoresTheAlignment) {
  GLuint name = 0;
  Bytes redBlue = Tga(2, 2, 1, 24, {0, 0, 255, 255, 0, 0});
  EXPECT_EQ(Upload(redBlue, &name), (Bytes{255, 0, 0, 255, 0, 0, 255, 255}));
  EXPECT_EQ(kxTest::TextureInternalFormat(name), GL_RGBA);
  EXPECT_EQ(Upload(redBlue, &name, true), (Bytes{255, 0, 0, 255, 0, 0, 255, 255}));
  EXPECT_EQ(Upload(Tga(10, 3, 1, 32, {130, 10, 20, 30, 40}), &name),
            (Bytes{30, 20, 10, 40, 30, 20, 10, 40, 30, 20, 10, 40}));
  // Rows of 3, 9, 15 or 21 bytes are skewed under the default alignment of 4.
  for (uint16_t width : {1, 3, 5, 7}) {
    GLint previous = width == 7 ? 8 : width == 5 ? 2 : 4, now = 0;
    glPixelStorei(GL_UNPACK_ALIGNMENT, previous);
    Bytes data, expected;
    for (int i = 0; i < width * 3; ++i) {
      data.insert(data.end(), {uint8_t(i * 3), uint8_t(i * 3 + 1), uint8_t(i * 3 + 2)});
      expected.insert(expected.end(),
                      {uint8_t(i * 3 + 2), uint8_t(i * 3 + 1), uint8_t(i * 3), 255});
    }
    EXPECT_EQ(Upload(Tga(2, width, 3, 24, data), &name), expected) << "width " << width;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &now);
    EXPECT_EQ(now, previous);
  }
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
}

TEST_F(kxTGATexture, UnusableBlocksGiveNoTexture) {
  EXPECT_EQ(TextureFromMemoryBlockTGA(nullptr) + TextureFromCrunchedMemoryBlockTGA(nullptr), 0u);
  kxMemoryBlock* plain = Block(Tga(2, 1, 1, 24, {1, 2, 3}));  // an image, but not crunched
  EXPECT_EQ(TextureFromCrunchedMemoryBlockTGA(plain), 0u);
  kxFreeMemoryBlock(plain);
  GLuint name = 1;
  const std::pair<Bytes, bool> rows[] = {{Tga(2, 4, 4, 16, Bytes(32, 0)), false},
                                         {Bytes(), false},
                                         {Bytes(40, 7), true}};  // crunched, but not an image
  for (const auto& r : rows) {
    EXPECT_TRUE(Upload(r.first, &name, r.second).empty());
    EXPECT_EQ(name, 0u);
  }
}
