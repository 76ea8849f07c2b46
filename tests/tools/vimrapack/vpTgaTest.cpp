#include <gtest/gtest.h>

#include "graphics/kxTGA.h"
#include "vpTga.h"

namespace {

using Bytes = std::vector<uint8_t>;

// The engine's decoder keeps rows in file order, so decoded row 0 must be the
// picture's bottom row.
TEST(vpTga, RowsAreStoredBottomUpAndDecodeWithTheEngine) {
  vpImage img(3, 2);
  img.Ref(0, 0) = {1, 0, 0, 1};     // top-left red
  img.Ref(2, 1) = {0, 0, 1, 0.5f};  // bottom-right blue, half transparent
  const Bytes tga = vpEncodeTGA(img, true);
  kxTGAImage out{};
  ASSERT_TRUE(tga.size() == 18u + 3 * 2 * 4 && kxDecodeTGA(tga.data(), tga.size(), &out));
  ASSERT_TRUE(out.width == 3 && out.height == 2 && out.bytesPerPixel == 4);
  EXPECT_EQ(Bytes(out.pixels + 8, out.pixels + 12), (Bytes{0, 0, 255, 128}));   // bottom right
  EXPECT_EQ(Bytes(out.pixels + 12, out.pixels + 16), (Bytes{255, 0, 0, 255}));  // top left
  kxFreeTGAImage(&out);
}

TEST(vpTga, HeaderOfA24BitImage) {
  const Bytes tga = vpEncodeTGA(vpImage(300, 1, {0.2f, 0.4f, 0.6f, 1}), false);
  ASSERT_EQ(tga.size(), 18u + 300 * 3);
  // Uncompressed true colour, 300 x 1, 24 bits; then B, G, R rounded.
  EXPECT_EQ(Bytes(tga.begin(), tga.begin() + 17),
            (Bytes{0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 44, 1, 1, 0, 24}));
  EXPECT_EQ(Bytes(tga.begin() + 18, tga.begin() + 21), (Bytes{153, 102, 51}));
}

// What the pipeline writes, the pipeline reads back upright; bytes the
// engine cannot decode leave the target as it was.
TEST(vpTga, DecodeGivesThePictureUprightAndRefusesGarbage) {
  vpImage img(2, 2, {0, 0, 0, 1});
  img.Ref(1, 0) = {1, 0.6f, 0.2f, 0.4f};  // top right
  const Bytes tga = vpEncodeTGA(img, true);
  vpImage back;
  ASSERT_TRUE(vpDecodeTGA(tga.data(), tga.size(), &back));
  ASSERT_TRUE(back.Width() == 2 && back.Height() == 2);
  EXPECT_NEAR(back.At(1, 0).r, 1.0f, 1e-6f);
  EXPECT_NEAR(back.At(1, 0).g, 153 / 255.0f, 1e-6f);
  EXPECT_NEAR(back.At(1, 0).a, 102 / 255.0f, 1e-6f);
  EXPECT_EQ(back.At(0, 1).r, 0.0f);
  EXPECT_EQ(back.At(0, 1).a, 1.0f);

  const Bytes rgb = vpEncodeTGA(img, false);
  ASSERT_TRUE(vpDecodeTGA(rgb.data(), rgb.size(), &back));
  EXPECT_EQ(back.At(1, 0).a, 1.0f);  // no alpha channel: opaque

  vpImage kept(1, 1, {0.5f, 0.5f, 0.5f, 1});
  EXPECT_FALSE(vpDecodeTGA(tga.data(), 10, &kept));
  const Bytes garbage(64, 0xFF);
  EXPECT_FALSE(vpDecodeTGA(garbage.data(), garbage.size(), &kept));
  ASSERT_EQ(kept.Width(), 1);
  EXPECT_EQ(kept.At(0, 0).r, 0.5f);
}

}  // namespace
