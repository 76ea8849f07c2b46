#include <gtest/gtest.h>

#include "vpImage.h"
#include "vpShapes.h"

namespace {

TEST(vpImage, BlendAndResizeTreatTransparencyRight) {
  vpImage img(2, 1);
  img.Ref(1, 0) = {0, 0, 1, 1};
  img.Blend(0, 0, {1, 0, 0, 1}, 0.5f);  // half red over nothing: red at alpha 0.5
  img.Blend(1, 0, {1, 0, 0, 1}, 0.5f);  // half red over blue: purple, opaque
  img.Blend(5, 5, {1, 1, 1, 1}, 1.0f);  // outside: ignored
  EXPECT_TRUE(img.At(0, 0).r == 1.0f && img.At(0, 0).a == 0.5f);
  EXPECT_TRUE(img.At(1, 0).r == 0.5f && img.At(1, 0).b == 0.5f && img.At(1, 0).a == 1.0f);
  // White beside transparent black halves to white at half alpha, not grey.
  vpImage edge(2, 1);
  edge.Ref(0, 0) = {1, 1, 1, 1};
  EXPECT_TRUE(edge.Resized(1, 1).At(0, 0).r == 1.0f && edge.Resized(1, 1).At(0, 0).a == 0.5f);
  vpImage ramp(3, 1);  // a non-integer factor keeps the mean
  for (int x = 0; x < 3; ++x) ramp.Ref(x, 0) = {float(x) / 2, 0, 0, 1};
  EXPECT_NEAR(ramp.Resized(2, 1).At(0, 0).r, (0.0f + 0.5f * 0.5f) / 1.5f, 1e-6);
  EXPECT_NEAR(ramp.Resized(2, 1).At(1, 0).r, (0.5f * 0.5f + 1.0f) / 1.5f, 1e-6);
}

TEST(vpMask, BlurKeepsTotalCoverageAndSpreadsIt) {
  vpMask m(21, 21);
  m.Ref(10, 10) = 1.0f;
  const vpMask b = m.Blurred(2);
  float sum = 0;
  for (int i = 0; i < 21 * 21; ++i) sum += b.At(i % 21, i / 21);
  EXPECT_NEAR(sum, 1.0f, 1e-4);
  EXPECT_TRUE(b.At(10, 10) < 0.2f && b.At(12, 10) > 0.0f);
  EXPECT_EQ(b.At(10, 17), 0.0f);  // three passes of radius 2 reach 6
}

TEST(vpShapes, RoundedRectangleIsFilledWithCutCorners) {
  vpImage img(20, 10);
  vpFillRoundRect(&img, {0, 0, 20, 10}, 4, {1, 0, 0, 1}, {0, 0, 1, 1});
  EXPECT_LT(img.At(0, 0).a, 0.05f);  // rounded away
  EXPECT_EQ(img.At(10, 5).a, 1.0f);
  EXPECT_TRUE(img.At(10, 0).r > img.At(10, 9).r && img.At(10, 9).b > img.At(10, 0).b);  // red to blue
}

}  // namespace
