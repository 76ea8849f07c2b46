#include <gtest/gtest.h>

#include "frame/kxGLVersion.h"

namespace {

TEST(kxGLVersionTest, ComparesMajorThenMinorAsNumbers) {
  struct {
    const char* version;
    int major, minor;
    bool atLeast;
  } rows[] = {{"1.5", 1, 5, true},
              {"1.5.0 NVIDIA 500", 1, 5, true},
              {"2.1 Mesa 22.3.6", 1, 5, true},
              {"4.5 (Compatibility Profile) Mesa", 1, 5, true},
              {"1.10", 1, 5, true},
              {"2.0", 1, 9, true},  // numbers, not characters
              {"1.4", 1, 5, false},
              {"1.1.0", 1, 5, false},  // a software fallback
              {"0.9", 1, 5, false},
              {nullptr, 1, 5, false},
              {"", 1, 5, false},
              {"OpenGL ES 3.2", 1, 5, false},
              {"2", 1, 5, false},
              {"2.", 1, 5, false}};
  for (auto& r : rows)
    EXPECT_EQ(r.atLeast, kxGLVersionAtLeast(r.version, r.major, r.minor))
        << (r.version ? r.version : "null") << " vs " << r.major << "." << r.minor;
}

TEST(kxGLVersionTest, SoftwareRenderersAreToldFromTheirNames) {
  const char* software[] = {"llvmpipe (LLVM 15.0.6, 256 bits)",
                            "softpipe",
                            "Mesa X11 swrast",
                            "Software Rasterizer",
                            "zink (llvmpipe (LLVM 15.0.6, 256 bits))",
                            "LLVMPIPE",
                            "GDI Generic",
                            "Apple Software Renderer",
                            "Microsoft Basic Render Driver"};
  for (const char* name : software) EXPECT_TRUE(kxGLIsSoftwareRenderer(name)) << name;
  const char* hardware[] = {"Mesa Intel(R) UHD Graphics 620 (KBL GT2)",
                            "NVIDIA GeForce GTX 1080/PCIe/SSE2",
                            "AMD Radeon RX 580 Series (polaris10, LLVM 15.0.6, DRM 3.49)",
                            "virgl",
                            "SVGA3D; build: RELEASE",
                            "",
                            "llvm",
                            "soft"};
  for (const char* name : hardware) EXPECT_FALSE(kxGLIsSoftwareRenderer(name)) << name;
  EXPECT_FALSE(kxGLIsSoftwareRenderer(nullptr));
}

TEST(kxGLVersionTest, SamplesFollowTheRendererUnlessAskedExplicitly) {
  const char* cpu = "llvmpipe (LLVM 15.0.6, 256 bits)";
  const char* gpu = "Mesa Intel(R) UHD Graphics 620";
  // Automatic: 4 while the renderer is unknown or hardware, none on the CPU.
  EXPECT_EQ(4, kxGLChooseSamples(kxMultisampleAuto, nullptr));
  EXPECT_EQ(4, kxGLChooseSamples(kxMultisampleAuto, gpu));
  EXPECT_EQ(0, kxGLChooseSamples(kxMultisampleAuto, cpu));
  // An explicit count holds on every renderer, rounded down to 4, 2 or 0.
  struct {
    int request, samples;
  } rows[] = {{0, 0}, {1, 0}, {2, 2}, {3, 2}, {4, 4}, {8, 4}, {-2, 0}, {-100, 0}};
  for (auto& r : rows) {
    EXPECT_EQ(r.samples, kxGLChooseSamples(r.request, cpu)) << r.request;
    EXPECT_EQ(r.samples, kxGLChooseSamples(r.request, gpu)) << r.request;
  }
}

}  // namespace
