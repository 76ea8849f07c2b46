// The built-in logo: registered as a copy of its own under "kxEngineLogo",
// by hand and by every GUI manager, and the picture the splash expects.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

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
  EXPECT_EQ(1u, engineResources->Length());
  EXPECT_TRUE(engineResources->ResourceExists("kxEngineLogo"));
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
