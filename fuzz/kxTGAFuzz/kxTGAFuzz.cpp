// Feeds arbitrary bytes to the TGA decoder. A decoded image must have a
// supported shape, and every one of its pixel bytes must be readable.
#include <cstdlib>
#include <cstring>

#include "graphics/kxTGA.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // An exact-size copy, so reads past the input are caught.
  uint8_t* input = static_cast<uint8_t*>(malloc(size ? size : 1));
  if (!input) return 0;
  if (size) memcpy(input, data, size);
  kxTGAImage image;
  if (kxDecodeTGA(input, size, &image)) {
    if (size < 18 || image.width == 0 || image.height == 0 || !image.pixels) abort();
    if (image.bytesPerPixel != 3 && image.bytesPerPixel != 4) abort();
    if (image.width != uint32_t(input[12] + 256u * input[13])) abort();
    uint64_t bytes = uint64_t(image.width) * image.height * image.bytesPerPixel;
    // Every byte was written by the decoder; reading them all lets the
    // sanitizers see a short allocation or an unwritten byte.
    unsigned sum = 0;
    for (uint64_t i = 0; i < bytes; ++i) sum += image.pixels[i];
    if (sum == 0xFFFFFFFFu) abort();
    kxFreeTGAImage(&image);
  }
  free(input);
  return 0;
}
