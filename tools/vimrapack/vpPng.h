// PNG writer of the asset pipeline, for pictures that leave the pack (the
// desktop icons): 8-bit RGBA, no interlacing, every row unfiltered, one
// zlib stream at level 9, so the same image always gives the same bytes.
#pragma once

#include <cstdint>
#include <vector>

#include "vpImage.h"

// The whole file: signature, IHDR, one IDAT, IEND. Channels are rounded to
// 8 bits as in vpEncodeTGA. Empty when the image is empty or compression
// fails.
std::vector<uint8_t> vpEncodePNG(const vpImage& image);

// The square middle of a picture (as wide as the picture is high, or the
// reverse) scaled to size x size: how the title picture becomes an icon.
vpImage vpSquareMiddle(const vpImage& image, int size);
