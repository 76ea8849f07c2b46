#include "graphics/kxFontReader.h"

#include <cstdlib>
#include <cstring>

#include "data/kxAlloc.h"
#include "data/kxLittleEndian.h"

namespace {

const uint64_t kRecordHeader = 20;

uint64_t PixelBytes(const TGlyph_s& g) {
  if (g.width <= 0 || g.height <= 0) return 0;
  return uint64_t(g.width) * uint64_t(g.height);
}

}  // namespace

bool kxReadFontGlyphs(const uint8_t* data, uint64_t size, TGlyph_s** glyphs, uint64_t* count) {
  if (!glyphs || !count) return false;
  *glyphs = nullptr;
  *count = 0;
  if (!data) return true;
  // First pass: how many whole, well-formed records there are, so the record
  // array is allocated once and only for records the bytes hold.
  uint64_t records = 0;
  for (uint64_t at = 0; size - at >= kRecordHeader;) {
    int32_t w = kxLoadLEI32(data + at), h = kxLoadLEI32(data + at + 4);
    if (w < 0 || h < 0) break;
    uint64_t bytes = uint64_t(w) * uint64_t(h);
    if (size - at - kRecordHeader < bytes) break;
    at += kRecordHeader + bytes;
    ++records;
  }
  if (!records) return true;
  TGlyph_s* out = static_cast<TGlyph_s*>(kxCalloc(records, sizeof *out));
  if (!out) return false;
  uint64_t at = 0;
  for (uint64_t i = 0; i < records; ++i) {
    TGlyph_s& g = out[i];
    g.width = kxLoadLEI32(data + at);
    g.height = kxLoadLEI32(data + at + 4);
    g.advance = kxLoadLEI32(data + at + 8);
    g.top = kxLoadLEI32(data + at + 12);
    g.left = kxLoadLEI32(data + at + 16);
    at += kRecordHeader;
    uint64_t bytes = PixelBytes(g);
    if (bytes) {
      g.pixels = static_cast<uint8_t*>(kxMalloc(bytes));
      if (!g.pixels) {
        kxFreeFontGlyphs(out, i);
        return false;
      }
      memcpy(g.pixels, data + at, bytes);
      at += bytes;
    }
  }
  *glyphs = out;
  *count = records;
  return true;
}

void kxFreeFontGlyphs(TGlyph_s* glyphs, uint64_t count) {
  if (!glyphs) return;
  for (uint64_t i = 0; i < count; ++i) free(glyphs[i].pixels);
  free(glyphs);
}

uint8_t* kxWriteFontGlyphs(const TGlyph_s* glyphs, uint64_t count, uint64_t* size) {
  if (size) *size = 0;
  if (!glyphs || !count || !size) return nullptr;
  uint64_t total = 0;
  for (uint64_t i = 0; i < count; ++i) total += kRecordHeader + PixelBytes(glyphs[i]);
  uint8_t* out = static_cast<uint8_t*>(kxMalloc(total));
  if (!out) return nullptr;
  uint8_t* p = out;
  for (uint64_t i = 0; i < count; ++i) {
    const TGlyph_s& g = glyphs[i];
    kxStoreLEI32(p, g.width);
    kxStoreLEI32(p + 4, g.height);
    kxStoreLEI32(p + 8, g.advance);
    kxStoreLEI32(p + 12, g.top);
    kxStoreLEI32(p + 16, g.left);
    p += kRecordHeader;
    uint64_t bytes = PixelBytes(g);
    if (bytes && g.pixels) {
      memcpy(p, g.pixels, bytes);
    } else if (bytes) {
      memset(p, 0, bytes);
    }
    p += bytes;
  }
  *size = total;
  return out;
}
