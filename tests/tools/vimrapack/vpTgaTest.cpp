#include <gtest/gtest.h>

#include "graphics/kxTGA.h"
#include "vpTga.h"

namespace {

// The engine's decoder keeps rows in file order, so row 0 of the decoded
// pixels must be the picture's bottom row.
TEST(vpTga, RowsAreStoredBottomUpAndDecodeWithTheEngine) {
  vpImage img(3, 2);
  img.Ref(0, 0) = {1, 0, 0, 1};    // top-left red
  img.Ref(2, 1) = {0, 0, 1, 0.5f}; // bottom-right blue, half transparent
  const std::vector<uint8_t> tga = vpEncodeTGA(img, true);
  ASSERT_EQ(tga.size(), 18u + 3 * 2 * 4);
  kxTGAImage out{};
  ASSERT_TRUE(kxDecodeTGA(tga.data(), tga.size(), &out));
  EXPECT_EQ(out.width, 3u);
  EXPECT_EQ(out.height, 2u);
  EXPECT_EQ(out.bytesPerPixel, 4u);
  const uint8_t* bottomRight = out.pixels + (0 * 3 + 2) * 4;  // first row = bottom
  EXPECT_EQ(bottomRight[0], 0);
  EXPECT_EQ(bottomRight[2], 255);
  EXPECT_EQ(bottomRight[3], 128);
  const uint8_t* topLeft = out.pixels + (1 * 3 + 0) * 4;
  EXPECT_EQ(topLeft[0], 255);
  EXPECT_EQ(topLeft[3], 255);
  kxFreeTGAImage(&out);
}

TEST(vpTga, HeaderOfA24BitImage) {
  vpImage img(300, 1, {0.2f, 0.4f, 0.6f, 1});
  const std::vector<uint8_t> tga = vpEncodeTGA(img, false);
  ASSERT_EQ(tga.size(), 18u + 300 * 3);
  // The engine's raw-image test: the first 12 bytes are 0,0,2 and zeros.
  for (int i = 0; i < 12; ++i) EXPECT_EQ(tga[size_t(i)], i == 2 ? 2 : 0) << i;
  EXPECT_EQ(tga[12] + 256 * tga[13], 300);
  EXPECT_EQ(tga[14] + 256 * tga[15], 1);
  EXPECT_EQ(tga[16], 24);
  EXPECT_EQ(tga[18], 153);  // B, G, R order, rounded
  EXPECT_EQ(tga[19], 102);
  EXPECT_EQ(tga[20], 51);
}

}  // namespace
