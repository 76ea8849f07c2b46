/// \file
/// GL-free reader and writer of the font file: headerless glyph records of
/// five signed 32-bit little-endian integers (width, height, advance, top,
/// left) followed by width x height coverage bytes.
#pragma once

#include "graphics/kxFont.h"
#include "kxExport.h"
#include "kxTypes.h"

/// Reads records from the start of the buffer. Reading stops before a record
/// that runs past the end or has a negative width or height. On success
/// *glyphs is a malloc'ed array of *count records, each bitmap malloc'ed (null
/// when the glyph has no pixels); an empty buffer gives null and 0. False
/// (outputs null and 0) only when memory runs out.
[[nodiscard]] KX_API bool kxReadFontGlyphs(const uint8_t* data, uint64_t size, TGlyph_s** glyphs,
                                           uint64_t* count);
/// Releases records made by kxReadFontGlyphs (or the font), bitmaps first.
KX_API void kxFreeFontGlyphs(TGlyph_s* glyphs, uint64_t count);
/// New malloc'ed font file of the records; null and size 0 when count is 0
/// or memory runs out.
[[nodiscard]] KX_API uint8_t* kxWriteFontGlyphs(const TGlyph_s* glyphs, uint64_t count,
                                                uint64_t* size);
