#include "graphics/kxTGA.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "data/kxMemoryBlock.h"
#include "support/kxGLTestContext.h"

namespace {

typedef std::vector<uint8_t> Bytes;

// 18-byte header: uncompressed true-colour (type 2) or run-length (type 10).
Bytes Header(uint8_t type, uint16_t width, uint16_t height, uint8_t depth) {
  Bytes h(18, 0);
  h[2] = type;
  h[12] = uint8_t(width), h[13] = uint8_t(width >> 8);
  h[14] = uint8_t(height), h[15] = uint8_t(height >> 8);
  h[16] = depth;
  return h;
}

Bytes Join(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

struct Decoded {
  bool ok;
  kxTGAImage image;  // sizes as decoded; the pixels are copied out and freed
  Bytes pixels;
};

Decoded Decode(const Bytes& bytes) {
  Decoded d{};
  d.ok = kxDecodeTGA(bytes.data(), bytes.size(), &d.image);
  if (d.ok) {
    d.pixels.assign(d.image.pixels,
                    d.image.pixels + size_t(d.image.width) * d.image.height * d.image.bytesPerPixel);
    kxTGAImage sizes = d.image;
    kxFreeTGAImage(&d.image);
    d.image = sizes;
    d.image.pixels = nullptr;
  }
  return d;
}

// A malloc'ed block copy of the bytes, released by the caller.
kxMemoryBlock* Block(const Bytes& bytes) {
  kxMemoryBlock* b = kxAllocMemoryBlock(bytes.size());
  if (b && !bytes.empty()) memcpy(b->data, bytes.data(), bytes.size());
  return b;
}

}  // namespace

// --- Decoding ---------------------------------------------------------------

TEST(kxTGADecode, RawPixelsAreReorderedToRGBAndRGBA) {
  Decoded d = Decode(Join(Header(2, 2, 1, 24), {0, 0, 255, 255, 0, 0}));
  ASSERT_TRUE(d.ok);
  EXPECT_EQ(d.image.width, 2u);
  EXPECT_EQ(d.image.height, 1u);
  EXPECT_EQ(d.image.bytesPerPixel, 3u);
  EXPECT_EQ(d.pixels, (Bytes{255, 0, 0, 0, 0, 255}));  // red, then blue

  d = Decode(Join(Header(2, 1, 1, 32), {10, 20, 30, 40}));
  ASSERT_TRUE(d.ok);
  EXPECT_EQ(d.image.bytesPerPixel, 4u);
  EXPECT_EQ(d.pixels, (Bytes{30, 20, 10, 40}));
}

TEST(kxTGADecode, RowsStayInFileOrder) {
  Decoded d = Decode(Join(Header(2, 1, 3, 24), {1, 1, 1, 2, 2, 2, 3, 3, 3}));
  ASSERT_TRUE(d.ok);
  EXPECT_EQ(d.pixels, (Bytes{1, 1, 1, 2, 2, 2, 3, 3, 3}));
}

TEST(kxTGADecode, RunAndRawPackets) {
  Decoded run = Decode(Join(Header(10, 4, 1, 24), {131, 1, 2, 3}));
  ASSERT_TRUE(run.ok);
  EXPECT_EQ(run.pixels, (Bytes{3, 2, 1, 3, 2, 1, 3, 2, 1, 3, 2, 1}));

  Decoded raw = Decode(Join(Header(10, 4, 1, 24), {3, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
  ASSERT_TRUE(raw.ok);
  EXPECT_EQ(raw.pixels, (Bytes{3, 2, 1, 6, 5, 4, 9, 8, 7, 12, 11, 10}));

  Decoded rgba = Decode(Join(Header(10, 2, 1, 32), {1, 10, 20, 30, 40, 50, 60, 70, 80}));
  ASSERT_TRUE(rgba.ok);
  EXPECT_EQ(rgba.pixels, (Bytes{30, 20, 10, 40, 70, 60, 50, 80}));
}

TEST(kxTGADecode, PacketHeaderBoundaries) {
  // 127: raw packet of 128 pixels; 128: run of 1; 255: run of 128.
  Bytes data = {127};
  for (int i = 0; i < 128; ++i) data.insert(data.end(), {uint8_t(i), 0, 0});
  data.insert(data.end(), {128, 0, 0, 200});
  data.insert(data.end(), {255, 0, 77, 0});
  Decoded d = Decode(Join(Header(10, 257, 1, 24), data));
  ASSERT_TRUE(d.ok);
  ASSERT_EQ(d.pixels.size(), 257u * 3);
  for (int i = 0; i < 128; ++i) ASSERT_EQ(d.pixels[i * 3 + 2], i) << "raw pixel " << i;
  EXPECT_EQ(d.pixels[128 * 3], 200);
  for (int i = 129; i < 257; ++i) ASSERT_EQ(d.pixels[i * 3 + 1], 77) << "run pixel " << i;

  // The same run packet of 128 ends the image one pixel early: not enough.
  Decoded shortRun = Decode(Join(Header(10, 258, 1, 24), data));
  EXPECT_FALSE(shortRun.ok);
}

TEST(kxTGADecode, PacketsPassingTheLastPixelAreCut) {
  Decoded run = Decode(Join(Header(10, 2, 1, 24), {255, 9, 8, 7}));
  ASSERT_TRUE(run.ok);
  EXPECT_EQ(run.pixels, (Bytes{7, 8, 9, 7, 8, 9}));
  // A raw packet of four whose last two pixels are missing still fills 2 x 1.
  Decoded raw = Decode(Join(Header(10, 2, 1, 24), {3, 1, 2, 3, 4, 5, 6}));
  ASSERT_TRUE(raw.ok);
  EXPECT_EQ(raw.pixels, (Bytes{3, 2, 1, 6, 5, 4}));
}

TEST(kxTGADecode, DecoderIsChosenByTheFirstTwelveBytes) {
  // Type 2 with a non-zero x origin is read as run-length data.
  Bytes h = Header(2, 2, 1, 24);
  h[8] = 1;
  Decoded d = Decode(Join(h, {129, 5, 6, 7}));
  ASSERT_TRUE(d.ok);
  EXPECT_EQ(d.pixels, (Bytes{7, 6, 5, 7, 6, 5}));
  // Any other image type also goes to the run-length decoder.
  Decoded other = Decode(Join(Header(3, 1, 1, 24), {128, 5, 6, 7}));
  ASSERT_TRUE(other.ok);
  EXPECT_EQ(other.pixels, (Bytes{7, 6, 5}));
}

TEST(kxTGADecode, HostileHeadersAreRejectedWithoutTouchingTheImage) {
  kxTGAImage image;
  memset(&image, 0xAB, sizeof image);
  kxTGAImage before = image;
  Bytes full = Join(Header(2, 1, 1, 24), {1, 2, 3});
  for (size_t n = 0; n < 18; ++n) {
    EXPECT_FALSE(kxDecodeTGA(full.data(), n, &image)) << n << " bytes";
  }
  EXPECT_FALSE(kxDecodeTGA(nullptr, 100, &image));
  for (uint8_t depth : {0, 8, 15, 16, 23, 25, 31, 33, 48, 255}) {
    Bytes b = Join(Header(2, 1, 1, depth), Bytes(16, 1));
    EXPECT_FALSE(kxDecodeTGA(b.data(), b.size(), &image)) << "depth " << int(depth);
  }
  Bytes zeroWidth = Join(Header(2, 0, 5, 24), Bytes(30, 1));
  EXPECT_FALSE(kxDecodeTGA(zeroWidth.data(), zeroWidth.size(), &image));
  Bytes zeroHeight = Join(Header(10, 5, 0, 32), {255, 1, 2, 3, 4});
  EXPECT_FALSE(kxDecodeTGA(zeroHeight.data(), zeroHeight.size(), &image));
  EXPECT_EQ(memcmp(&image, &before, sizeof image), 0);
}

TEST(kxTGADecode, PixelDataThatCannotFillTheImageIsRejected) {
  kxTGAImage image{};
  Bytes raw = Join(Header(2, 2, 2, 24), Bytes(11, 1));  // one byte short
  EXPECT_FALSE(kxDecodeTGA(raw.data(), raw.size(), &image));
  raw.push_back(1);
  EXPECT_TRUE(kxDecodeTGA(raw.data(), raw.size(), &image));
  kxFreeTGAImage(&image);
  EXPECT_EQ(image.pixels, nullptr);

  // Run-length data ending inside a packet, or before the image is full.
  EXPECT_FALSE(Decode(Join(Header(10, 4, 1, 24), {131, 1, 2})).ok);
  EXPECT_FALSE(Decode(Join(Header(10, 4, 1, 24), {3, 1, 2, 3, 4, 5, 6})).ok);
  EXPECT_FALSE(Decode(Join(Header(10, 4, 1, 24), {129, 1, 2, 3})).ok);
  EXPECT_FALSE(Decode(Join(Header(10, 4, 1, 32), {})).ok);
}

TEST(kxTGADecode, HugeClaimsAreRejectedBeforeAllocating) {
  // 30 bytes claiming 65535 x 65535 pixels (16 GiB): both decoders must see
  // that 12 bytes cannot describe it. Under the sanitizer build an attempt
  // to allocate that much aborts the test.
  Bytes raw = Join(Header(2, 65535, 65535, 32), Bytes(12, 0xFF));
  ASSERT_EQ(raw.size(), 30u);
  EXPECT_FALSE(Decode(raw).ok);
  Bytes rle = Join(Header(10, 65535, 65535, 32), Bytes(12, 0xFF));
  EXPECT_FALSE(Decode(rle).ok);

  // The bound is exact: two run packets of 128 can give 256 pixels, not 257.
  Bytes twoRuns = {255, 1, 2, 3, 255, 4, 5, 6};
  EXPECT_TRUE(Decode(Join(Header(10, 16, 16, 24), twoRuns)).ok);
  EXPECT_FALSE(Decode(Join(Header(10, 257, 1, 24), twoRuns)).ok);
}

// --- Upload -----------------------------------------------------------------

class kxTGATexture : public kxTest::GLTest {
 protected:
  // Uploads the bytes and reads the texture back as RGBA.
  Bytes Upload(const Bytes& bytes, int* w, int* h, GLuint* name = nullptr) {
    kxMemoryBlock* block = Block(bytes);
    GLuint texture = TextureFromMemoryBlockTGA(block);
    kxFreeMemoryBlock(block);
    Bytes pixels;
    *w = *h = 0;
    if (texture) pixels = kxTest::ReadTexture(texture, GL_RGBA, w, h);
    if (name) {
      *name = texture;
    } else if (texture) {
      glDeleteTextures(1, &texture);
    }
    return pixels;
  }
};

TEST_F(kxTGATexture, TwentyFourBitImageBecomesOpaqueRGBA) {
  int w, h;
  GLuint name = 0;
  Bytes px = Upload(Join(Header(2, 2, 1, 24), {0, 0, 255, 255, 0, 0}), &w, &h, &name);
  ASSERT_NE(name, 0u);
  EXPECT_EQ(w, 2);
  EXPECT_EQ(h, 1);
  EXPECT_EQ(px, (Bytes{255, 0, 0, 255, 0, 0, 255, 255}));
  EXPECT_EQ(kxTest::TextureInternalFormat(name), GL_RGBA);

  // Upload state: new texture bound, linear filters, repeat, modulate.
  GLint bound = 0, value = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  glBindTexture(GL_TEXTURE_2D, name);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &value);
  EXPECT_EQ(value, GL_LINEAR);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &value);
  EXPECT_EQ(value, GL_LINEAR);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &value);
  EXPECT_EQ(value, GL_REPEAT);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &value);
  EXPECT_EQ(value, GL_REPEAT);
  glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &value);
  EXPECT_EQ(value, GL_MODULATE);
  glDeleteTextures(1, &name);
}

TEST_F(kxTGATexture, ThirtyTwoBitImageKeepsAlpha) {
  int w, h;
  Bytes px = Upload(Join(Header(10, 3, 1, 32), {130, 10, 20, 30, 40}), &w, &h);
  EXPECT_EQ(px, (Bytes{30, 20, 10, 40, 30, 20, 10, 40, 30, 20, 10, 40}));
}

TEST_F(kxTGATexture, OddWidthsUploadUnskewed) {
  // Rows of 5 x 3 = 15 bytes are not a multiple of 4: with the default
  // unpack alignment every row after the first would be shifted.
  for (uint16_t width : {1, 3, 5, 7}) {
    const uint16_t height = 3;
    Bytes data, expected;
    for (int i = 0; i < width * height; ++i) {
      uint8_t b = uint8_t(i * 3), g = uint8_t(i * 3 + 1), r = uint8_t(i * 3 + 2);
      data.insert(data.end(), {b, g, r});
      expected.insert(expected.end(), {r, g, b, 255});
    }
    int w, h;
    Bytes px = Upload(Join(Header(2, width, height, 24), data), &w, &h);
    EXPECT_EQ(w, width);
    EXPECT_EQ(h, height);
    EXPECT_EQ(px, expected) << "width " << width;
  }
}

TEST_F(kxTGATexture, UnpackAlignmentIsRestored) {
  for (GLint previous : {1, 2, 4, 8}) {
    glPixelStorei(GL_UNPACK_ALIGNMENT, previous);
    int w, h;
    Bytes px = Upload(Join(Header(2, 1, 1, 24), {1, 2, 3}), &w, &h);
    EXPECT_EQ(px, (Bytes{3, 2, 1, 255}));
    GLint now = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &now);
    EXPECT_EQ(now, previous);
  }
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
}

TEST_F(kxTGATexture, UndecodableBlocksGiveNoTexture) {
  EXPECT_EQ(TextureFromMemoryBlockTGA(nullptr), 0u);
  kxMemoryBlock* bad = Block(Join(Header(2, 4, 4, 16), Bytes(32, 0)));
  EXPECT_EQ(TextureFromMemoryBlockTGA(bad), 0u);
  kxFreeMemoryBlock(bad);
  kxMemoryBlock* empty = Block({});
  EXPECT_EQ(TextureFromMemoryBlockTGA(empty), 0u);
  kxFreeMemoryBlock(empty);
}

TEST_F(kxTGATexture, ImagesLargerThanTheImplementationAllowsGiveNoTexture) {
  GLint largest = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largest);
  ASSERT_GT(largest, 0);
  ASSERT_LT(largest, 65535);
  const uint16_t width = uint16_t(largest + 1);
  Bytes tga = Join(Header(10, width, 1, 24), {});
  for (int left = width; left > 0; left -= 128) tga.insert(tga.end(), {255, 1, 2, 3});
  int w, h;
  GLuint name = 1;
  Upload(tga, &w, &h, &name);
  EXPECT_EQ(name, 0u);
  // One texel narrower fits.
  tga[12] = uint8_t(largest), tga[13] = uint8_t(largest >> 8);
  Bytes px = Upload(tga, &w, &h);
  EXPECT_EQ(w, largest);
  EXPECT_EQ(px[0], 3);
}

TEST_F(kxTGATexture, CrunchedBlocks) {
  kxMemoryBlock* plain = Block(Join(Header(2, 2, 1, 24), {0, 0, 255, 255, 0, 0}));
  kxMemoryBlock* crunched = kxCrunchMemoryBlock(plain);
  ASSERT_NE(crunched, nullptr);
  GLuint name = TextureFromCrunchedMemoryBlockTGA(crunched);
  ASSERT_NE(name, 0u);
  int w, h;
  EXPECT_EQ(kxTest::ReadTexture(name, GL_RGBA, &w, &h), (Bytes{255, 0, 0, 255, 0, 0, 255, 255}));
  glDeleteTextures(1, &name);
  // The plain bytes are not a crunched block.
  EXPECT_EQ(TextureFromCrunchedMemoryBlockTGA(plain), 0u);
  EXPECT_EQ(TextureFromCrunchedMemoryBlockTGA(nullptr), 0u);
  // A crunched block whose content is not an image.
  kxMemoryBlock* notImage = Block(Bytes(40, 7));
  kxMemoryBlock* crunchedNotImage = kxCrunchMemoryBlock(notImage);
  EXPECT_EQ(TextureFromCrunchedMemoryBlockTGA(crunchedNotImage), 0u);
  kxFreeMemoryBlock(notImage);
  kxFreeMemoryBlock(crunchedNotImage);
  kxFreeMemoryBlock(crunched);
  kxFreeMemoryBlock(plain);
}
