// The rule the two drawing paths are held to, and the picture files a
// comparison keeps.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "support/kxPictureCompare.h"

namespace {

using kxTest::ComparePictures;
using kxTest::Picture;

Picture Flat(int w, int h, int channels, uint8_t value) {
  Picture p;
  p.width = w;
  p.height = h;
  p.channels = channels;
  p.bytes.assign(size_t(w) * h * channels, value);
  return p;
}

TEST(kxPictureCompare, ChannelAndShareTolerancesDecideAtTheirEdges) {
  const Picture reference = Flat(20, 20, 4, 100);  // 400 pixels: 2 may differ
  Picture other = Flat(20, 20, 3, 100);            // RGB against RGBA
  other.bytes[0] = 100 + kxTest::kChannelTolerance;
  other.bytes[5] = 100 - kxTest::kChannelTolerance;
  kxTest::PictureDifference d = ComparePictures(reference, other);
  EXPECT_EQ(d.differing, 0u);
  EXPECT_EQ(d.worst, kxTest::kChannelTolerance);
  EXPECT_TRUE(d.Passes());
  EXPECT_EQ(d.lit, 400u);

  other.bytes[3 * 10 + 2] = 100 + kxTest::kChannelTolerance + 1;  // blue of pixel 10
  other.bytes[3 * 11] = 0;                                        // red of pixel 11
  d = ComparePictures(reference, other);
  EXPECT_EQ(d.differing, 2u);
  EXPECT_EQ(d.worst, 100);
  EXPECT_TRUE(d.Passes()) << d.Describe();
  other.bytes[3 * 12 + 1] = 255;
  d = ComparePictures(reference, other);
  EXPECT_EQ(d.differing, 3u);
  EXPECT_FALSE(d.Passes()) << d.Describe();
}

TEST(kxPictureCompare, AlphaIsIgnoredAndBlackIsNotLit) {
  Picture reference = Flat(4, 4, 4, 0), other = Flat(4, 4, 4, 0);
  for (size_t i = 3; i < other.bytes.size(); i += 4) other.bytes[i] = 255;
  reference.bytes[4] = 1;  // one pixel with a little red
  const kxTest::PictureDifference d = ComparePictures(reference, other);
  EXPECT_EQ(d.differing, 0u);
  EXPECT_EQ(d.lit, 1u);
  EXPECT_DOUBLE_EQ(d.LitShare(), 1.0 / 16);
}

TEST(kxPictureCompare, PicturesOfDifferentSizesOrShortDataNeverPass) {
  EXPECT_FALSE(ComparePictures(Flat(4, 4, 3, 9), Flat(4, 5, 3, 9)).Passes());
  EXPECT_FALSE(ComparePictures(Flat(0, 0, 3, 9), Flat(0, 0, 3, 9)).Passes());
  Picture shortData = Flat(4, 4, 4, 9);
  shortData.bytes.resize(10);
  EXPECT_FALSE(ComparePictures(Flat(4, 4, 4, 9), shortData).Passes());
  EXPECT_FALSE(ComparePictures(shortData, Flat(4, 4, 4, 9)).Passes());
}

class PictureFiles : public ::testing::Test {
 protected:
  void SetUp() override { path = "picture-test-" + std::to_string(getpid()) + ".ppm"; }
  void TearDown() override { std::remove(path.c_str()); }
  void WriteRaw(const std::string& bytes) {
    FILE* f = fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
  }
  std::string path;
};

TEST_F(PictureFiles, WrittenBottomUpAndReadBackTopFirst) {
  Picture bottomUp = Flat(3, 2, 4, 0);
  for (int i = 0; i < 6; ++i) bottomUp.bytes[size_t(i) * 4] = uint8_t(10 * (i + 1));
  ASSERT_TRUE(kxTest::WritePPM(path, bottomUp));
  Picture read;
  ASSERT_TRUE(kxTest::ReadPPM(path, &read));
  EXPECT_EQ(read.width, 3);
  EXPECT_EQ(read.height, 2);
  EXPECT_EQ(read.channels, 3);
  ASSERT_EQ(read.bytes.size(), 18u);
  // The first row of the file is the last row handed in.
  EXPECT_EQ(read.bytes[0], 40);
  EXPECT_EQ(read.bytes[3 * 3], 10);
  EXPECT_EQ(read.bytes[1], 0);
}

TEST_F(PictureFiles, MalformedFilesAreRefused) {
  Picture out;
  const std::string pixel(3, '\x7f');
  WriteRaw("P6\n# a comment\n1 1\n255\n" + pixel);
  EXPECT_TRUE(kxTest::ReadPPM(path, &out));
  for (const std::string& bad :
       {"P5\n1 1\n255\n" + pixel, "P6\n1 1\n65535\n" + pixel + pixel, "P6\n2 1\n255\n" + pixel,
        "P6\n99999 99999\n255\n" + pixel, std::string("P6\n0 1\n255\n"), "P6\n1 -1\n255\n" + pixel,
        "P6\n1234567890123 1\n255\n" + pixel, std::string("P6"), std::string()}) {
    WriteRaw(bad);
    EXPECT_FALSE(kxTest::ReadPPM(path, &out)) << bad.substr(0, 24);
  }
  EXPECT_FALSE(kxTest::ReadPPM(path + ".absent", &out));
  EXPECT_FALSE(kxTest::WritePPM(path, Picture())) << "an empty picture";
}

}  // namespace
