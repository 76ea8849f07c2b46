#include "frame/kxGLVersion.h"

#include <gtest/gtest.h>

namespace {

TEST(kxGLVersionTest, ComparesMajorThenMinor) {
  EXPECT_TRUE(kxGLVersionAtLeast("1.5", 1, 5));
  EXPECT_TRUE(kxGLVersionAtLeast("1.5.0 NVIDIA 500", 1, 5));
  EXPECT_TRUE(kxGLVersionAtLeast("2.1 Mesa 22.3.6", 1, 5));
  EXPECT_TRUE(kxGLVersionAtLeast("4.5 (Compatibility Profile) Mesa 23.0", 1, 5));
  EXPECT_TRUE(kxGLVersionAtLeast("1.10", 1, 5));  // numbers, not characters
  EXPECT_FALSE(kxGLVersionAtLeast("1.4", 1, 5));
  EXPECT_FALSE(kxGLVersionAtLeast("1.1.0", 1, 5));  // a software fallback
  EXPECT_FALSE(kxGLVersionAtLeast("0.9", 1, 5));
  EXPECT_TRUE(kxGLVersionAtLeast("2.0", 1, 9));
}

TEST(kxGLVersionTest, RejectsStringsWithoutAVersion) {
  EXPECT_FALSE(kxGLVersionAtLeast(nullptr, 1, 5));
  EXPECT_FALSE(kxGLVersionAtLeast("", 1, 5));
  EXPECT_FALSE(kxGLVersionAtLeast("OpenGL ES 3.2", 1, 5));
  EXPECT_FALSE(kxGLVersionAtLeast("2", 1, 5));
  EXPECT_FALSE(kxGLVersionAtLeast("2.", 1, 5));
}

}  // namespace
