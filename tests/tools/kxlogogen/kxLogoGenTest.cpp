// The logo generator: its output must be the committed engine source, and
// the picture inside must be the TGA the splash expects.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "data/kxMemoryBlock.h"

namespace {

using Bytes = std::vector<uint8_t>;

std::string Env(const char* name) {
  return std::getenv(name) ? std::getenv(name) : "";
}

template <typename T = std::string>
T Read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  const std::string text{std::istreambuf_iterator<char>(in), {}};
  return T(text.begin(), text.end());
}

int RunGenerator(const std::string& args) {
  const int status =
      std::system(("\"" + Env("KX_BIN_DIR") + "/kxlogogen\" " + args + " 2>/dev/null").c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The scratch folder of this process, removed when the process ends (the
// cases of one process share it).
struct Scratch {
  const std::string dir = Env("KX_BIN_DIR") + "/logogen-test-" + std::to_string(getpid());
  ~Scratch() {
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
  }
};
const Scratch scratch;

// Runs the generator once into a scratch folder; tests stop when that failed.
class LogoGenerator : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(dir);
    static const int status =
        RunGenerator("--tga \"" + dir + "/logo.tga\" \"" + dir + "/logo.cpp\"");
    ASSERT_EQ(0, status);
  }
  // ctest runs each case as its own process, side by side: a folder each.
  const std::string dir = scratch.dir;
};

TEST_F(LogoGenerator, OutputIsTheCommittedEngineSourceAndTheCrunchedPicture) {
  const std::string generated = Read(dir + "/logo.cpp");
  const std::string committed = Read(Env("KX_SOURCE_DIR") + "/engine/gui/kxEngineLogoData.cpp");
  ASSERT_FALSE(committed.empty());
  EXPECT_TRUE(generated == committed)
      << "kxEngineLogoData.cpp is not what kxlogogen makes; regenerate it";
  ASSERT_EQ(0, RunGenerator("\"" + dir + "/again.cpp\""));
  EXPECT_TRUE(Read(dir + "/again.cpp") == generated) << "a second run differs";

  Bytes crunched;  // the bytes of the array initialiser
  const size_t open = generated.find("kxEngineLogoData[] = {"), close = generated.find("};", open);
  for (size_t p = generated.find("0x", open); open != std::string::npos && p < close;
       p = generated.find("0x", p + 2))
    crunched.push_back(uint8_t(std::strtoul(generated.substr(p, 4).c_str(), nullptr, 16)));
  ASSERT_GT(crunched.size(), 6u);
  const Bytes tga = Read<Bytes>(dir + "/logo.tga");
  const uint32_t size = uint32_t(tga.size());  // the test machine is little-endian
  EXPECT_EQ(0, memcmp(crunched.data(), &size, 4)) << "little-endian size prefix";
  EXPECT_EQ(crunched[4] << 8 | crunched[5], 0x78DA) << "zlib header of the strongest level";
  kxMemoryBlock block{crunched.data(), crunched.size()};
  kxMemoryBlock* expanded = kxDecrunchMemoryBlock(&block);
  ASSERT_NE(nullptr, expanded);
  EXPECT_EQ(Bytes(expanded->data, expanded->data + expanded->size), tga);
  kxFreeMemoryBlock(expanded);
}

// An independent decoder checks each structural rule, then looks at the picture.
TEST_F(LogoGenerator, PictureIsAWellFormedRunLengthTGAOfBrightSoftLetters) {
  const Bytes tga = Read<Bytes>(dir + "/logo.tga");
  ASSERT_GT(tga.size(), 18u + 26u);
  const Bytes head = {0, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 64, 0, 32, 0x08};
  ASSERT_EQ(Bytes(tga.begin(), tga.begin() + 18), head)
      << "RLE true colour 256 x 64, 8 alpha bits, bottom-up";
  const size_t footer = tga.size() - 26;
  EXPECT_EQ(0, std::memcmp(&tga[footer], "\0\0\0\0\0\0\0\0TRUEVISION-XFILE.", 26));
  std::vector<const uint8_t*> pixels;  // bottom row first, B G R A
  size_t pos = 18;
  while (pixels.size() < 256 * 64) {
    ASSERT_LT(pos, footer) << "pixel data runs into the footer";
    const uint8_t h = tga[pos++];
    const size_t n = (h & 0x7f) + 1, stored = (h & 0x80) ? 1 : n;
    ASSERT_LE(pixels.size() % 256 + n, 256u) << "packet crosses a row";
    ASSERT_LE(pos + stored * 4, footer);
    for (size_t k = 0; k < n; ++k) pixels.push_back(&tga[pos + (stored == 1 ? 0 : k * 4)]);
    pos += stored * 4;
  }
  ASSERT_EQ(footer, pos) << "bytes left between the pixels and the footer";
  EXPECT_LT(pos - 18, 256u * 64u * 4u / 2u) << "run-length coding must pay off";

  // Clear borders, the name centred; readable letters: a solid body, bright
  // over black, with anti-aliased edges.
  int opaque = 0, partial = 0, bright = 0, left = 256, right = -1;
  for (int y = 0; y < 64; ++y) {
    for (int x = 0; x < 256; ++x) {
      const uint8_t* p = pixels[(63 - y) * 256 + x];
      if (p[3] == 0) {
        EXPECT_EQ(0, p[0] | p[1] | p[2]) << "transparent pixel with colour at " << x << "," << y;
        continue;
      }
      EXPECT_TRUE(x >= 8 && x <= 247 && y >= 1 && y <= 62) << "border pixel at " << x << "," << y;
      left = std::min(left, x);
      right = std::max(right, x);
      opaque += p[3] == 255;
      partial += p[3] != 255;
      bright += p[3] == 255 && p[0] + p[1] + p[2] > 3 * 160;
    }
  }
  EXPECT_LE(std::abs(left - (255 - right)), 2) << "not centred: " << left << ".." << right;
  EXPECT_GT(opaque, 1500);
  EXPECT_GT(bright, opaque / 2);
  EXPECT_GT(partial, 400);
}

// The larger renderings: a TGA beside the plain one for each, of its size,
// well-formed, and compiled into the source as crunched blocks in ascending
// size.
TEST_F(LogoGenerator, WritesTheLargerRenderingsBesideThePlainPicture) {
  const std::string generated = Read(dir + "/logo.cpp");
  const struct {
    const char* suffix;
    int width, height;
  } rows[] = {{"@1.5x", 384, 96}, {"@2x", 512, 128}, {"@3x", 768, 192}, {"@4x", 1024, 256}};
  // The renderings' bytes, back to back after the plain picture.
  const size_t open = generated.find("kRenderings[] = {", generated.find("kxEngineLogoDataSize"));
  ASSERT_NE(std::string::npos, open);
  const size_t close = generated.find("};", open);
  Bytes all;
  for (size_t p = generated.find("0x", open); p < close; p = generated.find("0x", p + 2))
    all.push_back(uint8_t(std::strtoul(generated.substr(p, 4).c_str(), nullptr, 16)));
  size_t next = 0, entry = close;
  for (const auto& r : rows) {
    SCOPED_TRACE(r.suffix);
    const Bytes tga = Read<Bytes>(dir + "/logo" + r.suffix + ".tga");
    ASSERT_GT(tga.size(), 18u + 26u);
    EXPECT_EQ(10, tga[2]);
    EXPECT_EQ(r.width, tga[12] | tga[13] << 8);
    EXPECT_EQ(r.height, tga[14] | tga[15] << 8);
    EXPECT_EQ((Bytes{32, 0x08}), Bytes(tga.begin() + 16, tga.begin() + 18));
    EXPECT_EQ(0, std::memcmp(&tga[tga.size() - 18], "TRUEVISION-XFILE.", 18));
    // Its entry in the table, in order: where its block begins, how long it
    // is; the blocks follow one another with nothing between them.
    entry = generated.find(std::string("{\"") + r.suffix + "\", ", entry);
    ASSERT_NE(std::string::npos, entry);
    size_t offset = 0, size = 0;
    ASSERT_EQ(2, std::sscanf(generated.c_str() + generated.find("kRenderings + ", entry),
                             "kRenderings + %zu, %zu}", &offset, &size));
    EXPECT_EQ(next, offset);
    ASSERT_LE(offset + size, all.size());
    kxMemoryBlock block{all.data() + offset, size};
    kxMemoryBlock* expanded = kxDecrunchMemoryBlock(&block);
    ASSERT_NE(nullptr, expanded);
    EXPECT_EQ(Bytes(expanded->data, expanded->data + expanded->size), tga);
    kxFreeMemoryBlock(expanded);
    next = offset + size;
  }
  EXPECT_EQ(all.size(), next) << "bytes no rendering owns";
}

TEST_F(LogoGenerator, ReportsBadUsageFontsAndOutputs) {
  const std::string out = " \"" + dir + "/x.cpp\"";
  EXPECT_EQ(1, RunGenerator(""));
  EXPECT_EQ(1, RunGenerator("--bogus out.cpp"));
  EXPECT_EQ(2, RunGenerator("--font /nonexistent/font.ttf" + out));
  EXPECT_EQ(2, RunGenerator("--font \"" + Env("KX_SOURCE_DIR") + "/README.md\"" + out))
      << "not a font";
  EXPECT_EQ(3, RunGenerator("\"" + dir + "/no/such/dir/x.cpp\""));
}

}  // namespace
