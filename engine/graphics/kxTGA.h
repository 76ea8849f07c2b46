/// \file
/// TGA textures: the true-colour subset (24 or 32 bits, raw or run-length
/// encoded) turned into textures of the current renderer, plus the decoder
/// beneath, which needs no context.
///
/// The caller owns a returned texture name and deletes it with the
/// renderer's DeleteTextures. Blocks passed in are only read.
#pragma once

#include "kxExport.h"
#include "kxTypes.h"

struct kxMemoryBlock;

/// Decoded image: `pixels` holds width x height pixels of bytesPerPixel bytes
/// (R, G, B or R, G, B, A), rows in file order; malloc'ed, released with
/// kxFreeTGAImage.
struct kxTGAImage {
  uint32_t width;          ///< pixels per row, at least 1
  uint32_t height;         ///< rows, at least 1
  uint32_t bytesPerPixel;  ///< 3 or 4
  uint8_t* pixels;         ///< owned by the record (kxFreeTGAImage)
};

/// Decodes TGA bytes without touching the renderer. False (and `image` untouched)
/// for a block shorter than the header, a depth other than 24 or 32, a zero
/// width or height, or pixel data that cannot fill the image; the pixel
/// buffer is only allocated once the data can justify its size.
[[nodiscard]] KX_API bool kxDecodeTGA(const uint8_t* data, uint64_t size, kxTGAImage* image);
/// Releases the pixels and zeroes the record. Null is ignored.
KX_API void kxFreeTGAImage(kxTGAImage* image);

/// New texture holding the image (internal format RGBA, linear filtering,
/// repeat wrap, modulate environment); 0 when the block cannot be decoded or
/// the image is larger than the renderer's largest texture.
/// Needs a current context; the new texture is left bound.
[[nodiscard]] KX_API unsigned int TextureFromMemoryBlockTGA(kxMemoryBlock* block);
/// Expands a crunched block and uploads it as above; 0 on any failure.
[[nodiscard]] KX_API unsigned int TextureFromCrunchedMemoryBlockTGA(kxMemoryBlock* block);
