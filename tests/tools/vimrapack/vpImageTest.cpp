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

TEST(vpShapes, RoundedRectangleIsFilledWithCutCornersAndItsGradient) {
  vpImage img(20, 10);
  vpFillRoundRect(&img, {0, 0, 20, 10}, 4, {1, 0, 0, 1}, {0, 0, 1, 1});
  EXPECT_TRUE(img.At(0, 0).a < 0.05f && img.At(10, 5).a == 1.0f);
  EXPECT_TRUE(img.At(10, 0).r > img.At(10, 9).r && img.At(10, 9).b > img.At(10, 0).b);
}

}  // namespace
