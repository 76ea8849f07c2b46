#include <gtest/gtest.h>
#include <zlib.h>

#include <cstring>
#include <string>

#include "vpPng.h"

namespace {

using Bytes = std::vector<uint8_t>;

uint32_t BigEndian(const uint8_t* p) {
  return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

struct Chunk {
  std::string type;
  Bytes data;
};

// Splits a PNG into its chunks, failing the test on a bad signature, a chunk
// running past the end or a wrong CRC.
std::vector<Chunk> Chunks(const Bytes& png) {
  std::vector<Chunk> out;
  const Bytes signature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  EXPECT_TRUE(png.size() >= 8 && Bytes(png.begin(), png.begin() + 8) == signature);
  size_t at = 8;
  while (at + 12 <= png.size()) {
    const uint32_t length = BigEndian(&png[at]);
    if (at + 12 + length > png.size()) break;
    const uint8_t* typeAndData = &png[at + 4];
    EXPECT_EQ(BigEndian(typeAndData + 4 + length), uint32_t(crc32(0L, typeAndData, 4 + length)));
    out.push_back({std::string(reinterpret_cast<const char*>(typeAndData), 4),
                   Bytes(typeAndData + 4, typeAndData + 4 + length)});
    at += 12 + length;
  }
  EXPECT_EQ(at, png.size()) << "bytes after the last whole chunk";
  return out;
}

TEST(vpPng, HeaderChunksAndPixelsOfAnRgbaImage) {
  vpImage img(3, 2);
  img.Ref(0, 0) = {1, 0, 0, 1};         // top-left red
  img.Ref(2, 1) = {0, 0.5f, 1, 0.25f};  // bottom-right, mostly transparent
  const std::vector<Chunk> chunks = Chunks(vpEncodePNG(img));
  ASSERT_EQ(chunks.size(), 3u);
  EXPECT_EQ(chunks[0].type + chunks[1].type + chunks[2].type, "IHDRIDATIEND");
  // 3 x 2, 8 bits per channel, colour type 6 (RGBA), deflate, no interlace.
  EXPECT_EQ(chunks[0].data, (Bytes{0, 0, 0, 3, 0, 0, 0, 2, 8, 6, 0, 0, 0}));
  EXPECT_TRUE(chunks[2].data.empty());

  Bytes raw(2 * (1 + 3 * 4));
  uLongf rawSize = uLongf(raw.size());
  ASSERT_EQ(uncompress(raw.data(), &rawSize, chunks[1].data.data(), uLong(chunks[1].data.size())),
            Z_OK);
  ASSERT_EQ(rawSize, raw.size());
  // Rows top first, each behind filter byte 0; untouched pixels transparent.
  const Bytes expected = {0, 255, 0, 0, 255, 0, 0, 0, 0, 0, 0,   0,   0,
                          0, 0,   0, 0, 0,   0, 0, 0, 0, 0, 128, 255, 64};
  EXPECT_EQ(raw, expected);
}

TEST(vpPng, EmptyImageGivesNoFile) {
  EXPECT_TRUE(vpEncodePNG(vpImage()).empty());
  EXPECT_TRUE(vpEncodePNG(vpImage(0, 5)).empty());
}

TEST(vpPng, SquareMiddleOfWideAndTallPictures) {
  // Wide: columns 0..3 of distinct colours; the middle square is columns 1, 2.
  vpImage wide(4, 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 4; ++x) wide.Ref(x, y) = {x / 4.0f, 0, 0, 1};
  const vpImage square = vpSquareMiddle(wide, 2);
  ASSERT_EQ(square.Width(), 2);
  ASSERT_EQ(square.Height(), 2);
  EXPECT_FLOAT_EQ(square.At(0, 1).r, 0.25f);
  EXPECT_FLOAT_EQ(square.At(1, 0).r, 0.5f);
  // Scaled to one pixel: the mean of the middle square only.
  EXPECT_NEAR(vpSquareMiddle(wide, 1).At(0, 0).r, 0.375f, 1e-5f);

  vpImage tall(1, 3);
  tall.Ref(0, 1) = {0, 1, 0, 1};
  const vpImage middle = vpSquareMiddle(tall, 1);
  ASSERT_EQ(middle.Width(), 1);
  EXPECT_FLOAT_EQ(middle.At(0, 0).g, 1.0f);

  EXPECT_EQ(vpSquareMiddle(vpImage(), 16).Width(), 0);
  EXPECT_EQ(vpSquareMiddle(wide, 0).Width(), 0);
}

}  // namespace
