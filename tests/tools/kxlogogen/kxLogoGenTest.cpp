// The logo generator: its output must be the committed engine source, and
// the picture inside must be the TGA the splash expects.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "data/kxMemoryBlock.h"

namespace {

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::string text = ReadText(path);
  return std::vector<uint8_t>(text.begin(), text.end());
}

// Runs the generator with `args` and returns its exit status.
int RunGenerator(const std::string& args) {
  std::string command = "\"" + Env("KX_BIN_DIR") + "/kxlogogen\" " + args + " 2>/dev/null";
  int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

struct Pixel {
  uint8_t r, g, b, a;
};

// Independent decoder for the generator's TGA: checks every structural rule
// on the way and fails the test on the first broken one.
struct DecodedLogo {
  int width = 0, height = 0;
  std::vector<Pixel> topDown;  // row 0 = top of the picture
  size_t pixelBytes = 0;       // bytes between header and footer
};

void DecodeLogo(const std::vector<uint8_t>& tga, DecodedLogo* out) {
  ASSERT_GT(tga.size(), 18u + 26u);
  const uint8_t head[12] = {0, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  ASSERT_EQ(0, std::memcmp(tga.data(), head, 12)) << "type 10, no id, no colour map, origin 0";
  out->width = tga[12] | tga[13] << 8;
  out->height = tga[14] | tga[15] << 8;
  ASSERT_EQ(256, out->width);
  ASSERT_EQ(64, out->height);
  ASSERT_EQ(32, tga[16]);
  ASSERT_EQ(0x08, tga[17]) << "8 alpha bits, bottom-up rows";

  const size_t footer = tga.size() - 26;
  for (int i = 0; i < 8; ++i) EXPECT_EQ(0, tga[footer + i]) << "no extension or developer area";
  EXPECT_EQ(0, std::memcmp(&tga[footer + 8], "TRUEVISION-XFILE.", 18)) << "signature with NUL";

  std::vector<Pixel> bottomUp;
  size_t pos = 18;
  for (int row = 0; row < out->height; ++row) {
    int x = 0;
    while (x < out->width) {
      ASSERT_LT(pos, footer) << "pixel data runs into the footer";
      uint8_t h = tga[pos++];
      int n = (h & 0x7f) + 1;
      ASSERT_LE(x + n, out->width) << "packet crosses a row at row " << row;
      int stored = (h & 0x80) ? 1 : n;
      ASSERT_LE(pos + stored * 4u, footer);
      for (int k = 0; k < n; ++k) {
        const uint8_t* p = &tga[pos + ((h & 0x80) ? 0 : k * 4)];
        bottomUp.push_back(Pixel{p[2], p[1], p[0], p[3]});
      }
      pos += stored * 4u;
      x += n;
    }
  }
  ASSERT_EQ(footer, pos) << "bytes left between the pixels and the footer";
  out->pixelBytes = pos - 18;
  out->topDown.resize(bottomUp.size());
  for (int y = 0; y < out->height; ++y)
    for (int x = 0; x < out->width; ++x)
      out->topDown[y * out->width + x] = bottomUp[(out->height - 1 - y) * out->width + x];
}

// Bytes of the array initialiser in a generated source.
std::vector<uint8_t> ParseArray(const std::string& source) {
  std::vector<uint8_t> bytes;
  size_t open = source.find("kxEngineLogoData[] = {");
  size_t close = source.find("};", open);
  if (open == std::string::npos || close == std::string::npos) return bytes;
  for (size_t p = source.find("0x", open); p != std::string::npos && p < close;
       p = source.find("0x", p + 2)) {
    bytes.push_back(static_cast<uint8_t>(std::strtoul(source.substr(p, 4).c_str(), nullptr, 16)));
  }
  return bytes;
}

class LogoGenerator : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir = Env("KX_BIN_DIR") + "/logogen-test";
    std::system(("mkdir -p \"" + dir + "\"").c_str());
    status = RunGenerator("--tga \"" + dir + "/logo.tga\" \"" + dir + "/logo.cpp\"");
  }
  static std::string dir;
  static int status;
};
std::string LogoGenerator::dir;
int LogoGenerator::status = -1;

TEST_F(LogoGenerator, OutputIsTheCommittedEngineSourceByteForByte) {
  ASSERT_EQ(0, status);
  std::string generated = ReadText(dir + "/logo.cpp");
  std::string committed = ReadText(Env("KX_SOURCE_DIR") + "/engine/frame/kxEngineLogoData.cpp");
  ASSERT_FALSE(committed.empty());
  EXPECT_TRUE(generated == committed)
      << "engine/frame/kxEngineLogoData.cpp is not what tools/kxlogogen makes; regenerate it";
  // A second run gives the same bytes again.
  ASSERT_EQ(0, RunGenerator("\"" + dir + "/again.cpp\""));
  EXPECT_TRUE(ReadText(dir + "/again.cpp") == generated);
}

TEST_F(LogoGenerator, ArrayIsTheCrunchedPicture) {
  ASSERT_EQ(0, status);
  std::vector<uint8_t> tga = ReadBytes(dir + "/logo.tga");
  std::vector<uint8_t> crunched = ParseArray(ReadText(dir + "/logo.cpp"));
  ASSERT_GT(crunched.size(), 6u);
  uint32_t stored = crunched[0] | crunched[1] << 8 | crunched[2] << 16 |
                    static_cast<uint32_t>(crunched[3]) << 24;
  EXPECT_EQ(tga.size(), stored);
  EXPECT_EQ(0x78, crunched[4]) << "zlib stream header";
  EXPECT_EQ(0xDA, crunched[5]) << "zlib header of the strongest level";

  kxMemoryBlock block{crunched.data(), crunched.size()};
  kxMemoryBlock* expanded = kxDecrunchMemoryBlock(&block);
  ASSERT_NE(nullptr, expanded);
  ASSERT_EQ(tga.size(), expanded->size);
  EXPECT_EQ(0, std::memcmp(expanded->data, tga.data(), tga.size()));
  kxFreeMemoryBlock(expanded);
}

TEST_F(LogoGenerator, PictureIsAWellFormedRunLengthTGA) {
  ASSERT_EQ(0, status);
  DecodedLogo logo;
  DecodeLogo(ReadBytes(dir + "/logo.tga"), &logo);
  if (HasFatalFailure()) return;
  // Run-length coding must pay off on a mostly transparent picture.
  EXPECT_LT(logo.pixelBytes, 256u * 64u * 4u / 2u);
}

TEST_F(LogoGenerator, PictureShowsBrightSoftEdgedLettersOnTransparency) {
  ASSERT_EQ(0, status);
  DecodedLogo logo;
  DecodeLogo(ReadBytes(dir + "/logo.tga"), &logo);
  if (HasFatalFailure()) return;

  int opaque = 0, partial = 0, brightOpaque = 0, coloured = 0;
  int left = 256, right = -1, top = 64, bottom = -1;
  for (int y = 0; y < 64; ++y) {
    for (int x = 0; x < 256; ++x) {
      const Pixel& p = logo.topDown[y * 256 + x];
      if (p.a == 0) {
        EXPECT_EQ(0, p.r | p.g | p.b) << "transparent pixel with colour at " << x << "," << y;
        continue;
      }
      if (x < left) left = x;
      if (x > right) right = x;
      if (y < top) top = y;
      if (y > bottom) bottom = y;
      if (p.a == 255) {
        ++opaque;
        if (p.r + p.g + p.b > 3 * 160) ++brightOpaque;
        if (p.r - p.b > 120) ++coloured;
      } else {
        ++partial;
      }
    }
  }
  // Corners and borders stay clear, the name sits in the middle.
  EXPECT_EQ(0, logo.topDown[0].a);
  EXPECT_EQ(0, logo.topDown[255].a);
  EXPECT_EQ(0, logo.topDown[63 * 256].a);
  EXPECT_EQ(0, logo.topDown[63 * 256 + 255].a);
  EXPECT_GE(left, 8);
  EXPECT_LE(right, 247);
  EXPECT_GE(top, 1);
  EXPECT_LE(bottom, 62);
  EXPECT_LE(std::abs(left - (255 - right)), 2) << "not centred: " << left << ".." << right;
  // Readable letters: a solid body, bright over black, with an accent colour
  // and anti-aliased edges.
  EXPECT_GT(opaque, 1500);
  EXPECT_GT(brightOpaque, opaque / 2);
  EXPECT_GT(coloured, 200);
  EXPECT_GT(partial, 400);
}

TEST_F(LogoGenerator, ReportsBadUsageFontsAndOutputs) {
  EXPECT_EQ(1, RunGenerator(""));
  EXPECT_EQ(1, RunGenerator("--bogus out.cpp"));
  EXPECT_EQ(2, RunGenerator("--font /nonexistent/font.ttf \"" + dir + "/x.cpp\""));
  // A file that is not a font.
  EXPECT_EQ(2, RunGenerator("--font \"" + Env("KX_SOURCE_DIR") + "/README.md\" \"" + dir +
                            "/x.cpp\""));
  EXPECT_EQ(3, RunGenerator("\"" + dir + "/no/such/dir/x.cpp\""));
}

}  // namespace
