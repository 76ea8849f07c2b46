#include "graphics/kxTGA.h"

#include <GL/glew.h>

#include <cstdlib>
#include <cstring>

#include "data/kxAlloc.h"
#include "data/kxExpanded.h"
#include "data/kxLittleEndian.h"
#include "data/kxMemoryBlock.h"

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
      for (uint64_t i = 0; i < n; ++i, at += bpp) StorePixel(pixels + (done + i) * bpp, data + at, bpp);
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
  GLint largest = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largest);
  if (image.width > uint32_t(largest) || image.height > uint32_t(largest)) {
    kxFreeTGAImage(&image);
    return 0;
  }
  GLuint texture = 0;
  glGenTextures(1, &texture);
  glBindTexture(GL_TEXTURE_2D, texture);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
  glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
  glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
  // Rows are tightly packed: under the default alignment of 4 a 24-bit row
  // whose length is not a multiple of 4 would be read skewed and past the end.
  GLint alignment = 4;
  glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, GLsizei(image.width), GLsizei(image.height), 0,
               image.bytesPerPixel == 3 ? GL_RGB : GL_RGBA, GL_UNSIGNED_BYTE, image.pixels);
  glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
  kxFreeTGAImage(&image);
  return texture;
}

unsigned int TextureFromCrunchedMemoryBlockTGA(kxMemoryBlock* block) {
  return kxUseExpanded(block, 0u, TextureFromMemoryBlockTGA);
}
