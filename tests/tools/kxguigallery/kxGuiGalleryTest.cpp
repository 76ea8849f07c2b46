// The GUI gallery end to end: the program runs and its screen shows the
// controls where it puts them, each button in its own look. The picture is
// read back through ImageMagick, an independent decoder, so that it is the
// way up a common viewer shows it that is checked.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "support/kxCommandOutput.h"

namespace {

using kxTest::CommandOutput;

// Runs the gallery for three frames, checks the header of the uncompressed
// 800 x 600 32-bit TGA it saves and has ImageMagick decode it.
class GuiGallery : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string dir = std::getenv("KX_BIN_DIR") ? std::getenv("KX_BIN_DIR") : ".";
    // Each case is its own process and may run beside the others: one file each.
    path = dir + "/gallery-test-" + std::to_string(getpid()) + ".tga";
    const int status =
        std::system(("\"" + dir + "/kxguigallery\" --frames 3 \"" + path + "\"").c_str());
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    std::ifstream in(path, std::ios::binary);
    tga.assign(std::istreambuf_iterator<char>(in), {});
    ASSERT_EQ(tga.size(), 18u + 800 * 600 * 4);
    EXPECT_EQ(std::vector<uint8_t>(tga.begin() + 12, tga.begin() + 17),
              (std::vector<uint8_t>{0x20, 0x03, 0x58, 0x02, 32}));
    EXPECT_EQ(tga[2], 2);
    // Rows top first, and the header says so.
    EXPECT_EQ(tga[17], 0x28);
    std::vector<uint8_t> rgba = CommandOutput("convert \"" + path + "\" -depth 8 rgba:-");
    ASSERT_EQ(rgba.size(), 800u * 600 * 4) << "ImageMagick cannot read " << path;
    shown.resize(rgba.size());
    for (size_t i = 0; i < rgba.size(); i += 4) {
      shown[i] = rgba[i + 2];
      shown[i + 1] = rgba[i + 1];
      shown[i + 2] = rgba[i];
      shown[i + 3] = rgba[i + 3];
    }
  }
  void TearDown() override { std::remove(path.c_str()); }
  // Blue, green, red at (x, y) counted from the top, as ImageMagick shows it.
  const uint8_t* At(int x, int y) const { return &shown[(y * 800 + x) * 4]; }
  std::string path;
  std::vector<uint8_t> tga;
  std::vector<uint8_t> shown;
};

TEST_F(GuiGallery, ImageMagickShowsThePictureUpright) {
  // The title label is amber at the top left of the panel; the backdrop runs
  // from blue above the panel to brown below it.
  int amber = 0;
  for (int y = 40; y < 62; ++y) {
    for (int x = 60; x < 260; ++x) amber += At(x, y)[2] > 180 && At(x, y)[0] < 120;
  }
  EXPECT_GT(amber, 50) << "no title at the top";
  EXPECT_GT(At(400, 5)[0], At(400, 5)[2] + 20) << "the top is not the blue end";
  EXPECT_GT(At(400, 594)[2], At(400, 594)[0] + 20) << "the bottom is not the brown end";
  // The stored rows match what ImageMagick shows, first row at the top.
  EXPECT_EQ(std::vector<uint8_t>(tga.begin() + 18, tga.begin() + 18 + 800 * 4),
            std::vector<uint8_t>(shown.begin(), shown.begin() + 800 * 4));
}

TEST_F(GuiGallery, ButtonsShowTheirThreeLooksAndTheNarrowOneIsWidened) {
  // Faces sampled left of their captions: passive slate, active blue, pushed amber.
  const uint8_t *passive = At(70, 88), *active = At(240, 88), *pushed = At(410, 88);
  EXPECT_LT(std::abs(passive[2] - passive[0]), 40) << "grey";
  EXPECT_GT(passive[2], 60);
  EXPECT_GT(active[0], active[2] + 80) << "blue";
  EXPECT_GT(pushed[2], pushed[0] + 80) << "amber";
  // The OK button, made 30 wide, spans 48 columns from x = 570.
  EXPECT_GT(At(614, 110)[2], 60);
  EXPECT_LT(At(622, 110)[2], 40);
}

TEST_F(GuiGallery, ViewerTextIsCutShortOfItsRightEdge) {
  // The viewer spans x 60..479; text stops at 475 and the panel shows at
  // 476. Its text is longer than the view, so a scroll bar takes 477 and
  // 478, the thumb at the top, where the text is near its start.
  int dark = 0;
  for (int y = 320; y < 350; ++y) {
    EXPECT_GT(At(476, y)[1], 150) << "dark text at 476," << y;
    for (int x = 477; x < 479; ++x) EXPECT_LT(At(x, y)[1], 120) << "no thumb at " << x << "," << y;
    for (int x = 440; x < 475; ++x) dark += At(x, y)[1] < 100;
  }
  EXPECT_GT(At(479, 330)[1], 150) << "the panel again right of the bar";
  EXPECT_GT(dark, 20) << "the long line reaches the clip edge";
}

}  // namespace
