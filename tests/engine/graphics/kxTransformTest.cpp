#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "graphics/kxTransform.h"

namespace {

constexpr float kPi = 3.1415927f;

void ExpectVector(const float* v, float x, float y, float z) {
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(v[i], (i == 0 ? x : i == 1 ? y : z), 1e-6f) << i;
}

}  // namespace

TEST(kxTransformTest, VectorAndPointListTransforms) {
  EXPECT_FLOAT_EQ(ToRadf(180.0f), kPi);
  EXPECT_FLOAT_EQ(ToDegf(kPi / 2), 90.0f);
  float a[4] = {1, 2, 3, -1}, b[4] = {4, 5, 6, 7};
  ChangeVect(a, b);
  ExpectVector(a, 4, 5, 6);
  ExpectVector(b, 1, 2, 3);
  CopyVect(a, b);
  EXPECT_EQ(a[3], -1.0f) << "ChangeVect and CopyVect leave w alone";
  CopyVect4(a, b);
  EXPECT_EQ(a[3], 7.0f);
  ScaleVect3f(a, 0.5f, -1, 2);
  TranslateVect3f(a, 1, 1, -2);
  ExpectVector(a, 1.5f, -1, 4);
  // Vector rotations take radians, point lists degrees.
  float x[4] = {1, 2, 3, 5}, y[1][3] = {{0, 0, 1}}, z[1][3] = {{1, 0, 0}}, dst[4] = {};
  RotateVectX(x, dst, kPi / 2);
  ExpectVector(dst, 1, -3, 2);
  RotateVect4X(x, dst, kPi);
  ExpectVector(dst, 1, -2, -3);
  EXPECT_EQ(dst[3], 5.0f);
  RotateVectY(y[0], dst, kPi / 2);
  ExpectVector(dst, 1, 0, 0);
  RotateVectZ(z[0], dst, kPi / 2);
  ExpectVector(dst, 0, 1, 0);
  RotateMatrixY(y, 90.0f, 1);
  ExpectVector(y[0], 1, 0, 0);
  float points[3][3] = {{1, 0, 0}, {2, 0, 5}, {0, 3, 0}};
  RotateMatrixZ(points, 90.0f, 3);
  ExpectVector(points[1], 0, 2, 5);
  ExpectVector(points[2], -3, 0, 0);
  RotateMatrixX(points, 90.0f, 1);
  ExpectVector(points[0], 0, 0, 1);
  float own[2][3] = {{1, 0, 0}, {1, 0, 0}}, angles[2] = {90.0f, 180.0f};
  RotateMatrixZ(own, angles, 2);
  ExpectVector(own[0], 0, 1, 0);
  ExpectVector(own[1], -1, 0, 0);
  // Point lists touch only their first n points.
  float list[2][3] = {{1, 2, 3}, {-1, 0, 4}}, copy[2][3] = {};
  ScaleMatrix(list, 2, 2);
  ScaleMatrix3f(list, 1, -1, 0.5f, 2);
  TranslateMatrix3f(list, 1, 1, 1, 2);
  MoveMatrix(list, 0, 0, -1, 1);
  CopyMatrix(copy, list, 2);
  ExpectVector(copy[0], 3, -3, 3);
  ExpectVector(copy[1], -1, 1, 5);
}

TEST(kxTransformTest, GeneratorIsTheEnginesOwnLCGAndLeavesRandAlone) {
  kxSeedRandom(1);
  EXPECT_EQ((std::vector<int>{kxRandom(), kxRandom(), kxRandom()}),
            (std::vector<int>{41, 18467, 6334}));
  srand(77);
  const int expected = rand();
  srand(77);
  std::vector<float> drawn(20000), again(10);
  kxSeedRandom(12345);
  RandomMatrix(drawn.data(), 5.0f, 2.0f, drawn.size());
  EXPECT_EQ(rand(), expected) << "engine draws disturbed rand()";
  // Draws stay in [2, 5) and spread over it; RandomMatrix draws like Randf.
  const auto [lo, hi] = std::minmax_element(drawn.begin(), drawn.end());
  EXPECT_TRUE(*lo >= 2.0f && *lo < 2.01f) << *lo;
  EXPECT_TRUE(*hi < 5.0f && *hi > 4.99f) << *hi;
  kxSeedRandom(12345);
  for (float& e : again) e = Randf(2.0f, 5.0f);
  EXPECT_EQ(again, std::vector<float>(drawn.begin(), drawn.begin() + 10));
  EXPECT_EQ(Randf(3.0f, 3.0f), 3.0f);
}

TEST(kxTransformTest, GetAngleQuadrantsAndAxes) {
  const float r3 = std::sqrt(3.0f);
  const float cases[][5] = {{0, 0, 1, 1, 45},   {0, 0, -1, 1, 135},    {0, 0, -1, -1, 225},
                            {0, 0, 1, -1, 315}, {2, 3, 3, 3 + r3, 60}, {0, 0, 1, 0, 0},
                            {0, 0, 0, 2, 90},   {0, 0, -2, 0, 180},    {0, 0, 0, -2, 270},
                            {1, 1, 1, 1, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c[2] - c[0]) + ", " + std::to_string(c[3] - c[1]));
    EXPECT_NEAR(GetAngle(c[0], c[1], c[2], c[3]), c[4], 1e-4f);
  }
}
