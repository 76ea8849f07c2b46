#include "frame/kxGLVersion.h"

#include <gtest/gtest.h>

namespace {

TEST(kxGLVersionTest, ComparesMajorThenMinorAsNumbers) {
  struct {
    const char* version;
    int major, minor;
    bool atLeast;
  } rows[] = {{"1.5", 1, 5, true},        {"1.5.0 NVIDIA 500", 1, 5, true},
              {"2.1 Mesa 22.3.6", 1, 5, true}, {"4.5 (Compatibility Profile) Mesa", 1, 5, true},
              {"1.10", 1, 5, true},       {"2.0", 1, 9, true},  // numbers, not characters
              {"1.4", 1, 5, false},       {"1.1.0", 1, 5, false},  // a software fallback
              {"0.9", 1, 5, false},       {nullptr, 1, 5, false}, {"", 1, 5, false},
              {"OpenGL ES 3.2", 1, 5, false}, {"2", 1, 5, false}, {"2.", 1, 5, false}};
  for (auto& r : rows)
    EXPECT_EQ(r.atLeast, kxGLVersionAtLeast(r.version, r.major, r.minor))
        << (r.version ? r.version : "null") << " vs " << r.major << "." << r.minor;
}

}  // namespace
