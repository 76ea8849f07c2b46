#include "vpFontFace.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <algorithm>
#include <cmath>

namespace {

// Copies a rendered 8-bit bitmap into a mask at (ox, oy), adding coverage.
void AddBitmap(const FT_Bitmap& bm, vpMask* mask, int ox, int oy) {
  for (unsigned r = 0; r < bm.rows; ++r)
    for (unsigned c = 0; c < bm.width; ++c) {
      const int x = ox + int(c), y = oy + int(r);
      if (x < 0 || y < 0 || x >= mask->Width() || y >= mask->Height()) continue;
      const uint8_t v = bm.buffer[ptrdiff_t(r) * bm.pitch + ptrdiff_t(c)];
      mask->Ref(x, y) = std::min(1.0f, mask->Ref(x, y) + float(v) / 255.0f);
    }
}

}  // namespace

vpFontFace::vpFontFace() {
  FT_Library lib = nullptr;
  if (FT_Init_FreeType(&lib) == 0) library = lib;
}

vpFontFace::~vpFontFace() {
  if (face) FT_Done_Face(face);
  if (library) FT_Done_FreeType(library);
}

bool vpFontFace::Open(const std::string& path) {
  if (!library) return false;
  FT_Face f = nullptr;
  if (FT_New_Face(library, path.c_str(), 0, &f) != 0) return false;
  if (face) FT_Done_Face(face);
  face = f;
  return true;
}

bool vpFontFace::HasGlyph(uint32_t codePoint) const {
  return face && FT_Get_Char_Index(face, codePoint) != 0;
}

bool vpFontFace::Render(uint32_t codePoint, int pixelSize, vpGlyph* glyph) const {
  if (!HasGlyph(codePoint)) return false;
  if (FT_Set_Pixel_Sizes(face, 0, FT_UInt(pixelSize)) != 0) return false;
  if (FT_Load_Char(face, codePoint, FT_LOAD_RENDER | FT_LOAD_TARGET_NORMAL) != 0) return false;
  const FT_GlyphSlot g = face->glyph;
  const FT_Bitmap& bm = g->bitmap;
  if (bm.pixel_mode != FT_PIXEL_MODE_GRAY && bm.rows != 0) return false;
  glyph->width = int(bm.width);
  glyph->height = int(bm.rows);
  glyph->advance = int((g->advance.x + 32) >> 6);
  glyph->top = g->bitmap_top;
  glyph->left = g->bitmap_left;
  glyph->pixels.assign(size_t(bm.width) * bm.rows, 0);
  for (unsigned r = 0; r < bm.rows; ++r)
    for (unsigned c = 0; c < bm.width; ++c)
      glyph->pixels[size_t(r) * bm.width + c] = bm.buffer[ptrdiff_t(r) * bm.pitch + ptrdiff_t(c)];
  if (glyph->width == 0 || glyph->height == 0) {
    glyph->width = glyph->height = 0;
    glyph->top = glyph->left = 0;
    glyph->pixels.clear();
  }
  return true;
}

bool vpFontFace::RenderFitted(uint32_t codePoint, int maxWidth, int maxHeight, vpMask* mask) const {
  if (!HasGlyph(codePoint) || maxWidth <= 0 || maxHeight <= 0) return false;
  const int reference = 1000;
  if (FT_Set_Pixel_Sizes(face, 0, reference) != 0) return false;
  if (FT_Load_Char(face, codePoint, FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) != 0) return false;
  FT_BBox box;
  FT_Outline_Get_CBox(&face->glyph->outline, &box);
  const double w = double(box.xMax - box.xMin) / 64.0, h = double(box.yMax - box.yMin) / 64.0;
  if (w <= 0 || h <= 0) return false;
  const double scale = std::min(double(maxWidth) / w, double(maxHeight) / h);
  const int size = std::max(1, int(std::floor(reference * scale)));
  if (FT_Set_Pixel_Sizes(face, 0, FT_UInt(size)) != 0) return false;
  if (FT_Load_Char(face, codePoint, FT_LOAD_NO_HINTING | FT_LOAD_RENDER) != 0) return false;
  const FT_Bitmap& bm = face->glyph->bitmap;
  *mask = vpMask(int(bm.width), int(bm.rows));
  AddBitmap(bm, mask, 0, 0);
  return true;
}

bool vpFontFace::RenderLine(const std::u32string& text, int pixelSize, vpMask* mask,
                            int* baseline) const {
  if (!face || FT_Set_Pixel_Sizes(face, 0, FT_UInt(pixelSize)) != 0) return false;
  // First pass measures, the second draws.
  const int ascent = int(std::ceil(double(face->size->metrics.ascender) / 64.0));
  const int descent = int(std::ceil(double(-face->size->metrics.descender) / 64.0));
  for (int pass = 0; pass < 2; ++pass) {
    FT_Pos pen = 0;  // 26.6
    FT_UInt previous = 0;
    int right = 0;
    for (char32_t c : text) {
      const FT_UInt index = FT_Get_Char_Index(face, c);
      if (index == 0) return false;
      if (previous && FT_HAS_KERNING(face)) {
        FT_Vector k;
        if (FT_Get_Kerning(face, previous, index, FT_KERNING_UNFITTED, &k) == 0) pen += k.x;
      }
      if (FT_Load_Glyph(face, index, FT_LOAD_NO_HINTING | FT_LOAD_RENDER) != 0) return false;
      const FT_GlyphSlot g = face->glyph;
      const int x = int(pen >> 6) + g->bitmap_left + 2;
      if (pass == 1) AddBitmap(g->bitmap, mask, x, ascent + 2 - g->bitmap_top);
      right = std::max(right, x + int(g->bitmap.width));
      pen += g->advance.x;
      previous = index;
    }
    if (pass == 0) *mask = vpMask(right + 2, ascent + descent + 4);
  }
  *baseline = ascent + 2;
  return true;
}
