#include "vimraWindowIcon.h"

#include <cstring>

#include "data/kxMemoryBlock.h"
#include "graphics/kxTGA.h"

namespace {

// Byte 17 of a TGA header: bit 5 set means the first row stored is the top.
const size_t kDescriptorOffset = 17;
const uint8_t kTopOrigin = 0x20;

}  // namespace

SDL_Surface* vimraMakeWindowIcon(const kxMemoryBlock* crunchedTGA) {
  if (crunchedTGA == nullptr) return nullptr;
  kxMemoryBlock* tga = kxDecrunchMemoryBlock(crunchedTGA);
  if (tga == nullptr) return nullptr;
  kxTGAImage image;
  bool decoded = kxDecodeTGA(tga->data, tga->size, &image);
  bool topFirst =
      decoded && tga->size > kDescriptorOffset && (tga->data[kDescriptorOffset] & kTopOrigin) != 0;
  kxFreeMemoryBlock(tga);
  if (!decoded) return nullptr;

  SDL_Surface* icon = nullptr;
  const uint32_t w = image.width, h = image.height;
  if (w <= static_cast<uint32_t>(kMaxIconSide) && h <= static_cast<uint32_t>(kMaxIconSide)) {
    const int side = static_cast<int>(w > h ? w : h);
    icon = SDL_CreateRGBSurfaceWithFormat(0, side, side, 32, SDL_PIXELFORMAT_RGBA32);
  }
  if (icon != nullptr) {
    uint8_t* pixels = static_cast<uint8_t*>(icon->pixels);
    memset(pixels, 0, static_cast<size_t>(icon->pitch) * static_cast<size_t>(icon->h));
    const uint32_t left = (static_cast<uint32_t>(icon->w) - w) / 2;
    const uint32_t top = (static_cast<uint32_t>(icon->h) - h) / 2;
    for (uint32_t row = 0; row < h; ++row) {
      const uint8_t* from = image.pixels + static_cast<size_t>(row) * w * image.bytesPerPixel;
      uint8_t* to = pixels +
                    static_cast<size_t>(top + (topFirst ? row : h - 1 - row)) *
                        static_cast<size_t>(icon->pitch) +
                    static_cast<size_t>(left) * 4;
      for (uint32_t x = 0; x < w; ++x, from += image.bytesPerPixel, to += 4) {
        to[0] = from[0];
        to[1] = from[1];
        to[2] = from[2];
        to[3] = image.bytesPerPixel == 4 ? from[3] : 255;
      }
    }
  }
  kxFreeTGAImage(&image);
  return icon;
}

bool vimraSetWindowIcon(SDL_Window* window, const kxMemoryBlock* crunchedTGA) {
  if (window == nullptr) return false;
  SDL_Surface* icon = vimraMakeWindowIcon(crunchedTGA);
  if (icon == nullptr) return false;
  SDL_SetWindowIcon(window, icon);  // SDL keeps a copy
  SDL_FreeSurface(icon);
  return true;
}
