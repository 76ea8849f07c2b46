// The GUI gallery end to end: the program runs and its screen shows the
// controls where it puts them, each button in its own look.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

// Runs the gallery for three frames and loads the uncompressed 800 x 600
// 32-bit screen it saves.
class GuiGallery : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string dir = std::getenv("KX_BIN_DIR") ? std::getenv("KX_BIN_DIR") : ".";
    const int status = std::system(
        ("\"" + dir + "/kxguigallery\" --frames 3 \"" + dir + "/gallery-test.tga\"").c_str());
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    std::ifstream in(dir + "/gallery-test.tga", std::ios::binary);
    tga.assign(std::istreambuf_iterator<char>(in), {});
    ASSERT_EQ(tga.size(), 18u + 800 * 600 * 4);
    EXPECT_EQ(std::vector<uint8_t>(tga.begin() + 12, tga.begin() + 17),
              (std::vector<uint8_t>{0x20, 0x03, 0x58, 0x02, 32}));
    EXPECT_EQ(tga[2], 2);
  }
  // Blue, green, red at (x, y) counted from the top; rows are stored bottom-up.
  const uint8_t* At(int x, int y) const { return &tga[18 + ((599 - y) * 800 + x) * 4]; }
  std::vector<uint8_t> tga;
};

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
