#include <gtest/gtest.h>

#include "vpImage.h"
#include "vpShapes.h"

namespace {

TEST(vpImage, BlendComposesOverTransparentAndOpaquePixels) {
  vpImage img(2, 1);
  img.Ref(1, 0) = {0, 0, 1, 1};
  img.Blend(0, 0, {1, 0, 0, 1}, 0.5f);  // half red over nothing: red at alpha 0.5
  img.Blend(1, 0, {1, 0, 0, 1}, 0.5f);  // half red over blue: purple, opaque
  EXPECT_FLOAT_EQ(img.At(0, 0).r, 1.0f);
  EXPECT_FLOAT_EQ(img.At(0, 0).a, 0.5f);
  EXPECT_FLOAT_EQ(img.At(1, 0).r, 0.5f);
  EXPECT_FLOAT_EQ(img.At(1, 0).b, 0.5f);
  EXPECT_FLOAT_EQ(img.At(1, 0).a, 1.0f);
  img.Blend(5, 5, {1, 1, 1, 1}, 1.0f);  // outside: ignored, no crash
}

TEST(vpImage, ResizeAveragesAreasAndIgnoresTransparentColour) {
  // A white pixel beside a transparent black one halves to white at half
  // alpha, not to grey: transparent pixels must not darken edges.
  vpImage img(2, 1);
  img.Ref(0, 0) = {1, 1, 1, 1};
  img.Ref(1, 0) = {0, 0, 0, 0};
  const vpImage half = img.Resized(1, 1);
  EXPECT_FLOAT_EQ(half.At(0, 0).r, 1.0f);
  EXPECT_FLOAT_EQ(half.At(0, 0).a, 0.5f);

  // Non-integer factors keep the mean: 3 -> 2 of a ramp.
  vpImage ramp(3, 1);
  for (int x = 0; x < 3; ++x) ramp.Ref(x, 0) = {float(x) / 2, 0, 0, 1};
  const vpImage two = ramp.Resized(2, 1);
  EXPECT_NEAR(two.At(0, 0).r, (0.0f + 0.5f * 0.5f) / 1.5f, 1e-6);
  EXPECT_NEAR(two.At(1, 0).r, (0.5f * 0.5f + 1.0f) / 1.5f, 1e-6);
  EXPECT_FLOAT_EQ(two.At(1, 0).a, 1.0f);
}

TEST(vpMask, BlurKeepsTotalCoverageAndSpreadsIt) {
  vpMask m(21, 21);
  m.Ref(10, 10) = 1.0f;
  const vpMask b = m.Blurred(2);
  float sum = 0;
  for (int y = 0; y < 21; ++y)
    for (int x = 0; x < 21; ++x) sum += b.At(x, y);
  EXPECT_NEAR(sum, 1.0f, 1e-4);
  EXPECT_LT(b.At(10, 10), 0.2f);
  EXPECT_GT(b.At(12, 10), 0.0f);
  EXPECT_FLOAT_EQ(b.At(10, 10 + 7), 0.0f);  // three passes of radius 2 reach 6
  EXPECT_FLOAT_EQ(b.At(-1, 0), 0.0f);
}

TEST(vpMask, PaddingAndHalfTurnMoveCoverage) {
  vpMask m(3, 2);
  m.Ref(0, 0) = 1.0f;
  const vpMask p = m.Padded(2);
  EXPECT_EQ(p.Width(), 7);
  EXPECT_EQ(p.Height(), 6);
  EXPECT_FLOAT_EQ(p.At(2, 2), 1.0f);
  const vpMask r = m.Rotated180();
  EXPECT_FLOAT_EQ(r.At(2, 1), 1.0f);
  EXPECT_FLOAT_EQ(r.At(0, 0), 0.0f);
}

TEST(vpShapes, RoundedRectangleDistanceAndCoverage) {
  const vpRect rc{0, 0, 100, 50};
  EXPECT_NEAR(vpRoundRectDistance(50, 25, rc, 10), -25.0f, 1e-4);  // centre: half height in
  EXPECT_NEAR(vpRoundRectDistance(50, -5, rc, 10), 5.0f, 1e-4);    // above the top edge
  // The corner is cut: the rectangle's own corner lies outside the shape.
  EXPECT_GT(vpRoundRectDistance(0.5f, 0.5f, rc, 10), 0.0f);
  EXPECT_FLOAT_EQ(vpCoverage(-3), 1.0f);
  EXPECT_FLOAT_EQ(vpCoverage(3), 0.0f);
  EXPECT_FLOAT_EQ(vpCoverage(0), 0.5f);

  vpImage img(20, 10);
  vpFillRoundRect(&img, {0, 0, 20, 10}, 4, {1, 0, 0, 1}, {0, 0, 1, 1});
  EXPECT_LT(img.At(0, 0).a, 0.05f);       // rounded away
  EXPECT_FLOAT_EQ(img.At(10, 5).a, 1.0f);
  EXPECT_GT(img.At(10, 0).r, img.At(10, 9).r);  // red at the top, blue below
  EXPECT_GT(img.At(10, 9).b, img.At(10, 0).b);
}

}  // namespace
