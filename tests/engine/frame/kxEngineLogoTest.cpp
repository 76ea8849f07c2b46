// The built-in logo: registered as a copy under "kxEngineLogo", by hand and
// by every GUI manager, and holding the picture the splash expects.

#include "frame/kxEngineLogo.h"

#include <gtest/gtest.h>

#include <cstring>

#include "data/kxResource.h"
#include "graphics/kxTGA.h"
#include "gui/kxGUIManager.h"

namespace {

struct Expanded {
  kxMemoryBlock* block;
  explicit Expanded(const kxMemoryBlock* crunched) : block(kxDecrunchMemoryBlock(crunched)) {}
  ~Expanded() { kxFreeMemoryBlock(block); }
};

TEST(EngineLogo, AppendsACopyUnderItsName) {
  kxResource resources;
  uint8_t other[2] = {1, 2};
  kxMemoryBlock first{other, 2};
  resources.Append(&first, "first");
  ASSERT_TRUE(AppendEngineLogo(&resources));
  ASSERT_EQ(2u, resources.Length());
  EXPECT_STREQ("kxEngineLogo", resources.GetName(1));
  kxMemoryBlock* logo = resources.Get("kxEngineLogo");
  ASSERT_NE(nullptr, logo);
  EXPECT_GT(logo->size, 100u);

  // Each registration is a copy of its own.
  kxResource again;
  ASSERT_TRUE(AppendEngineLogo(&again));
  kxMemoryBlock* second = again.Get("kxEngineLogo");
  ASSERT_EQ(logo->size, second->size);
  EXPECT_NE(logo->data, second->data);
  EXPECT_EQ(0, std::memcmp(logo->data, second->data, logo->size));
  second->data[10] ^= 0xFF;
  EXPECT_NE(logo->data[10], second->data[10]);
  kxResource third;
  ASSERT_TRUE(AppendEngineLogo(&third));
  EXPECT_EQ(logo->data[10], third.Get("kxEngineLogo")->data[10]) << "the built-in bytes unchanged";
}

TEST(EngineLogo, NullCollectionIsRefused) { EXPECT_FALSE(AppendEngineLogo(nullptr)); }

TEST(EngineLogo, EveryGUIManagerRegistersItInTheEngineCollection) {
  kxGUIManager* manager = kxGUIManager::Create(640, 480);
  ASSERT_NE(nullptr, manager);
  ASSERT_NE(nullptr, engineResources);
  EXPECT_EQ(1u, engineResources->Length());
  EXPECT_TRUE(engineResources->ResourceExists("kxEngineLogo"));
  delete manager;
}

TEST(EngineLogo, BlockIsACrunched256By64RunLengthTGA) {
  kxResource resources;
  ASSERT_TRUE(AppendEngineLogo(&resources));
  kxMemoryBlock* logo = resources.Get("kxEngineLogo");
  Expanded tga(logo);
  ASSERT_NE(nullptr, tga.block);
  const uint8_t* d = tga.block->data;
  uint32_t stored = logo->data[0] | logo->data[1] << 8 | logo->data[2] << 16 |
                    static_cast<uint32_t>(logo->data[3]) << 24;
  EXPECT_EQ(stored, tga.block->size);
  ASSERT_GT(tga.block->size, 18u + 26u);
  EXPECT_EQ(10, d[2]) << "run-length true-colour";
  EXPECT_EQ(0, d[0]);
  EXPECT_EQ(0, d[1]);
  EXPECT_EQ(256, d[12] | d[13] << 8);
  EXPECT_EQ(64, d[14] | d[15] << 8);
  EXPECT_EQ(32, d[16]);
  EXPECT_EQ(0x08, d[17]);
  EXPECT_EQ(0, std::memcmp(d + tga.block->size - 18, "TRUEVISION-XFILE.", 18));

  kxTGAImage image{};
  ASSERT_TRUE(kxDecodeTGA(d, tga.block->size, &image));
  EXPECT_EQ(256u, image.width);
  EXPECT_EQ(64u, image.height);
  ASSERT_EQ(4u, image.bytesPerPixel);
  int opaque = 0, clear = 0;
  for (uint32_t i = 0; i < 256u * 64u; ++i) {
    uint8_t a = image.pixels[i * 4 + 3];
    if (a == 255) ++opaque;
    if (a == 0) ++clear;
  }
  EXPECT_GT(opaque, 1000) << "solid letters";
  EXPECT_GT(clear, 256 * 64 / 2) << "on a transparent background";
  EXPECT_EQ(0, image.pixels[3]) << "corner transparent";
  kxFreeTGAImage(&image);
}

}  // namespace
