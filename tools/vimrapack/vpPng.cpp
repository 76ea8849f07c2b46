#include "vpPng.h"

#include <zlib.h>

#include <algorithm>
#include <cmath>

namespace {

uint8_t ToByte(float v) {
  if (!(v > 0.0f)) return 0;
  if (v >= 1.0f) return 255;
  return uint8_t(std::lround(v * 255.0f));
}

void PutU32(std::vector<uint8_t>* out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out->push_back(uint8_t(v >> shift));
}

// Length, type, data, then the CRC-32 of type and data.
void PutChunk(std::vector<uint8_t>* out, const char type[4], const std::vector<uint8_t>& data) {
  PutU32(out, uint32_t(data.size()));
  const size_t typeAt = out->size();
  out->insert(out->end(), type, type + 4);
  out->insert(out->end(), data.begin(), data.end());
  const uLong crc = crc32(0L, out->data() + typeAt, uInt(out->size() - typeAt));
  PutU32(out, uint32_t(crc));
}

}  // namespace

std::vector<uint8_t> vpEncodePNG(const vpImage& image) {
  const int w = image.Width(), h = image.Height();
  if (w <= 0 || h <= 0) return {};
  // Each row: filter type 0, then R, G, B, A.
  std::vector<uint8_t> raw;
  raw.reserve(size_t(h) * (1 + size_t(w) * 4));
  for (int y = 0; y < h; ++y) {
    raw.push_back(0);
    for (int x = 0; x < w; ++x) {
      const vpColor& c = image.At(x, y);
      raw.push_back(ToByte(c.r));
      raw.push_back(ToByte(c.g));
      raw.push_back(ToByte(c.b));
      raw.push_back(ToByte(c.a));
    }
  }
  uLongf packedSize = compressBound(uLong(raw.size()));
  std::vector<uint8_t> packed(packedSize);
  if (compress2(packed.data(), &packedSize, raw.data(), uLong(raw.size()), 9) != Z_OK) return {};
  packed.resize(packedSize);

  std::vector<uint8_t> header;
  PutU32(&header, uint32_t(w));
  PutU32(&header, uint32_t(h));
  header.insert(header.end(),
                {8, 6, 0, 0, 0});  // 8 bits, RGBA, deflate, no filter set, no interlace
  std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  PutChunk(&out, "IHDR", header);
  PutChunk(&out, "IDAT", packed);
  PutChunk(&out, "IEND", {});
  return out;
}

vpImage vpSquareMiddle(const vpImage& image, int size) {
  const int side = std::min(image.Width(), image.Height());
  if (side <= 0 || size <= 0) return vpImage();
  const int x0 = (image.Width() - side) / 2, y0 = (image.Height() - side) / 2;
  vpImage square(side, side);
  for (int y = 0; y < side; ++y)
    for (int x = 0; x < side; ++x) square.Ref(x, y) = image.At(x0 + x, y0 + y);
  return side == size ? square : square.Resized(size, size);
}
