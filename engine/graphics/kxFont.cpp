#include "graphics/kxFont.h"

#include <GL/glew.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "data/kxAlloc.h"
#include "data/kxMemoryBlock.h"
#include "data/kxStdioFile.h"
#include "graphics/kxFontReader.h"
#include "graphics/kxGeometry.h"
#include "graphics/kxVertexArray.h"

namespace {

uint64_t PowerOfTwoAtLeast(int32_t n) {
  uint64_t p = 1;
  while (p < uint64_t(n < 0 ? 0 : n)) p *= 2;
  return p;
}

}  // namespace

kxFont::kxFont(TFontType type)
    : glyphs(nullptr),
      glyphCount(0),
      geometry(nullptr),
      textures(nullptr),
      scale(1.0f),
      type(type),
      lineHeight(0) {}

kxFont::~kxFont() {
  uint64_t made = geometry ? geometry->Length() : 0;
  delete geometry;
  geometry = nullptr;
  FreeTextures(made);
  FreeGlyphs();
}

void kxFont::FreeGlyphs() {
  kxFreeFontGlyphs(glyphs, glyphCount);
  glyphs = nullptr;
  glyphCount = 0;
}

void kxFont::FreeTextures(uint64_t made) {
  if (textures && made) glDeleteTextures(GLsizei(made), textures);
  free(textures);
  textures = nullptr;
}

void kxFont::AppendGlyph(TGlyph_s* glyph) {
  if (!glyph || glyph->width < 0 || glyph->height < 0) return;
  uint64_t bytes = uint64_t(glyph->width) * uint64_t(glyph->height);
  if (bytes && !glyph->pixels) return;
  TGlyph_s copy = *glyph;
  copy.pixels = nullptr;
  if (bytes) {
    copy.pixels = static_cast<uint8_t*>(kxMalloc(bytes));
    if (!copy.pixels) return;
    memcpy(copy.pixels, glyph->pixels, bytes);
  }
  TGlyph_s* grown = static_cast<TGlyph_s*>(kxRealloc(glyphs, (glyphCount + 1) * sizeof *glyphs));
  if (!grown) {
    free(copy.pixels);
    return;
  }
  glyphs = grown;
  glyphs[glyphCount++] = copy;
}

uint8_t* kxFont::SaveToMemory(uint64_t* size) {
  uint64_t written = 0;
  uint8_t* file = kxWriteFontGlyphs(glyphs, glyphCount, &written);
  if (size) *size = written;
  return file;
}

bool kxFont::SaveToFile(const char* fileName) {
  if (!glyphCount || !fileName) return false;
  uint64_t size = 0;
  uint8_t* file = SaveToMemory(&size);
  if (!file) return false;
  FILE* out = fopen(fileName, "wb");
  if (!out) {
    free(file);
    return false;
  }
  // A short write (a full disk) is a failure, not a saved font.
  bool written = fwrite(file, 1, size_t(size), out) == size_t(size);
  free(file);
  if (fclose(out) != 0) written = false;
  return written;
}

bool kxFont::LoadFromMemory(kxMemoryBlock* block) {
  if (!block) return false;
  TGlyph_s* read = nullptr;
  uint64_t count = 0;
  if (!kxReadFontGlyphs(block->data, block->size, &read, &count)) return false;
  FreeGlyphs();
  glyphs = read;
  glyphCount = count;
  InitFontGeometry();
  return true;
}

bool kxFont::LoadFromCrunchedMemoryBlock(kxMemoryBlock* block) {
  if (!block) return false;
  kxMemoryBlock* expanded = kxDecrunchMemoryBlock(block);
  if (!expanded) return false;
  bool loaded = LoadFromMemory(expanded);
  kxFreeMemoryBlock(expanded);
  return loaded;
}

bool kxFont::LoadFromFile(const char* fileName) {
  kxMemoryBlock* file = kxReadStdioFile(fileName);
  if (!file) return false;
  bool loaded = LoadFromMemory(file);
  kxFreeMemoryBlock(file);
  return loaded;
}

void kxFont::InitFontGeometry() {
  uint64_t made = geometry ? geometry->Length() : 0;
  delete geometry;
  geometry = new (std::nothrow) kxGeometry();
  FreeTextures(made);
  if (glyphCount) {
    textures = static_cast<unsigned int*>(kxCalloc(glyphCount, sizeof *textures));
    if (textures) glGenTextures(GLsizei(glyphCount), textures);
  }
  lineHeight = 0;
  // Glyph rows are tightly packed two-byte texels; a texture one texel wide
  // has rows of 2 bytes, which the default alignment of 4 would misread.
  GLint alignment = 4;
  glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  for (uint64_t i = 0; i < glyphCount; ++i) {
    const TGlyph_s& g = glyphs[i];
    kxVertexArray* quad = geometry ? geometry->AppendVertexArray(GL_TRIANGLES) : nullptr;
    uint64_t tw = PowerOfTwoAtLeast(g.width), th = PowerOfTwoAtLeast(g.height);
    float u = float(g.width) / float(tw), v = float(g.height) / float(th);
    if (float(g.top) > lineHeight) lineHeight = float(g.height);
    if (quad) {
      float w = float(g.width), h = float(g.height);
      quad->AppendVertex(w, 0, 0);
      quad->AppendVertex(0, 0, 0);
      quad->AppendVertex(0, h, 0);
      quad->AppendVertex(0, h, 0);
      quad->AppendVertex(w, h, 0);
      quad->AppendVertex(w, 0, 0);
      if (type != ftBottomUp) {
        quad->AppendTexCoord(u, 0);
        quad->AppendTexCoord(0, 0);
        quad->AppendTexCoord(0, v);
        quad->AppendTexCoord(0, v);
        quad->AppendTexCoord(u, v);
        quad->AppendTexCoord(u, 0);
      } else {
        quad->AppendTexCoord(u, v);
        quad->AppendTexCoord(0, v);
        quad->AppendTexCoord(0, 0);
        quad->AppendTexCoord(0, 0);
        quad->AppendTexCoord(u, 0);
        quad->AppendTexCoord(u, v);
      }
      quad->CreateVBO();
    }
    if (!textures) continue;
    // A glyph without pixels gets a single empty texel: its other dimension
    // is not bounded by the file and may be huge.
    if (!g.pixels) tw = th = 1;
    uint8_t* image = static_cast<uint8_t*>(kxCalloc(tw * th, 2));
    if (!image) continue;
    for (uint64_t r = 0; g.pixels && r < uint64_t(g.height); ++r) {
      for (uint64_t c = 0; c < uint64_t(g.width); ++c) {
        uint8_t value = g.pixels[r * uint64_t(g.width) + c];
        image[(r * tw + c) * 2] = value;
        image[(r * tw + c) * 2 + 1] = value;
      }
    }
    glBindTexture(GL_TEXTURE_2D, textures[i]);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_LUMINANCE_ALPHA, GLsizei(tw), GLsizei(th), 0,
                 GL_LUMINANCE_ALPHA, GL_UNSIGNED_BYTE, image);
    free(image);
  }
  glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
}

void kxFont::SetScale(float s) { scale = s; }

void kxFont::Print(float x, float y, float z, const kxWChar* text) {
  if (!text || !geometry || !textures) return;
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  glEnable(GL_TEXTURE_2D);
  glPushMatrix();
  glTranslatef(x, y, z);
  glScalef(scale, scale, scale);
  for (const kxWChar* p = text; *p; ++p) {
    uint64_t c = *p;
    if (c >= glyphCount) continue;  // no glyph: nothing drawn, pen stays
    kxVertexArray* quad = geometry->GetVertexArray(size_t(c));
    if (!quad || !quad->GetVertexBuffer() || !quad->GetTexCoordBuffer()) continue;
    const TGlyph_s& g = glyphs[c];
    // Negation and difference in 64 bits: the stored integers are arbitrary.
    glTranslatef(float(g.left), 0, 0);
    glTranslatef(0, float(-int64_t(g.top)), 0);
    glBindTexture(GL_TEXTURE_2D, textures[c]);
    glBindBuffer(GL_ARRAY_BUFFER, quad->GetVertexBuffer());
    glVertexPointer(3, GL_FLOAT, 0, nullptr);
    glBindBuffer(GL_ARRAY_BUFFER, quad->GetTexCoordBuffer());
    glTexCoordPointer(2, GL_FLOAT, 0, nullptr);
    glDrawArrays(GL_TRIANGLES, 0, GLsizei(quad->GetVertexArraySize()));
    glTranslatef(0, float(g.top), 0);
    glTranslatef(float(int64_t(g.advance) - int64_t(g.left)), 0, 0);
  }
  glBindBuffer(GL_ARRAY_BUFFER, 0);
  glDisableClientState(GL_VERTEX_ARRAY);
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  glDisable(GL_TEXTURE_2D);
  glPopMatrix();
}

float kxFont::GetWidth(const kxWChar* text) {
  if (!text) return 0;
  float width = 0;
  for (const kxWChar* p = text; *p; ++p) {
    if (*p < glyphCount) width += float(glyphs[*p].advance);
  }
  return width * scale;
}

float kxFont::GetHeight() { return lineHeight * scale; }
