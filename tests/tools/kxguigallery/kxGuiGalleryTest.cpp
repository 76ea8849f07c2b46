// The GUI gallery end to end: the program runs and its screen shows the
// controls where it puts them, each button in its own look.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

struct Shot {
  int width = 0, height = 0;
  std::vector<uint8_t> bgra;  // bottom-up rows
  // Colour at (x, y) with y counted from the top.
  const uint8_t* At(int x, int y) const { return &bgra[((height - 1 - y) * width + x) * 4]; }
};

class GuiGallery : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    const char* bin = std::getenv("KX_BIN_DIR");
    std::string dir = bin ? bin : ".";
    path = dir + "/gallery-test.tga";
    std::string command = "\"" + dir + "/kxguigallery\" --frames 3 \"" + path + "\"";
    int status = std::system(command.c_str());
    exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  static bool Load(Shot* shot) {
    std::ifstream in(path, std::ios::binary);
    std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (file.size() < 18) return false;
    shot->width = file[12] | file[13] << 8;
    shot->height = file[14] | file[15] << 8;
    if (file[2] != 2 || file[16] != 32) return false;
    size_t bytes = static_cast<size_t>(shot->width) * shot->height * 4;
    if (file.size() != 18 + bytes) return false;
    shot->bgra.assign(file.begin() + 18, file.end());
    return true;
  }
  static std::string path;
  static int exitCode;
};
std::string GuiGallery::path;
int GuiGallery::exitCode = -1;

TEST_F(GuiGallery, RunsAndWritesAnUncompressedScreen) {
  ASSERT_EQ(0, exitCode);
  Shot shot;
  ASSERT_TRUE(Load(&shot));
  EXPECT_EQ(800, shot.width);
  EXPECT_EQ(600, shot.height);
}

TEST_F(GuiGallery, ButtonsShowTheirThreeLooksAndTheNarrowOneIsWidened) {
  ASSERT_EQ(0, exitCode);
  Shot shot;
  ASSERT_TRUE(Load(&shot));
  // Faces sampled left of their captions: passive slate, active blue,
  // pushed amber.
  const uint8_t* passive = shot.At(70, 88);
  const uint8_t* active = shot.At(240, 88);
  const uint8_t* pushed = shot.At(410, 88);
  EXPECT_LT(std::abs(passive[2] - passive[0]), 40) << "grey";
  EXPECT_GT(passive[2], 60);
  EXPECT_GT(active[0], active[2] + 80) << "blue";
  EXPECT_GT(pushed[2], pushed[0] + 80) << "amber";
  // The OK button, made 30 wide, spans 48 columns from x = 570.
  const uint8_t* inside = shot.At(614, 110);
  const uint8_t* beyond = shot.At(622, 110);
  EXPECT_GT(inside[2], 60);
  EXPECT_LT(beyond[2], 40);
}

TEST_F(GuiGallery, ViewerTextIsCutShortOfItsRightEdge) {
  ASSERT_EQ(0, exitCode);
  Shot shot;
  ASSERT_TRUE(Load(&shot));
  // The viewer spans x 60..479; text stops at 475, the panel shows after.
  for (int y = 320; y < 350; ++y) {
    for (int x = 476; x < 479; ++x) {
      const uint8_t* p = shot.At(x, y);
      EXPECT_GT(p[1], 150) << "no dark text at " << x << "," << y;
    }
  }
  int dark = 0;
  for (int y = 320; y < 350; ++y)
    for (int x = 440; x < 475; ++x)
      if (shot.At(x, y)[1] < 100) ++dark;
  EXPECT_GT(dark, 20) << "the long line reaches the clip edge";
}

}  // namespace
