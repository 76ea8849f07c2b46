#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "graphics/kxTransform.h"

namespace {

constexpr float kPi = 3.1415927f;
constexpr float kTolerance = 1e-6f;

void ExpectVector(const float* v, float x, float y, float z) {
  EXPECT_NEAR(v[0], x, kTolerance);
  EXPECT_NEAR(v[1], y, kTolerance);
  EXPECT_NEAR(v[2], z, kTolerance);
}

}  // namespace

TEST(kxTransformTest, AngleConversions) {
  EXPECT_FLOAT_EQ(ToRadf(180.0f), 3.1415927f);
  EXPECT_FLOAT_EQ(ToDegf(3.1415927f), 180.0f);
  EXPECT_FLOAT_EQ(ToRadf(90.0f), 3.1415927f / 2.0f);
  EXPECT_FLOAT_EQ(ToDegf(ToRadf(-37.5f)), -37.5f);
}

TEST(kxTransformTest, VectorCopiesAndSwapsTouchTheirComponentsOnly) {
  float a[4], b[4];
  InitVect4(a, 1, 2, 3, -1);
  InitVect4(b, 4, 5, 6, 7);
  ChangeVect(a, b);
  ExpectVector(a, 4, 5, 6);
  ExpectVector(b, 1, 2, 3);
  EXPECT_EQ(a[3], -1.0f);
  EXPECT_EQ(b[3], 7.0f);
  CopyVect(a, b);
  EXPECT_EQ(a[3], -1.0f);
  CopyVect4(a, b);
  EXPECT_EQ(a[3], 7.0f);
  ScaleVect3f(a, 0.5f, -1, 2);
  TranslateVect3f(a, 1, 1, -2);
  ExpectVector(a, 1.5f, -1, 4);
}

TEST(kxTransformTest, SingleVectorRotationsTakeRadians) {
  float src[4], dst[4];
  InitVect(src, 1, 0, 0);
  RotateVectZ(src, dst, kPi / 2);
  ExpectVector(dst, 0, 1, 0);
  InitVect(src, 0, 0, 1);
  RotateVectY(src, dst, kPi / 2);
  ExpectVector(dst, 1, 0, 0);
  InitVect(src, 0, 1, 0);
  RotateVectX(src, dst, kPi / 2);
  ExpectVector(dst, 0, 0, 1);

  // A general point keeps its length and its component along the axis.
  InitVect(src, 1, 2, 3);
  RotateVectX(src, dst, 0.7f);
  EXPECT_FLOAT_EQ(dst[0], 1);
  EXPECT_NEAR(dst[1] * dst[1] + dst[2] * dst[2], 13.0f, 1e-5f);
  EXPECT_NEAR(dst[1], std::cos(0.7f) * 2 - std::sin(0.7f) * 3, kTolerance);

  InitVect4(src, 0, 1, 0, 5);
  dst[3] = 0;
  RotateVect4X(src, dst, kPi);
  ExpectVector(dst, 0, -1, 0);
  EXPECT_EQ(dst[3], 5.0f);
}

TEST(kxTransformTest, PointListsTakeDegreesAndWorkInPlace) {
  float points[3][3] = {{1, 0, 0}, {2, 0, 5}, {0, 3, 0}};
  RotateMatrixZ(points, 90.0f, 3);
  ExpectVector(points[0], 0, 1, 0);
  ExpectVector(points[1], 0, 2, 5);
  ExpectVector(points[2], -3, 0, 0);

  RotateMatrixX(points, 30.0f, 0);
  ExpectVector(points[0], 0, 1, 0);

  float y[1][3] = {{0, 0, 1}};
  RotateMatrixY(y, 90.0f, 1);
  ExpectVector(y[0], 1, 0, 0);
  float x[1][3] = {{0, 1, 0}};
  RotateMatrixX(x, 90.0f, 1);
  ExpectVector(x[0], 0, 0, 1);

  float own[2][3] = {{1, 0, 0}, {1, 0, 0}};
  float angles[2] = {90.0f, 180.0f};
  RotateMatrixZ(own, angles, 2);
  ExpectVector(own[0], 0, 1, 0);
  ExpectVector(own[1], -1, 0, 0);

  float list[2][3] = {{1, 2, 3}, {-1, 0, 4}};
  ScaleMatrix(list, 2, 2);
  ExpectVector(list[1], -2, 0, 8);
  ScaleMatrix3f(list, 1, -1, 0.5f, 2);
  ExpectVector(list[0], 2, -4, 3);
  TranslateMatrix3f(list, 1, 1, 1, 2);
  MoveMatrix(list, 0, 0, -1, 1);  // only the first point
  ExpectVector(list[0], 3, -3, 3);
  ExpectVector(list[1], -1, 1, 5);
  float copy[2][3] = {};
  CopyMatrix(copy, list, 2);
  ExpectVector(copy[1], -1, 1, 5);
}

TEST(kxTransformTest, GeneratorIsTheEnginesOwnLCG) {
  // Seed 1 gives the classic sequence of this generator.
  kxSeedRandom(1);
  EXPECT_EQ(kxRandom(), 41);
  EXPECT_EQ(kxRandom(), 18467);
  EXPECT_EQ(kxRandom(), 6334);
  kxSeedRandom(1);
  EXPECT_EQ(kxRandom(), 41);

  // The process-wide rand() sequence is not disturbed by engine draws.
  srand(77);
  const int first = rand();
  srand(77);
  kxSeedRandom(3);
  float sink[64];
  RandomMatrix(sink, 0, 1, 64);
  Randf(0, 1);
  EXPECT_EQ(rand(), first);
}

TEST(kxTransformTest, RandomNumbersStayInHalfOpenRange) {
  kxSeedRandom(12345);
  float lowest = 10, highest = -10;
  for (int i = 0; i < 20000; ++i) {
    const float r = Randf(5.0f, 2.0f);
    const float s = Randf(2.0f, 5.0f);
    ASSERT_GE(r, 2.0f);
    ASSERT_LT(r, 5.0f);
    ASSERT_GE(s, 2.0f);
    ASSERT_LT(s, 5.0f);
    lowest = std::min(lowest, std::min(r, s));
    highest = std::max(highest, std::max(r, s));
  }
  // The draws spread over the range rather than sticking to one end.
  EXPECT_LT(lowest, 2.01f);
  EXPECT_GT(highest, 4.99f);
  EXPECT_EQ(Randf(3.0f, 3.0f), 3.0f);

  // RandomMatrix draws one number per element, in order, like Randf.
  kxSeedRandom(99);
  std::vector<float> expected(10);
  for (float& e : expected) e = Randf(-1.0f, 1.0f);
  kxSeedRandom(99);
  std::vector<float> filled(10);
  RandomMatrix(filled.data(), 1.0f, -1.0f, filled.size());
  EXPECT_EQ(filled, expected);
}

TEST(kxTransformTest, GetAngleQuadrantsAndAxes) {
  EXPECT_NEAR(GetAngle(0, 0, 1, 1), 45.0f, 1e-4f);
  EXPECT_NEAR(GetAngle(0, 0, -1, 1), 135.0f, 1e-4f);
  EXPECT_NEAR(GetAngle(0, 0, -1, -1), 225.0f, 1e-4f);
  EXPECT_NEAR(GetAngle(0, 0, 1, -1), 315.0f, 1e-4f);
  EXPECT_NEAR(GetAngle(2, 3, 3, 3 + std::sqrt(3.0f)), 60.0f, 1e-4f);
  EXPECT_EQ(GetAngle(0, 0, 1, 0), 0.0f);
  EXPECT_EQ(GetAngle(0, 0, 0, 2), 90.0f);
  EXPECT_NEAR(GetAngle(0, 0, -2, 0), 180.0f, 1e-4f);
  EXPECT_EQ(GetAngle(0, 0, 0, -2), 270.0f);
  EXPECT_EQ(GetAngle(1, 1, 1, 1), 0.0f);
}
