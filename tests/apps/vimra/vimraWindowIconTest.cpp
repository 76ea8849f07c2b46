// The window icon: the picture upright and whole, centred on a transparent
// square; nothing made from a block that is not a picture.
#include <gtest/gtest.h>

#include <vector>

#include "data/kxMemoryBlock.h"
#include "data/kxResource.h"
#include "vimraPackKeys.h"
#include "vimraWindowIcon.h"

namespace {

struct Pixel {
  uint8_t r, g, b, a;
};

// A raw TGA of w x h pixels, `bits` 24 or 32, rows stored top first or
// bottom first; pixel (x, y), counted from the top, is (x, y, 7, 200).
kxMemoryBlock* CrunchedTGA(int w, int h, int bits, bool topFirst) {
  std::vector<uint8_t> tga(18, 0);
  tga[2] = 2;
  tga[12] = static_cast<uint8_t>(w), tga[13] = static_cast<uint8_t>(w >> 8);
  tga[14] = static_cast<uint8_t>(h), tga[15] = static_cast<uint8_t>(h >> 8);
  tga[16] = static_cast<uint8_t>(bits);
  tga[17] = static_cast<uint8_t>((bits == 32 ? 8 : 0) | (topFirst ? 0x20 : 0));
  for (int stored = 0; stored < h; ++stored) {
    int y = topFirst ? stored : h - 1 - stored;
    for (int x = 0; x < w; ++x) {
      tga.push_back(7);  // blue, green, red, alpha
      tga.push_back(static_cast<uint8_t>(y));
      tga.push_back(static_cast<uint8_t>(x));
      if (bits == 32) tga.push_back(200);
    }
  }
  kxMemoryBlock plain{tga.data(), tga.size()};
  return kxCrunchMemoryBlock(&plain);
}

// The icon made from CrunchedTGA(w, h, bits, topFirst); null when either
// step fails.
SDL_Surface* IconOfTGA(int w, int h, int bits, bool topFirst) {
  kxMemoryBlock* block = CrunchedTGA(w, h, bits, topFirst);
  if (block == nullptr) return nullptr;
  SDL_Surface* icon = vimraMakeWindowIcon(block);
  kxFreeMemoryBlock(block);
  return icon;
}

Pixel At(SDL_Surface* s, int x, int y) {
  const uint8_t* p = static_cast<uint8_t*>(s->pixels) + y * s->pitch + x * 4;
  return {p[0], p[1], p[2], p[3]};
}

}  // namespace

TEST(vimraWindowIcon, AWidePictureIsCentredUprightOnATransparentSquare) {
  for (bool topFirst : {false, true}) {
    SCOPED_TRACE(topFirst);
    SDL_Surface* icon = IconOfTGA(6, 2, 32, topFirst);
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon->w, 6);
    EXPECT_EQ(icon->h, 6);
    EXPECT_EQ(icon->format->format, static_cast<Uint32>(SDL_PIXELFORMAT_RGBA32));
    // Rows 2 and 3 hold the picture, its top row first; the rest is clear.
    for (int y = 0; y < 6; ++y) {
      for (int x = 0; x < 6; ++x) {
        Pixel p = At(icon, x, y);
        if (y == 2 || y == 3) {
          EXPECT_EQ(p.r, x) << x << "," << y;
          EXPECT_EQ(p.g, y - 2) << x << "," << y;
          EXPECT_EQ(p.b, 7);
          EXPECT_EQ(p.a, 200);
        } else {
          EXPECT_EQ(p.a, 0) << x << "," << y;
        }
      }
    }
    SDL_FreeSurface(icon);
  }
}

TEST(vimraWindowIcon, ATallOpaquePictureIsCentredSideways) {
  SDL_Surface* icon = IconOfTGA(1, 3, 24, false);
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(icon->w, 3);
  for (int y = 0; y < 3; ++y) {
    EXPECT_EQ(At(icon, 0, y).a, 0);
    EXPECT_EQ(At(icon, 1, y).a, 255) << "24 bits are opaque";
    EXPECT_EQ(At(icon, 1, y).g, y);
    EXPECT_EQ(At(icon, 2, y).a, 0);
  }
  SDL_FreeSurface(icon);
}

TEST(vimraWindowIcon, NoIconFromWhatIsNotAFittingPicture) {
  EXPECT_EQ(vimraMakeWindowIcon(nullptr), nullptr);
  uint8_t junk[] = {9, 0, 0, 0, 1, 2, 3};
  kxMemoryBlock notCrunched{junk, sizeof junk};
  EXPECT_EQ(vimraMakeWindowIcon(&notCrunched), nullptr);
  uint8_t text[] = "not a picture at all, just words";
  kxMemoryBlock plain{text, sizeof text};
  kxMemoryBlock* crunchedText = kxCrunchMemoryBlock(&plain);
  ASSERT_NE(crunchedText, nullptr);
  EXPECT_EQ(vimraMakeWindowIcon(crunchedText), nullptr);
  kxFreeMemoryBlock(crunchedText);
  kxMemoryBlock* huge = CrunchedTGA(kMaxIconSide + 1, 1, 24, true);
  ASSERT_NE(huge, nullptr);
  EXPECT_EQ(vimraMakeWindowIcon(huge), nullptr);
  kxFreeMemoryBlock(huge);
  SDL_Surface* icon = IconOfTGA(kMaxIconSide, 1, 24, true);
  EXPECT_NE(icon, nullptr);
  SDL_FreeSurface(icon);
  // Without a window nothing is set.
  kxMemoryBlock* block = CrunchedTGA(2, 2, 32, true);
  EXPECT_FALSE(vimraSetWindowIcon(nullptr, block));
  kxFreeMemoryBlock(block);
}

TEST(vimraWindowIcon, TheTitlePictureOfThePackMakesAnIcon) {
  kxResource pack;
  ASSERT_TRUE(pack.ReadFromFile("vimradata.bin"));
  SDL_Surface* icon = vimraMakeWindowIcon(pack.Get(vimraLowKey(vimraKeyLogo).c_str()));
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(icon->w, icon->h);
  // Some of it is drawn, and the padding above the picture is clear.
  int drawn = 0;
  for (int y = 0; y < icon->h; ++y)
    for (int x = 0; x < icon->w; ++x) drawn += At(icon, x, y).a > 0;
  EXPECT_GT(drawn, icon->w);
  EXPECT_EQ(At(icon, icon->w / 2, 0).a, 0);
  SDL_FreeSurface(icon);
}
