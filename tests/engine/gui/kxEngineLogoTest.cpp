// The built-in logo: registered as a copy of its own under "kxEngineLogo",
// by hand and by every GUI manager, and the picture the splash expects.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "data/kxResource.h"
#include "graphics/kxTGA.h"
#include "gui/kxEngineLogo.h"
#include "gui/kxGUIManager.h"

namespace {

TEST(EngineLogo, EachRegistrationIsACopyUnderItsName) {
  EXPECT_FALSE(AppendEngineLogo(nullptr));
  kxResource first, second;
  uint8_t other[2] = {1, 2};
  kxMemoryBlock block{other, 2};
  first.Append(&block, "first");
  ASSERT_TRUE(AppendEngineLogo(&first));
  ASSERT_TRUE(AppendEngineLogo(&second));
  ASSERT_EQ(2u, first.Length());
  EXPECT_STREQ("kxEngineLogo", first.GetName(1));
  kxMemoryBlock* a = first.Get("kxEngineLogo");
  kxMemoryBlock* b = second.Get("kxEngineLogo");
  ASSERT_TRUE(a && b && a->size == b->size);
  EXPECT_NE(a->data, b->data);
  EXPECT_EQ(0, std::memcmp(a->data, b->data, a->size));
  b->data[10] ^= 0xFF;  // a change to one copy reaches neither the other nor the original
  kxResource third;
  ASSERT_TRUE(AppendEngineLogo(&third));
  EXPECT_EQ(a->data[10], third.Get("kxEngineLogo")->data[10]);

  std::unique_ptr<kxGUIManager> manager(kxGUIManager::Create(640, 480));
  ASSERT_NE(nullptr, engineResources);
  // The logo first, then its larger renderings, and nothing else.
  const std::vector<std::string> names = {"kxEngineLogo", "kxEngineLogo@1.5x", "kxEngineLogo@2x",
                                          "kxEngineLogo@3x", "kxEngineLogo@4x"};
  ASSERT_EQ(names.size(), engineResources->Length());
  for (size_t i = 0; i < names.size(); ++i) EXPECT_EQ(names[i], engineResources->GetName(i));
}

// Each larger rendering: a crunched run-length TGA of its density's size,
// the same picture as the plain one (its ink where the plain picture's
// is, scaled), registered as copies of their own.
TEST(EngineLogo, RenderingsAreThePictureAtLargerSizes) {
  EXPECT_FALSE(AppendEngineLogoRenderings(nullptr));
  kxResource resources;
  ASSERT_TRUE(AppendEngineLogo(&resources));
  ASSERT_TRUE(AppendEngineLogoRenderings(&resources));
  ASSERT_EQ(5u, resources.Length());
  struct Ink {
    double x0 = 1e9, y0 = 1e9, x1 = -1, y1 = -1, area = 0;  // in plain pixels
  };
  auto inkOf = [&](const char* name, double density, Ink* ink) {
    SCOPED_TRACE(name);
    std::unique_ptr<kxMemoryBlock, void (*)(kxMemoryBlock*)> tga(
        kxDecrunchMemoryBlock(resources.Get(name)), kxFreeMemoryBlock);
    ASSERT_TRUE(tga);
    EXPECT_EQ(10, tga->data[2]) << "run-length true colour";
    kxTGAImage image{};
    ASSERT_TRUE(kxDecodeTGA(tga->data, tga->size, &image));
    EXPECT_EQ(uint32_t(256 * density), image.width);
    EXPECT_EQ(uint32_t(64 * density), image.height);
    ASSERT_EQ(4u, image.bytesPerPixel);
    for (uint32_t i = 0; i < image.width * image.height; ++i) {
      const uint8_t a = image.pixels[i * 4 + 3];
      if (a == 0) continue;
      // In the plain picture's pixels.
      const double x = (i % image.width) / density, y = (i / image.width) / density;
      ink->x0 = std::min(ink->x0, x), ink->x1 = std::max(ink->x1, x);
      ink->y0 = std::min(ink->y0, y), ink->y1 = std::max(ink->y1, y);
      ink->area += a / 255.0 / (density * density);
    }
    kxFreeTGAImage(&image);
  };
  Ink plain;
  ASSERT_NO_FATAL_FAILURE(inkOf("kxEngineLogo", 1.0, &plain));
  ASSERT_GT(plain.area, 1000);
  const struct {
    const char* name;
    double density;
  } rows[] = {{"kxEngineLogo@1.5x", 1.5},
              {"kxEngineLogo@2x", 2.0},
              {"kxEngineLogo@3x", 3.0},
              {"kxEngineLogo@4x", 4.0}};
  for (const auto& r : rows) {
    Ink ink;
    ASSERT_NO_FATAL_FAILURE(inkOf(r.name, r.density, &ink));
    EXPECT_NEAR(ink.x0, plain.x0, 1.5) << r.name;
    EXPECT_NEAR(ink.x1, plain.x1, 1.5) << r.name;
    EXPECT_NEAR(ink.y0, plain.y0, 1.5) << r.name;
    EXPECT_NEAR(ink.y1, plain.y1, 1.5) << r.name;
    EXPECT_NEAR(ink.area, plain.area, 0.05 * plain.area) << r.name;
  }
  // Copies: a change to one collection's bytes reaches no other.
  kxResource other;
  ASSERT_TRUE(AppendEngineLogoRenderings(&other));
  EXPECT_NE(resources.Get("kxEngineLogo@2x")->data, other.Get("kxEngineLogo@2x")->data);
}

TEST(EngineLogo, BlockIsACrunched256By64RunLengthTGAOnTransparency) {
  kxResource resources;
  ASSERT_TRUE(AppendEngineLogo(&resources));
  kxMemoryBlock* logo = resources.Get("kxEngineLogo");
  std::unique_ptr<kxMemoryBlock, void (*)(kxMemoryBlock*)> tga(kxDecrunchMemoryBlock(logo),
                                                               kxFreeMemoryBlock);
  ASSERT_TRUE(tga && tga->size > 18 + 26);
  const uint8_t* d = tga->data;
  uint32_t stored = logo->data[0] | logo->data[1] << 8 | logo->data[2] << 16 |
                    static_cast<uint32_t>(logo->data[3]) << 24;
  EXPECT_EQ(stored, tga->size);
  // No ID, no colour map, run-length true colour, 256 x 64, 32 bits, 8 alpha bits.
  EXPECT_EQ(
      (std::vector<int>{0, 0, 10, 256, 64, 32, 8}),
      (std::vector<int>{d[0], d[1], d[2], d[12] | d[13] << 8, d[14] | d[15] << 8, d[16], d[17]}));
  EXPECT_EQ(0, std::memcmp(d + tga->size - 18, "TRUEVISION-XFILE.", 18));

  kxTGAImage image{};
  ASSERT_TRUE(kxDecodeTGA(d, tga->size, &image));
  EXPECT_EQ(256u, image.width);
  EXPECT_EQ(64u, image.height);
  ASSERT_EQ(4u, image.bytesPerPixel);
  int opaque = 0, clear = 0;
  for (uint32_t i = 0; i < 256u * 64u; ++i) {
    opaque += image.pixels[i * 4 + 3] == 255;
    clear += image.pixels[i * 4 + 3] == 0;
  }
  EXPECT_GT(opaque, 1000) << "solid letters";
  EXPECT_GT(clear, 256 * 64 / 2) << "on a transparent background";
  EXPECT_EQ(0, image.pixels[3]) << "corner transparent";
  kxFreeTGAImage(&image);
}

}  // namespace
