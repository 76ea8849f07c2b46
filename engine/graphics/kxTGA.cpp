#include "graphics/kxTGA.h"

#include <cstdlib>
#include <cstring>

#include "data/kxAlloc.h"
#include "data/kxExpanded.h"
#include "data/kxLittleEndian.h"
#include "data/kxMemoryBlock.h"
#include "render/kxRenderer.h"

namespace {

const uint64_t kHeaderSize = 18;
const uint8_t kRawSignature[12] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};

// Raw images: every pixel is stored, so the data must hold them all.
bool DecodeRaw(const uint8_t* data, uint64_t size, uint64_t pixelCount, uint32_t bpp,
               uint8_t** out) {
  uint64_t bytes = pixelCount * bpp;
  if (size - kHeaderSize < bytes) return false;
  uint8_t* pixels = static_cast<uint8_t*>(kxMalloc(bytes));
  if (!pixels) return false;
  memcpy(pixels, data + kHeaderSize, bytes);
  for (uint64_t i = 0; i < bytes; i += bpp) {
    uint8_t b = pixels[i];
    pixels[i] = pixels[i + 2];
    pixels[i + 2] = b;
  }
  *out = pixels;
  return true;
}

void StorePixel(uint8_t* target, const uint8_t* stored, uint32_t bpp) {
  target[0] = stored[2];
  target[1] = stored[1];
  target[2] = stored[0];
  if (bpp == 4) target[3] = stored[3];
}

// Run-length images: a packet is a header byte and at least one stored pixel
// and yields at most 128 pixels, which bounds what the remaining bytes can
// describe before anything is allocated.
bool DecodeRLE(const uint8_t* data, uint64_t size, uint64_t pixelCount, uint32_t bpp,
               uint8_t** out) {
  uint64_t remaining = size - kHeaderSize;
  uint64_t packets = remaining / (bpp + 1);
  if (pixelCount > packets * 128) return false;
  uint8_t* pixels = static_cast<uint8_t*>(kxMalloc(pixelCount * bpp));
  if (!pixels) return false;
  uint64_t at = kHeaderSize;
  uint64_t done = 0;
  while (done < pixelCount) {
    if (at >= size) break;
    uint8_t h = data[at++];
    uint64_t n = (h & 0x7F) + 1;
    if (n > pixelCount - done) n = pixelCount - done;  // a packet never passes the last pixel
    if (h < 128) {
      if (size - at < n * bpp) break;
      for (uint64_t i = 0; i < n; ++i, at += bpp)
        StorePixel(pixels + (done + i) * bpp, data + at, bpp);
    } else {
      if (size - at < bpp) break;
      for (uint64_t i = 0; i < n; ++i) StorePixel(pixels + (done + i) * bpp, data + at, bpp);
      at += bpp;
    }
    done += n;
  }
  if (done < pixelCount) {
    free(pixels);
    return false;
  }
  *out = pixels;
  return true;
}

}  // namespace

bool kxDecodeTGA(const uint8_t* data, uint64_t size, kxTGAImage* image) {
  if (!data || !image || size < kHeaderSize) return false;
  uint32_t width = kxLoadLE16(data + 12);
  uint32_t height = kxLoadLE16(data + 14);
  uint32_t depth = data[16];
  if (width == 0 || height == 0 || (depth != 24 && depth != 32)) return false;
  uint32_t bpp = depth / 8;
  uint64_t pixelCount = uint64_t(width) * height;
  uint8_t* pixels = nullptr;
  bool raw = memcmp(data, kRawSignature, sizeof kRawSignature) == 0;
  if (!(raw ? DecodeRaw : DecodeRLE)(data, size, pixelCount, bpp, &pixels)) return false;
  image->width = width;
  image->height = height;
  image->bytesPerPixel = bpp;
  image->pixels = pixels;
  return true;
}

void kxFreeTGAImage(kxTGAImage* image) {
  if (!image) return;
  free(image->pixels);
  memset(image, 0, sizeof *image);
}

unsigned int TextureFromMemoryBlockTGA(kxMemoryBlock* block) {
  if (!block) return 0;
  kxTGAImage image;
  if (!kxDecodeTGA(block->data, block->size, &image)) return 0;
  // An image the implementation cannot hold would give a name without an
  // image: no texture either.
  kxRenderer* r = kxGetRenderer();
  const int largest = r->GetMaxTextureSize();
  unsigned int texture = 0;
  if (largest > 0 && image.width <= uint32_t(largest) && image.height <= uint32_t(largest)) {
    texture = r->CreateTexture(int(image.width), int(image.height),
                               image.bytesPerPixel == 3 ? pfRGB : pfRGBA, image.pixels, false);
  }
  kxFreeTGAImage(&image);
  return texture;
}

unsigned int TextureFromCrunchedMemoryBlockTGA(kxMemoryBlock* block) {
  return kxUseExpanded(block, 0u, TextureFromMemoryBlockTGA);
}
