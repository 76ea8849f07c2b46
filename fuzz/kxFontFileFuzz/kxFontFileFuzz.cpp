// Feeds arbitrary bytes to the font-file reader. The records it accepts,
// written back, must give exactly the bytes they were read from.
#include <cstdlib>
#include <cstring>

#include "graphics/kxFontReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  uint8_t* input = static_cast<uint8_t*>(malloc(size ? size : 1));
  if (!input) return 0;
  if (size) memcpy(input, data, size);
  TGlyph_s* glyphs = nullptr;
  uint64_t count = 0;
  if (kxReadFontGlyphs(input, size, &glyphs, &count)) {
    for (uint64_t i = 0; i < count; ++i)
      if (glyphs[i].width < 0 || glyphs[i].height < 0) abort();
    uint64_t written = 0;
    uint8_t* back = kxWriteFontGlyphs(glyphs, count, &written);
    if (count && !back) abort();
    if (written > size || (written && memcmp(back, input, written) != 0)) abort();
    // What was not read cannot hold another whole record.
    if (size - written >= 20) {
      int32_t w, h;
      memcpy(&w, input + written, 4);
      memcpy(&h, input + written + 4, 4);
      if (w >= 0 && h >= 0 && uint64_t(w) * uint64_t(h) <= size - written - 20) abort();
    }
    free(back);
    kxFreeFontGlyphs(glyphs, count);
  }
  free(input);
  return 0;
}
