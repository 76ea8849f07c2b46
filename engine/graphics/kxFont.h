/// \file
/// Declares kxFont.

/// \class kxFont
/// kxFont: draws wide text with pre-rendered 8-bit glyph bitmaps; glyph i
/// draws character i. Each loaded glyph gets its own luminance-alpha texture
/// and two-triangle vertex array.
///
/// Ownership: the font owns its glyph records and their bitmaps, its textures
/// and its geometry. AppendGlyph copies the caller's bitmap.
#pragma once

#include "kxExport.h"
#include "kxTypes.h"

struct kxMemoryBlock;
class kxGeometry;

/// Which way a font's glyph bitmaps are stored.
enum TFontType : int32_t {
  ftBottomUp = 0,  ///< first stored bitmap row at the quad edge y = height
  ftTopDown = 1,   ///< first stored bitmap row at the quad edge y = 0
};

/// One character of a font: its coverage bitmap and placement.
struct TGlyph_s {
  uint8_t* pixels;  ///< width x height coverage bytes, rows first to last
  int32_t width;    ///< bitmap width in pixels
  int32_t height;   ///< bitmap height in pixels
  int32_t advance;  ///< pen movement after the glyph
  int32_t top;      ///< quad drawn from y = -top
  int32_t left;     ///< horizontal offset from the pen
};

class KX_API kxFont {
 public:
  KX_NO_COPY(kxFont);

  /// An empty font (no glyphs, scale 1) whose bitmaps are stored as `type` says.
  explicit kxFont(TFontType type = ftBottomUp);
  ~kxFont();

  /// Adds a copy of the glyph (bitmap included) as the next character code.
  /// A glyph with a negative size, or with a size but no pixels, is ignored.
  void AppendGlyph(TGlyph_s* glyph);
  /// New malloc'ed font file owned by the caller, size stored through `size`;
  /// null and size 0 for a font without glyphs.
  [[nodiscard]] uint8_t* SaveToMemory(uint64_t* size);
  /// False for a font without glyphs or when the file cannot be written.
  [[nodiscard]] bool SaveToFile(const char* fileName);

  /// Replace every glyph with the block's records and rebuild textures and
  /// geometry (needs a current context). Loading stops before a record that
  /// runs past the end or has a negative width or height; the records before
  /// it are kept. A glyph larger than the renderer's largest texture draws as nothing.
  /// False, with the font unchanged, for a null block, for records among
  /// which no glyph has a bitmap (an empty block, or bytes of another kind),
  /// and when memory runs out.
  [[nodiscard]] bool LoadFromMemory(kxMemoryBlock* block);
  /// As LoadFromMemory; also false when the block does not expand.
  [[nodiscard]] bool LoadFromCrunchedMemoryBlock(kxMemoryBlock* block);
  /// As LoadFromMemory; also false when the file cannot be read whole.
  [[nodiscard]] bool LoadFromFile(const char* fileName);

  /// Multiplies every glyph's size and advance when printing and measuring.
  void SetScale(float s);
  /// A sharper rendering of the same face for magnified drawing: `variant`
  /// holds the same characters rendered at `density` times this font's pixel
  /// size (density above 1, at most kMaxVariants variants). The font takes
  /// ownership (also when it refuses: false, variant deleted). Measuring
  /// stays with this font, so layouts do not change; Print draws with the
  /// glyphs whose density is nearest to the magnification (the GUI scale,
  /// kxGetGUIScale, times this font's scale), shrunk by that density, each
  /// glyph placed on whole window pixels.
  static const int kMaxVariants = 4;
  /// See kMaxVariants.
  bool AppendVariant(kxFont* variant, float density);
  /// The number of variants appended.
  int GetVariantCount() const;
  /// Draws text with the pen starting at (x, y, z). Characters without a
  /// glyph are skipped (no pen movement); null text draws nothing.
  void Print(float x, float y, float z, const kxWChar* text);
  /// Sum of the advances times the scale; characters without a glyph add
  /// nothing; null text gives 0.
  float GetWidth(const kxWChar* text);
  /// The line height times the scale.
  float GetHeight();

 private:
  void FreeGlyphs();
  // Builds textures and quads for the glyphs held and installs them; false,
  // with the previous ones kept, when memory runs out.
  bool InitFontGeometry();
  bool AppendGlyphQuad(kxGeometry* quads, float w, float h, float u, float v);
  void FreeTextures();
  // The variant to draw with at magnification m, with its density; null
  // (the font itself) when m is not above 1 or nothing is nearer.
  kxFont* VariantFor(float m, float* density);
  // Print with every glyph scaled by k and its quad's corner rounded to a
  // whole pixel under the magnification m of logical to window pixels.
  void PrintOnPixels(float x, float y, float z, const kxWChar* text, float k, float m);

 protected:
  /// \privatesection
  TGlyph_s* glyphs;
  uint64_t glyphCount;
  kxGeometry* geometry;
  unsigned int* textures;
  float scale;
  TFontType type;
  float lineHeight;
  /// Names in `textures` made by the renderer (the glyph count of the last
  /// load; glyphs appended since have none).
  uint64_t textureCount;
  kxFont* variants[kMaxVariants];
  float densities[kMaxVariants];
  int variantCount;
};
