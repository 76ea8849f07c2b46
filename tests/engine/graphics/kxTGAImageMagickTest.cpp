// The TGA decoder on pictures it did not write: files made by ImageMagick
// (bottom-left and top-left origins, raw and run-length encoded, 24 and 32
// bits, odd widths) and run-length files whose packets run across rows, as
// row-agnostic encoders write them. Each is decoded by kxDecodeTGA and by
// ImageMagick, and the two must agree pixel for pixel.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "graphics/kxTGA.h"
#include "support/kxCommandOutput.h"

namespace fs = std::filesystem;

namespace {

using kxTest::CommandOutput;

std::vector<uint8_t> ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

class kxTGAImageMagick : public ::testing::Test {
 protected:
  void SetUp() override {
    if (std::system("convert -version >/dev/null 2>&1") != 0) GTEST_SKIP() << "no ImageMagick";
    char pattern[] = "/tmp/kx-tga-im-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir = pattern;
  }
  void TearDown() override {
    std::error_code ignored;
    if (!dir.empty()) fs::remove_all(dir, ignored);
  }

  // A picture with something different in every corner, so that a flip or a
  // shifted row shows: a diagonal gradient, a red block at the top left, a
  // green one at the bottom right, a half-transparent stripe.
  fs::path Source(int width, int height) {
    const fs::path path =
        dir / ("source_" + std::to_string(width) + "x" + std::to_string(height) + ".png");
    const std::string command =
        "convert -size " + std::to_string(width) + "x" + std::to_string(height) +
        " -define gradient:angle=45 gradient:'#102030-#f0e0d0' -alpha set"
        " -fill '#ff0000' -draw 'rectangle 0,0 " +
        std::to_string(width / 3) + "," + std::to_string(height / 4) + "'" +
        " -fill '#00ff00' -draw 'rectangle " + std::to_string(width * 2 / 3) + "," +
        std::to_string(height * 3 / 4) + " " + std::to_string(width) + "," +
        std::to_string(height) + "'" + " -region " + std::to_string(width) + "x2+0+" +
        std::to_string(height / 2) + " -channel A -evaluate set 50% +channel +region '" +
        path.string() + "'";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    return path;
  }

  // Writes `source` as TGA with the given ImageMagick options and returns
  // its bytes.
  std::vector<uint8_t> Write(const fs::path& source, const std::string& options, const char* name) {
    const fs::path out = dir / name;
    const std::string command =
        "convert '" + source.string() + "' " + options + " 'tga:" + out.string() + "'";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    return ReadFile(out);
  }

  // Decodes the bytes both ways and compares every pixel in the order a
  // viewer shows them (top row first): ImageMagick turned upright by its own
  // reading of the origin bit, the decoder's file-order rows by that bit.
  void ExpectAgreement(const std::vector<uint8_t>& tga, const std::string& what) {
    ASSERT_GE(tga.size(), 18u) << what;
    const fs::path path = dir / "compare.tga";
    {
      std::ofstream out(path, std::ios::binary);
      out.write(reinterpret_cast<const char*>(tga.data()), std::streamsize(tga.size()));
    }
    kxTGAImage image{};
    ASSERT_TRUE(kxDecodeTGA(tga.data(), tga.size(), &image)) << what;
    const uint32_t w = image.width, h = image.height, bpp = image.bytesPerPixel;
    const std::vector<uint8_t> reference =
        CommandOutput("convert 'tga:" + path.string() + "' -auto-orient -depth 8 rgba:-");
    ASSERT_EQ(reference.size(), size_t(w) * h * 4) << what << ": ImageMagick cannot read it";
    const bool topFirst = (tga[17] & 0x20) != 0;
    int differing = 0;
    for (uint32_t y = 0; y < h; ++y) {
      const uint32_t fileRow = topFirst ? y : h - 1 - y;
      for (uint32_t x = 0; x < w; ++x) {
        const uint8_t* ours = image.pixels + (size_t(fileRow) * w + x) * bpp;
        const uint8_t* theirs = &reference[(size_t(y) * w + x) * 4];
        for (uint32_t c = 0; c < bpp; ++c) {
          if (ours[c] != theirs[c] && differing++ < 5) {
            ADD_FAILURE() << what << ": pixel " << x << "," << y << " channel " << c << ": "
                          << int(ours[c]) << " here, " << int(theirs[c]) << " in ImageMagick";
          }
        }
      }
    }
    EXPECT_EQ(differing, 0) << what;
    kxFreeTGAImage(&image);
  }

  fs::path dir;
};

// Run-length encodes BGR(A) pixels with packets that ignore row ends: runs
// of equal pixels up to 128, raw packets of up to 128 otherwise.
std::vector<uint8_t> EncodeAcrossRows(const std::vector<uint8_t>& pixels, size_t bpp) {
  std::vector<uint8_t> out;
  const size_t count = pixels.size() / bpp;
  size_t i = 0;
  auto same = [&](size_t a, size_t b) {
    return std::memcmp(&pixels[a * bpp], &pixels[b * bpp], bpp) == 0;
  };
  while (i < count) {
    size_t run = 1;
    while (i + run < count && run < 128 && same(i, i + run)) ++run;
    if (run > 1) {
      out.push_back(uint8_t(0x80 | (run - 1)));
      out.insert(out.end(), &pixels[i * bpp], &pixels[i * bpp] + bpp);
      i += run;
      continue;
    }
    size_t raw = 1;
    while (i + raw < count && raw < 128 && !(i + raw + 1 < count && same(i + raw, i + raw + 1)))
      ++raw;
    out.push_back(uint8_t(raw - 1));
    out.insert(out.end(), &pixels[i * bpp], &pixels[(i + raw) * bpp]);
    i += raw;
  }
  return out;
}

}  // namespace

TEST_F(kxTGAImageMagick, RawPicturesInBothOriginsAndDepths) {
  for (int width : {37, 1, 64}) {
    const fs::path source = Source(width, 23);
    const std::string size = std::to_string(width) + "x23";
    ExpectAgreement(Write(source, "-alpha off -type TrueColor -compress None", "a.tga"),
                    size + " 24-bit raw, bottom-left");
    ExpectAgreement(
        Write(source, "-alpha off -type TrueColor -compress None -orient TopLeft", "b.tga"),
        size + " 24-bit raw, top-left");
    ExpectAgreement(Write(source, "-type TrueColorAlpha -compress None", "c.tga"),
                    size + " 32-bit raw, bottom-left");
    ExpectAgreement(Write(source, "-type TrueColorAlpha -compress None -orient TopLeft", "d.tga"),
                    size + " 32-bit raw, top-left");
  }
}

TEST_F(kxTGAImageMagick, RunLengthPicturesInBothOriginsAndDepths) {
  for (int width : {37, 3, 200}) {
    const fs::path source = Source(width, 17);
    const std::string size = std::to_string(width) + "x17";
    const std::vector<uint8_t> rgb =
        Write(source, "-alpha off -type TrueColor -compress RLE", "a.tga");
    ASSERT_GT(rgb.size(), 18u);
    EXPECT_EQ(rgb[2], 10) << "ImageMagick wrote no run-length file";
    ExpectAgreement(rgb, size + " 24-bit RLE, bottom-left");
    ExpectAgreement(
        Write(source, "-alpha off -type TrueColor -compress RLE -orient TopLeft", "b.tga"),
        size + " 24-bit RLE, top-left");
    ExpectAgreement(Write(source, "-type TrueColorAlpha -compress RLE", "c.tga"),
                    size + " 32-bit RLE");
  }
}

TEST_F(kxTGAImageMagick, RunsAcrossRowEnds) {
  // ImageMagick's raw 32-bit picture, re-encoded with packets that ignore
  // row ends; large flat areas make runs that start in one row and end in
  // another.
  const fs::path source = Source(29, 31);
  for (bool alpha : {false, true}) {
    const std::vector<uint8_t> raw = Write(
        source,
        alpha ? "-type TrueColorAlpha -compress None" : "-alpha off -type TrueColor -compress None",
        "raw.tga");
    ASSERT_GT(raw.size(), 18u);
    const size_t bpp = raw[16] / 8;
    ASSERT_EQ(raw.size(), 18u + 29 * 31 * bpp);
    std::vector<uint8_t> rle(raw.begin(), raw.begin() + 18);
    rle[2] = 10;
    const std::vector<uint8_t> packets =
        EncodeAcrossRows(std::vector<uint8_t>(raw.begin() + 18, raw.end()), bpp);
    rle.insert(rle.end(), packets.begin(), packets.end());
    // The flat red block of the first row's run reaches into the next row.
    bool crossing = false;
    for (size_t at = 18, pixel = 0; at < rle.size();) {
      const size_t n = (rle[at] & 0x7F) + 1;
      if (pixel / 29 != (pixel + n - 1) / 29) crossing = true;
      at += 1 + ((rle[at] & 0x80) ? bpp : n * bpp);
      pixel += n;
    }
    EXPECT_TRUE(crossing) << "no packet crosses a row end";
    ExpectAgreement(rle, alpha ? "32-bit RLE across rows" : "24-bit RLE across rows");
  }
}
