// kxlogogen: renders the engine logo and writes it, as a crunched TGA block,
// into a C++ source that the engine library compiles in.
//
//   kxlogogen [--font FILE.ttf] [--tga FILE.tga] OUTPUT.cpp
//
// The picture is 256 x 64 pixels, 32 bits with straight (not premultiplied)
// alpha on a fully transparent background, since the splash blends it over
// black. The same picture is also rendered at 1.5, 2, 3 and 4 times that
// size (every length scaled, the letters at the same size in em), so that a
// splash on a large screen shows it sharp instead of magnified. The letters
// are rasterised four times larger than the target and box-filtered down,
// which gives soft edges independent of hinting. All the compositing is
// integer arithmetic so that the output is byte-for-byte the same on every
// run and with every compiler; only the font file and the FreeType and zlib
// versions can change it. --tga writes the plain picture to FILE.tga and the
// larger ones beside it (FILE@2x.tga and so on).
//
// Exit status: 0 on success, 1 on a usage error, 2 when the font cannot be
// rendered, 3 when an output file cannot be written.

#include <ft2build.h>
#include FT_FREETYPE_H
#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

const int kSuper = 4;  // supersampling factor per axis
const char* const kDefaultFont = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
const char* const kAccentText = "kx";
const char* const kMainText = "Engine";

// The renderings: the suffix of the name each is registered under, and the
// density in halves (2 is the plain 256 x 64 picture).
struct Density {
  const char* suffix;
  int halves;
};
const Density kDensities[] = {{"", 2}, {"@1.5x", 3}, {"@2x", 4}, {"@3x", 6}, {"@4x", 8}};
const int kDensityCount = static_cast<int>(sizeof kDensities / sizeof kDensities[0]);

// Every length of the picture at one density, rounded down to whole pixels.
struct Geometry {
  int width, height;                // the picture
  int maxInkWidth, maxInkHeight;    // the letters' room
  int bandTop, bandBottom;          // rows the letters are centred in
  int ruleTop, ruleRows, ruleFade;  // the accent rule under them
};

Geometry GeometryAt(int halves) {
  auto at = [halves](int length) { return length * halves / 2; };
  return {at(256), at(64), at(224), at(42), at(3), at(49), at(53), at(2), at(28)};
}

struct Pixel {
  uint8_t r, g, b, a;
  bool operator==(const Pixel& o) const { return r == o.r && g == o.g && b == o.b && a == o.a; }
};

// Coverage (0..255) of one layer at supersampled resolution.
struct Coverage {
  int width = 0, height = 0;
  std::vector<uint8_t> data;
  Coverage(int w, int h) : width(w), height(h), data(static_cast<size_t>(w) * h, 0) {}
  uint8_t& at(int x, int y) { return data[static_cast<size_t>(y) * width + x]; }
};

struct InkBox {
  int x0 = 1 << 30, y0 = 1 << 30, x1 = -1, y1 = -1;  // inclusive
  bool Empty() const { return x1 < x0; }
  void Add(int x, int y) {
    if (x < x0) x0 = x;
    if (y < y0) y0 = y;
    if (x > x1) x1 = x;
    if (y > y1) y1 = y;
  }
};

// Draws `text` with its pen starting at (penX, baseline) in 26.6 units into
// `layer` (which may be null to measure only) and returns the pen's end.
// Ink is added to `ink`.
bool RenderText(FT_Face face, const char* text, long penX, int baseline, Coverage* layer,
                InkBox* ink, long* penEnd) {
  FT_UInt previous = 0;
  for (const char* c = text; *c; ++c) {
    FT_UInt glyph = FT_Get_Char_Index(face, static_cast<FT_ULong>(static_cast<unsigned char>(*c)));
    if (previous && glyph && FT_HAS_KERNING(face)) {
      FT_Vector delta;
      if (FT_Get_Kerning(face, previous, glyph, FT_KERNING_UNFITTED, &delta) == 0) {
        penX += delta.x;
      }
    }
    if (FT_Load_Glyph(face, glyph, FT_LOAD_NO_HINTING | FT_LOAD_RENDER) != 0) return false;
    FT_GlyphSlot slot = face->glyph;
    const FT_Bitmap& bitmap = slot->bitmap;
    if (bitmap.pixel_mode != FT_PIXEL_MODE_GRAY && bitmap.rows > 0) return false;
    int left = static_cast<int>(penX >> 6) + slot->bitmap_left;
    int top = baseline - slot->bitmap_top;
    for (unsigned int row = 0; row < bitmap.rows; ++row) {
      for (unsigned int col = 0; col < bitmap.width; ++col) {
        uint8_t value = bitmap.buffer[static_cast<long>(row) * bitmap.pitch + col];
        if (!value) continue;
        int x = left + static_cast<int>(col);
        int y = top + static_cast<int>(row);
        ink->Add(x, y);
        if (!layer) continue;
        if (x < 0 || y < 0 || x >= layer->width || y >= layer->height) continue;
        uint8_t& dst = layer->at(x, y);
        if (value > dst) dst = value;
      }
    }
    penX += slot->advance.x;
    previous = glyph;
  }
  *penEnd = penX;
  return true;
}

// Straight-alpha "over": (r, g, b) with opacity `alpha` (0..255) onto dst.
void Over(Pixel& dst, int r, int g, int b, int alpha) {
  if (alpha <= 0) return;
  int under = dst.a * (255 - alpha);  // destination weight, scaled by 255
  int total = alpha * 255 + under;    // resulting alpha, scaled by 255
  dst.r = static_cast<uint8_t>((r * alpha * 255 + dst.r * under + total / 2) / total);
  dst.g = static_cast<uint8_t>((g * alpha * 255 + dst.g * under + total / 2) / total);
  dst.b = static_cast<uint8_t>((b * alpha * 255 + dst.b * under + total / 2) / total);
  dst.a = static_cast<uint8_t>((total + 127) / 255);
}

// Integer linear blend of two channel values, t in [0, span].
int Mix(int a, int b, int t, int span) {
  return span <= 0 ? a : a + ((b - a) * t + span / 2) / span;
}

// Box-filters one supersampled layer pixel down to the target resolution.
int Downsample(Coverage& layer, int x, int y) {
  int sum = 0;
  for (int sy = 0; sy < kSuper; ++sy)
    for (int sx = 0; sx < kSuper; ++sx) sum += layer.at(x * kSuper + sx, y * kSuper + sy);
  const int n = kSuper * kSuper;
  return (sum + n / 2) / n;
}

// The letters' size in whole pixels of the plain picture: the largest whose
// ink fits its room. 0 when the font cannot render the name.
int FindPlainSize(FT_Face face) {
  const Geometry g = GeometryAt(2);
  for (int size = 44; size >= 12; --size) {
    if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(size * kSuper)) != 0) return 0;
    InkBox ink;
    long accentEnd = 0, mainEnd = 0;
    if (!RenderText(face, kAccentText, 0, 0, nullptr, &ink, &accentEnd)) return 0;
    if (!RenderText(face, kMainText, accentEnd, 0, nullptr, &ink, &mainEnd)) return 0;
    if (ink.Empty()) return 0;
    int w = (ink.x1 - ink.x0 + 1 + kSuper - 1) / kSuper;
    int h = (ink.y1 - ink.y0 + 1 + kSuper - 1) / kSuper;
    if (w <= g.maxInkWidth && h <= g.maxInkHeight) return size;
  }
  return 0;
}

// The picture at `halves` / 2 times the plain size, into image (row-major,
// top row first, g.width x g.height).
bool RenderLogo(const char* fontPath, int halves, std::vector<Pixel>& image) {
  const Geometry g = GeometryAt(halves);
  FT_Library library;
  if (FT_Init_FreeType(&library) != 0) return false;
  FT_Face face;
  if (FT_New_Face(library, fontPath, 0, &face) != 0) {
    FT_Done_FreeType(library);
    return false;
  }

  // The plain picture's letter size, scaled: every rendering shows the same
  // letters. The supersampled pixel size is whole at every density.
  const int size = FindPlainSize(face);
  InkBox ink;
  long accentEnd = 0, mainEnd = 0;
  bool ok = size > 0 &&
            FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(size * kSuper * halves / 2)) == 0 &&
            RenderText(face, kAccentText, 0, 0, nullptr, &ink, &accentEnd) &&
            RenderText(face, kMainText, accentEnd, 0, nullptr, &ink, &mainEnd) && !ink.Empty();
  if (!ok) {
    FT_Done_Face(face);
    FT_Done_FreeType(library);
    return false;
  }

  // Place the ink: centred horizontally, centred vertically in the band above
  // the accent rule (rows 3 to 49), both on whole target pixels so that the
  // box filter sees the same phase wherever the ink lands.
  int inkW = ink.x1 - ink.x0 + 1, inkH = ink.y1 - ink.y0 + 1;
  int targetX = ((g.width * kSuper - inkW) / 2) / kSuper * kSuper;
  int targetY = ((g.bandTop + g.bandBottom + 1) * kSuper - inkH) / 2 / kSuper * kSuper;
  long shiftX = static_cast<long>(targetX - ink.x0) * 64;
  int baseline = targetY - ink.y0;

  Coverage accent(g.width * kSuper, g.height * kSuper), main(g.width * kSuper, g.height * kSuper);
  InkBox placed;
  long end = 0;
  ok = RenderText(face, kAccentText, shiftX, baseline, &accent, &placed, &end) &&
       RenderText(face, kMainText, end, baseline, &main, &placed, &end);
  FT_Done_Face(face);
  FT_Done_FreeType(library);
  if (!ok) return false;

  int top = placed.y0 / kSuper, bottom = placed.y1 / kSuper;
  int left = placed.x0 / kSuper, right = placed.x1 / kSuper;
  image.assign(static_cast<size_t>(g.width) * g.height, Pixel{0, 0, 0, 0});

  // Accent rule under the name: two rows, fading in and out over 28 pixels
  // (of the plain picture).
  for (int y = g.ruleTop; y < g.ruleTop + g.ruleRows; ++y) {
    for (int x = left; x <= right; ++x) {
      int edge = x - left < right - x ? x - left : right - x;
      int alpha = edge >= g.ruleFade ? 235 : Mix(0, 235, edge, g.ruleFade);
      int r = Mix(255, 214, x - left, right - left);
      int gr = Mix(168, 92, x - left, right - left);
      int b = Mix(40, 22, x - left, right - left);
      Over(image[static_cast<size_t>(y) * g.width + x], r, gr, b, alpha);
    }
  }

  // Letters: a vertical gradient over the ink height, amber for the prefix
  // and white to cool silver for the rest.
  for (int y = 0; y < g.height; ++y) {
    int t = y < top ? 0 : (y > bottom ? bottom - top : y - top);
    int span = bottom - top;
    for (int x = 0; x < g.width; ++x) {
      Pixel& dst = image[static_cast<size_t>(y) * g.width + x];
      int m = Downsample(main, x, y);
      if (m) Over(dst, Mix(255, 172, t, span), Mix(255, 186, t, span), Mix(255, 206, t, span), m);
      int a = Downsample(accent, x, y);
      if (a) Over(dst, Mix(255, 236, t, span), Mix(206, 112, t, span), Mix(84, 18, t, span), a);
    }
  }
  return true;
}

void Put16(std::vector<uint8_t>& out, int value) {
  out.push_back(static_cast<uint8_t>(value & 0xff));
  out.push_back(static_cast<uint8_t>((value >> 8) & 0xff));
}

void PutPixel(std::vector<uint8_t>& out, const Pixel& p) {
  out.push_back(p.b);
  out.push_back(p.g);
  out.push_back(p.r);
  out.push_back(p.a);
}

// Type 10 (run-length true-colour), 32 bits, bottom-up rows (descriptor 0x08:
// 8 alpha bits, origin bottom-left), packets never crossing a row, then the
// TGA 2.0 footer without extension or developer areas.
std::vector<uint8_t> EncodeTGA(const std::vector<Pixel>& image, int width, int height) {
  std::vector<uint8_t> out;
  const uint8_t head[12] = {0, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  out.insert(out.end(), head, head + 12);
  Put16(out, width);
  Put16(out, height);
  out.push_back(32);
  out.push_back(0x08);
  for (int y = height - 1; y >= 0; --y) {
    const Pixel* row = &image[static_cast<size_t>(y) * width];
    int i = 0;
    while (i < width) {
      int run = 1;
      while (i + run < width && run < 128 && row[i + run] == row[i]) ++run;
      if (run >= 2) {
        out.push_back(static_cast<uint8_t>(0x80 | (run - 1)));
        PutPixel(out, row[i]);
        i += run;
        continue;
      }
      int start = i, count = 0;
      while (i < width && count < 128) {
        if (i + 1 < width && row[i + 1] == row[i]) break;
        ++i;
        ++count;
      }
      out.push_back(static_cast<uint8_t>(count - 1));
      for (int k = start; k < start + count; ++k) PutPixel(out, row[k]);
    }
  }
  for (int k = 0; k < 8; ++k) out.push_back(0);  // extension and developer offsets
  const char signature[] = "TRUEVISION-XFILE.";
  out.insert(out.end(), signature, signature + sizeof(signature));  // with its NUL
  return out;
}

// 4-byte little-endian size, then one zlib stream at level 9.
bool Crunch(const std::vector<uint8_t>& in, std::vector<uint8_t>& out) {
  uLongf bound = compressBound(static_cast<uLong>(in.size()));
  std::vector<uint8_t> packed(bound);
  if (compress2(packed.data(), &bound, in.data(), static_cast<uLong>(in.size()), 9) != Z_OK) {
    return false;
  }
  uint32_t n = static_cast<uint32_t>(in.size());
  out = {static_cast<uint8_t>(n), static_cast<uint8_t>(n >> 8), static_cast<uint8_t>(n >> 16),
         static_cast<uint8_t>(n >> 24)};
  out.insert(out.end(), packed.begin(), packed.begin() + static_cast<long>(bound));
  return true;
}

// One rendering, ready to write: its crunched block and its TGA's size.
struct Rendering {
  std::vector<uint8_t> tga, block;
};

void AppendBytes(std::string& s, const std::vector<uint8_t>& block) {
  char line[16];
  for (size_t i = 0; i < block.size(); i += 16) {
    s += "   ";
    for (size_t k = i; k < i + 16 && k < block.size(); ++k) {
      std::snprintf(line, sizeof line, " 0x%02x,", block[k]);
      s += line;
    }
    s += "\n";
  }
}

std::string SourceText(const std::vector<Rendering>& renderings) {
  std::string s;
  char line[160];
  s += "// Generated by tools/kxlogogen (\"kxlogogen engine/gui/kxEngineLogoData.cpp\"\n";
  s += "// from the repository root); do not edit. The tool renders the name in\n";
  s += "// DejaVu Sans Bold with FreeType at four times the size, box-filters it down,\n";
  s += "// encodes a 256 x 64, 32-bit, run-length, bottom-up TGA with the 2.0 footer\n";
  std::snprintf(line, sizeof line,
                "// (%zu bytes) and crunches it: 4-byte size, zlib level 9 (%zu bytes).\n",
                renderings[0].tga.size(), renderings[0].block.size());
  s += line;
  s += "// The same picture follows at larger densities, each its own crunched TGA:\n";
  for (int d = 1; d < kDensityCount; ++d) {
    const Geometry g = GeometryAt(kDensities[d].halves);
    std::snprintf(line, sizeof line, "// %s %d x %d (%zu bytes, crunched %zu).\n",
                  kDensities[d].suffix, g.width, g.height, renderings[d].tga.size(),
                  renderings[d].block.size());
    s += line;
  }
  s += "#include \"gui/kxEngineLogoData.h\"\n\n";
  s += "const unsigned char kxEngineLogoData[] = {\n";
  AppendBytes(s, renderings[0].block);
  s += "};\n\n";
  s += "const size_t kxEngineLogoDataSize = sizeof(kxEngineLogoData);\n";
  // The larger renderings back to back in one array, each from a new line;
  // the table says where each begins and how long it is.
  s += "\nstatic const unsigned char kRenderings[] = {\n";
  for (int d = 1; d < kDensityCount; ++d) AppendBytes(s, renderings[d].block);
  s += "};\n";
  s += "\nconst kxEngineLogoRendering_s kxEngineLogoRenderings[] = {\n";
  size_t offset = 0;
  for (int d = 1; d < kDensityCount; ++d) {
    std::snprintf(line, sizeof line, "    {\"%s\", %d.%df, kRenderings + %zu, %zu},\n",
                  kDensities[d].suffix, kDensities[d].halves / 2, kDensities[d].halves % 2 * 5,
                  offset, renderings[d].block.size());
    s += line;
    offset += renderings[d].block.size();
  }
  s += "};\n\n";
  s += "const int kxEngineLogoRenderingCount =\n";
  s += "    int(sizeof(kxEngineLogoRenderings) / sizeof(kxEngineLogoRenderings[0]));\n";
  return s;
}

// FILE.tga with a density's suffix before the extension: FILE@2x.tga.
std::string WithSuffix(const std::string& path, const char* suffix) {
  const size_t dot = path.rfind('.');
  const size_t slash = path.rfind('/');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return path + suffix;
  return path.substr(0, dot) + suffix + path.substr(dot);
}

bool WriteFile(const char* path, const void* data, size_t size) {
  FILE* f = std::fopen(path, "wb");
  if (!f) return false;
  bool ok = std::fwrite(data, 1, size, f) == size;
  ok = std::fclose(f) == 0 && ok;
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  const char* font = kDefaultFont;
  const char* tgaPath = nullptr;
  const char* output = nullptr;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--font") == 0 && i + 1 < argc) {
      font = argv[++i];
    } else if (std::strcmp(argv[i], "--tga") == 0 && i + 1 < argc) {
      tgaPath = argv[++i];
    } else if (!output && argv[i][0] != '-') {
      output = argv[i];
    } else {
      output = nullptr;
      break;
    }
  }
  if (!output) {
    std::fprintf(stderr, "usage: kxlogogen [--font FILE.ttf] [--tga FILE.tga] OUTPUT.cpp\n");
    return 1;
  }
  std::vector<Rendering> renderings(kDensityCount);
  for (int d = 0; d < kDensityCount; ++d) {
    std::vector<Pixel> image;
    if (!RenderLogo(font, kDensities[d].halves, image)) {
      std::fprintf(stderr, "kxlogogen: cannot render the logo with %s\n", font);
      return 2;
    }
    const Geometry g = GeometryAt(kDensities[d].halves);
    renderings[d].tga = EncodeTGA(image, g.width, g.height);
    if (!Crunch(renderings[d].tga, renderings[d].block)) {
      std::fprintf(stderr, "kxlogogen: compression failed\n");
      return 3;
    }
  }
  for (int d = 0; tgaPath && d < kDensityCount; ++d) {
    const std::string path = WithSuffix(tgaPath, kDensities[d].suffix);
    if (!WriteFile(path.c_str(), renderings[d].tga.data(), renderings[d].tga.size())) {
      std::fprintf(stderr, "kxlogogen: cannot write %s\n", path.c_str());
      return 3;
    }
  }
  std::string source = SourceText(renderings);
  if (!WriteFile(output, source.data(), source.size())) {
    std::fprintf(stderr, "kxlogogen: cannot write %s\n", output);
    return 3;
  }
  return 0;
}
