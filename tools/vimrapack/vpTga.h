// TGA writer (and reader) of the pack generator: uncompressed true-colour images (type 2)
// stored bottom-up, the row order under which the engine's texture
// coordinates show them upright. The pack crunches every entry, so the
// image itself is left raw.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "vpImage.h"

// 24-bit (B, G, R) or 32-bit (B, G, R, A) image; the last canvas row (the
// bottom of the picture) is stored first. Channels are rounded to 8 bits.
std::vector<uint8_t> vpEncodeTGA(const vpImage& image, bool withAlpha);

// The reverse, through the engine's decoder: `image` becomes the picture
// upright for a TGA stored bottom-up as above. False, and `image` untouched,
// when the engine cannot decode the bytes.
bool vpDecodeTGA(const uint8_t* data, size_t size, vpImage* image);
