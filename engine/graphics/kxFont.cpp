#include "graphics/kxFont.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "data/kxAlloc.h"
#include "data/kxExpanded.h"
#include "data/kxMemoryBlock.h"
#include "data/kxStdioFile.h"
#include "graphics/kxFontReader.h"
#include "graphics/kxGeometry.h"
#include "graphics/kxScreen.h"
#include "graphics/kxVertexArray.h"
#include "render/kxRenderer.h"

namespace {

uint64_t PowerOfTwoAtLeast(int32_t n) {
  uint64_t p = 1;
  while (p < uint64_t(n < 0 ? 0 : n)) p *= 2;
  return p;
}

// A glyph's two triangles, filled in one step: a shortage of memory shows
// as a failure rather than as a quad missing some of its corners.
class GlyphQuad : public kxVertexArray {
 public:
  GlyphQuad() : kxVertexArray(pmTriangles) {}

  bool Fill(const float (*corners)[3], const float (*coords)[2]) {
    vertices = static_cast<float(*)[3]>(kxMalloc(6 * sizeof *vertices));
    texCoords = static_cast<float(*)[2]>(kxMalloc(6 * sizeof *texCoords));
    if (!vertices || !texCoords) {
      Clear();
      return false;
    }
    memcpy(vertices, corners, 6 * sizeof *vertices);
    memcpy(texCoords, coords, 6 * sizeof *texCoords);
    vertexCount = texCoordCount = 6;
    CreateVBO();
    return true;
  }
};

// The quad that draws character c, or null when there is none to draw: no
// glyph, one appended since the last load, or a quad without its buffers.
// Such a character draws nothing and leaves the pen where it is.
kxVertexArray* DrawableQuad(kxGeometry* geometry, uint64_t glyphCount, uint64_t textureCount,
                            uint64_t c) {
  if (c >= glyphCount || c >= textureCount) return nullptr;
  kxVertexArray* quad = geometry->GetVertexArray(size_t(c));
  if (!quad || !quad->GetVertexBuffer() || !quad->GetTexCoordBuffer()) return nullptr;
  return quad;
}

// Draws a glyph's quad with its texture at the current matrix.
void DrawQuad(kxRenderer* r, kxVertexArray* quad, unsigned int texture) {
  r->BindTexture(texture);
  const kxDrawBuffers_s buffers{quad->GetVertexBuffer(), 0, quad->GetTexCoordBuffer(), 0};
  r->DrawArrays(pmTriangles, buffers, 0, int(quad->GetVertexArraySize()));
}

}  // namespace

kxFont::kxFont(TFontType type)
    : glyphs(nullptr),
      glyphCount(0),
      geometry(nullptr),
      textures(nullptr),
      scale(1.0f),
      type(type),
      lineHeight(0),
      textureCount(0),
      variants{},
      densities{},
      variantCount(0) {}

kxFont::~kxFont() {
  for (int i = 0; i < variantCount; ++i) delete variants[i];
  variantCount = 0;
  delete geometry;
  geometry = nullptr;
  FreeTextures();
  FreeGlyphs();
}

void kxFont::FreeGlyphs() {
  kxFreeFontGlyphs(glyphs, glyphCount);
  glyphs = nullptr;
  glyphCount = 0;
}

void kxFont::FreeTextures() {
  if (textures && textureCount) kxGetRenderer()->DeleteTextures(int(textureCount), textures);
  free(textures);
  textures = nullptr;
  textureCount = 0;
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
  // An empty entry, or bytes of some other kind read as records, give no
  // glyph with any coverage: text drawn with it would be invisible.
  bool drawable = false;
  for (uint64_t i = 0; i < count && !drawable; ++i) drawable = read[i].pixels != nullptr;
  if (!drawable) {
    kxFreeFontGlyphs(read, count);
    return false;
  }
  TGlyph_s* previous = glyphs;
  uint64_t previousCount = glyphCount;
  glyphs = read;
  glyphCount = count;
  if (!InitFontGeometry()) {
    glyphs = previous;
    glyphCount = previousCount;
    kxFreeFontGlyphs(read, count);
    return false;
  }
  kxFreeFontGlyphs(previous, previousCount);
  return true;
}

bool kxFont::LoadFromCrunchedMemoryBlock(kxMemoryBlock* block) {
  return kxUseExpanded(block, false, [this](kxMemoryBlock* file) { return LoadFromMemory(file); });
}

bool kxFont::LoadFromFile(const char* fileName) {
  kxMemoryBlock* file = kxReadStdioFile(fileName);
  if (!file) return false;
  bool loaded = LoadFromMemory(file);
  kxFreeMemoryBlock(file);
  return loaded;
}

bool kxFont::InitFontGeometry() {
  // Everything is built aside and installed only when all of it was made,
  // so a failure leaves the font drawing what it drew before.
  kxGeometry* quads = new (std::nothrow) kxGeometry();
  unsigned int* names =
      glyphCount ? static_cast<unsigned int*>(kxCalloc(glyphCount, sizeof *names)) : nullptr;
  bool complete = quads && (names || !glyphCount);
  kxRenderer* renderer = kxGetRenderer();
  const int largest = renderer->GetMaxTextureSize();
  float height = 0;
  for (uint64_t i = 0; i < glyphCount && complete; ++i) {
    const TGlyph_s& g = glyphs[i];
    uint64_t tw = PowerOfTwoAtLeast(g.width), th = PowerOfTwoAtLeast(g.height);
    float u = float(g.width) / float(tw), v = float(g.height) / float(th);
    if (float(g.top) > height) height = float(g.height);
    complete = AppendGlyphQuad(quads, float(g.width), float(g.height), u, v);
    // A glyph without pixels, or one larger than the context can hold, gets
    // a single empty texel: its size is not bounded by the file, and a
    // texture name without an image would sample as undefined.
    const bool blank = !g.pixels || tw > uint64_t(largest) || th > uint64_t(largest);
    if (blank) tw = th = 1;
    uint8_t* image = complete ? static_cast<uint8_t*>(kxCalloc(tw * th, 2)) : nullptr;
    if (!image) {
      complete = false;
      break;
    }
    for (uint64_t r = 0; !blank && r < uint64_t(g.height); ++r) {
      for (uint64_t c = 0; c < uint64_t(g.width); ++c) {
        uint8_t value = g.pixels[r * uint64_t(g.width) + c];
        image[(r * tw + c) * 2] = value;
        image[(r * tw + c) * 2 + 1] = value;
      }
    }
    // Each glyph is its own texture, drawn once: under the default repeat
    // wrap a glyph at a fractional position blends its opposite edge into
    // the first row and column ("L" grows a bar on top).
    // Without a context no name is made; the glyph then draws as nothing.
    // With one, no name means the renderer ran out of memory: the load fails
    // rather than leave a glyph invisible.
    names[i] = renderer->CreateTexture(int(tw), int(th), pfLuminanceAlpha, image, true);
    free(image);
    if (!names[i] && renderer->HasBuffers()) complete = false;
  }
  if (!complete) {
    delete quads;
    if (names) renderer->DeleteTextures(int(glyphCount), names);
    free(names);
    return false;
  }
  delete geometry;
  FreeTextures();
  geometry = quads;
  textures = names;
  textureCount = glyphCount;
  lineHeight = height;
  return true;
}

bool kxFont::AppendGlyphQuad(kxGeometry* quads, float w, float h, float u, float v) {
  const float corners[6][3] = {{w, 0, 0}, {0, 0, 0}, {0, h, 0}, {0, h, 0}, {w, h, 0}, {w, 0, 0}};
  const float topDown[6][2] = {{u, 0}, {0, 0}, {0, v}, {0, v}, {u, v}, {u, 0}};
  const float bottomUp[6][2] = {{u, v}, {0, v}, {0, 0}, {0, 0}, {u, 0}, {u, v}};
  GlyphQuad* quad = new (std::nothrow) GlyphQuad();
  if (!quad || !quad->Fill(corners, type != ftBottomUp ? topDown : bottomUp)) {
    delete quad;
    return false;
  }
  const size_t before = quads->Length();
  quads->AppendVertexArray(quad);
  if (quads->Length() == before) {
    delete quad;
    return false;
  }
  return true;
}

void kxFont::SetScale(float s) {
  scale = s;
}

bool kxFont::AppendVariant(kxFont* variant, float density) {
  if (!variant) return false;
  if (variant == this || variantCount >= kMaxVariants || !(density > 1.0f) ||
      !std::isfinite(density) || variant->variantCount != 0) {
    if (variant != this) delete variant;
    return false;
  }
  variants[variantCount] = variant;
  densities[variantCount] = density;
  ++variantCount;
  return true;
}

int kxFont::GetVariantCount() const {
  return variantCount;
}

kxFont* kxFont::VariantFor(float m, float* density) {
  if (variantCount == 0 || !(m > 1.0f) || !std::isfinite(m)) return nullptr;
  // Nearest by ratio, so that 1.5x from 1 and from 2 weigh the same.
  kxFont* best = nullptr;
  float bestDensity = 1.0f;
  float bestError = std::fabs(std::log(m));
  for (int i = 0; i < variantCount; ++i) {
    float error = std::fabs(std::log(m / densities[i]));
    if (error < bestError) {
      best = variants[i];
      bestDensity = densities[i];
      bestError = error;
    }
  }
  *density = bestDensity;
  return best;
}

void kxFont::PrintOnPixels(float x, float y, float z, const kxWChar* text, float k, float m) {
  if (!text || !geometry || !textures) return;
  auto onPixel = [m](double v) { return float(std::floor(v * m + 0.5) / m); };
  kxRenderer* r = kxGetRenderer();
  r->Enable(rsTexture);
  double pen = x;
  for (const kxWChar* p = text; *p; ++p) {
    const uint64_t c = *p;
    kxVertexArray* quad = DrawableQuad(geometry, glyphCount, textureCount, c);
    if (!quad) continue;
    const TGlyph_s& g = glyphs[c];
    r->PushMatrix();
    // The quad's corner on a whole window pixel keeps one texel on one pixel.
    r->Translate(onPixel(pen + double(g.left) * k), onPixel(double(y) - double(g.top) * k), z);
    r->Scale(k, k, k);
    DrawQuad(r, quad, textures[c]);
    r->PopMatrix();
    pen += double(g.advance) * k;
  }
  r->Disable(rsTexture);
}

void kxFont::Print(float x, float y, float z, const kxWChar* text) {
  if (!text) return;
  const float magnification = kxGetGUIScale() * scale;
  float density = 1.0f;
  kxFont* variant = VariantFor(magnification, &density);
  if (variant) {
    variant->PrintOnPixels(x, y, z, text, scale / density, kxGetGUIScale());
    return;
  }
  if (!geometry || !textures) return;
  kxRenderer* r = kxGetRenderer();
  r->Enable(rsTexture);
  r->PushMatrix();
  r->Translate(x, y, z);
  r->Scale(scale, scale, scale);
  for (const kxWChar* p = text; *p; ++p) {
    const uint64_t c = *p;
    kxVertexArray* quad = DrawableQuad(geometry, glyphCount, textureCount, c);
    if (!quad) continue;
    const TGlyph_s& g = glyphs[c];
    // Negation and difference in 64 bits: the stored integers are arbitrary.
    r->Translate(float(g.left), 0, 0);
    r->Translate(0, float(-int64_t(g.top)), 0);
    DrawQuad(r, quad, textures[c]);
    r->Translate(0, float(g.top), 0);
    r->Translate(float(int64_t(g.advance) - int64_t(g.left)), 0, 0);
  }
  r->Disable(rsTexture);
  r->PopMatrix();
}

float kxFont::GetWidth(const kxWChar* text) {
  if (!text) return 0;
  float width = 0;
  for (const kxWChar* p = text; *p; ++p) {
    if (*p < glyphCount) width += float(glyphs[*p].advance);
  }
  return width * scale;
}

float kxFont::GetHeight() {
  return lineHeight * scale;
}
