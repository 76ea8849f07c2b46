// The lines printed about a start: the single line of a failed start, the
// look at the pack before anything opens it, the silent start and the
// multisampling line.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "vimraStartupError.h"

namespace {

vimraStartupFacts_s Facts(TInitError error, const char* detail = "",
                          TVimraInitFailure game = ifNone) {
  vimraStartupFacts_s f;
  f.frameError = error;
  f.frameDetail = detail;
  f.gameFailure = game;
  f.fullscreen = true;
  return f;
}

bool HasNoLineBreak(const std::string& s) {
  return s.find('\n') == std::string::npos && s.find('\r') == std::string::npos;
}

// A scratch folder the test works in; removed with everything in it.
class vimraPackCheck : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/vimra-startup-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir = pattern;
    ASSERT_EQ(getcwd(previous, sizeof previous), previous);
    ASSERT_EQ(chdir(dir.c_str()), 0);
  }
  void TearDown() override {
    ASSERT_EQ(chdir(previous), 0);
    std::string command = "rm -rf '" + dir + "'";
    ASSERT_EQ(system(command.c_str()), 0);
  }
  std::string dir;
  char previous[4096];
};

}  // namespace

TEST(vimraStartupError, EachStepOfTheFrameHasItsOwnLine) {
  struct {
    TInitError error;
    const char* detail;
    std::string line;
  } rows[] = {
      {ieVideo, "No available video device", "vimra: no display (No available video device)"},
      {ieDisplay, "", "vimra: no display"},
      {ieAudio, "Audio target 'x' not available",
       "vimra: no audio device (Audio target 'x' not available)"},
      {ieDisplayMode, "bad mode", "vimra: cannot read the display's mode (bad mode)"},
      {ieWindow, "Couldn't find matching GLX visual",
       "vimra: cannot open a full-screen OpenGL window (Couldn't find matching GLX visual)"},
      {ieContext, "BadMatch", "vimra: cannot create an OpenGL context (BadMatch)"},
      {ieGLFunctions, "Missing GL version",
       "vimra: cannot reach the OpenGL functions (Missing GL version)"},
      {ieGLVersion, "1.4 Mesa 22.3.6",
       "vimra: OpenGL 1.5 with buffer objects is needed; the driver offers OpenGL 1.4 Mesa 22.3.6"},
      {ieGLVersion, nullptr,
       "vimra: OpenGL 1.5 with buffer objects is needed; the driver offers OpenGL of an unknown "
       "version"},
      {ieGUI, "", "vimra: out of memory"},
  };
  for (auto& row : rows)
    EXPECT_EQ(vimraDescribeStartupError(Facts(row.error, row.detail)), row.line);
  vimraStartupFacts_s windowed = Facts(ieWindow, nullptr);
  windowed.fullscreen = false;
  EXPECT_EQ(vimraDescribeStartupError(windowed), "vimra: cannot open an OpenGL window");
  // A library's message over several lines still makes one line.
  std::string audio = vimraDescribeStartupError(Facts(ieAudio, "dsp: no such device\nsecond"));
  EXPECT_EQ(audio, "vimra: no audio device (dsp: no such device second)");
  EXPECT_TRUE(HasNoLineBreak(audio));
}

TEST(vimraStartupError, TheGamesOwnFailuresAreNamedNotTheLibrarysLastError) {
  // The frame stopped in a callback: what the game reported is the cause,
  // whatever text a library last left behind.
  EXPECT_EQ(vimraDescribeStartupError(Facts(ieAfterInit, "Couldn't open vimradata.bin", ifPack)),
            "vimra: \"vimradata.bin\" in the working directory cannot be read as a resource pack");
  EXPECT_NE(vimraDescribeStartupError(Facts(ieAfterInit, "", ifFontLarge)).find("\"arial\""),
            std::string::npos);
  EXPECT_NE(vimraDescribeStartupError(Facts(ieAfterInit, "", ifFontSmall)).find("\"ss10\""),
            std::string::npos);
  EXPECT_EQ(vimraDescribeStartupError(Facts(ieBeforeInit, "unrelated", ifNoDisplay)),
            "vimra: no display");
  EXPECT_EQ(vimraDescribeStartupError(Facts(ieAfterInit, "unrelated")), "vimra: start-up failed");
  EXPECT_EQ(vimraDescribeStartupError(Facts(ieNone)), "vimra: start-up failed");
  // A frame failure wins over a stale game report.
  EXPECT_EQ(vimraDescribeStartupError(Facts(ieAudio, "", ifPack)), "vimra: no audio device");
}

TEST_F(vimraPackCheck, APackThatIsNoRegularFileIsRefusedWithoutOpeningIt) {
  EXPECT_EQ(vimraCheckPackFile("vimradata.bin"),
            "vimra: no \"vimradata.bin\" in the working directory");
  // A FIFO without a writer would block an open for reading for ever.
  ASSERT_EQ(mkfifo("vimradata.bin", 0644), 0);
  EXPECT_EQ(vimraCheckPackFile("vimradata.bin"),
            "vimra: \"vimradata.bin\" in the working directory is a FIFO, not a file");
  ASSERT_EQ(unlink("vimradata.bin"), 0);
  ASSERT_EQ(mkdir("vimradata.bin", 0755), 0);
  EXPECT_EQ(vimraCheckPackFile("vimradata.bin"),
            "vimra: \"vimradata.bin\" in the working directory is a directory, not a file");
  ASSERT_EQ(rmdir("vimradata.bin"), 0);
  int s = socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_GE(s, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  snprintf(address.sun_path, sizeof address.sun_path, "%s", "vimradata.bin");
  ASSERT_EQ(bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  EXPECT_EQ(vimraCheckPackFile("vimradata.bin"),
            "vimra: \"vimradata.bin\" in the working directory is a socket, not a file");
  close(s);
  ASSERT_EQ(unlink("vimradata.bin"), 0);
  // A link to a device is judged by what it points at.
  ASSERT_EQ(symlink("/dev/null", "vimradata.bin"), 0);
  EXPECT_EQ(vimraCheckPackFile("vimradata.bin"),
            "vimra: \"vimradata.bin\" in the working directory is a device, not a file");
  ASSERT_EQ(unlink("vimradata.bin"), 0);
  ASSERT_EQ(symlink("nowhere.bin", "vimradata.bin"), 0);
  EXPECT_EQ(vimraCheckPackFile("vimradata.bin"),
            "vimra: no \"vimradata.bin\" in the working directory");
}

TEST_F(vimraPackCheck, AReadableFilePassesAndAnUnreadableOneSaysWhy) {
  FILE* f = fopen("vimradata.bin", "wb");
  ASSERT_NE(f, nullptr);
  fputs("kx", f);
  fclose(f);
  EXPECT_EQ(vimraCheckPackFile("vimradata.bin"), "") << "the content is the pack reader's affair";
  // A folder that may not be searched hides its files' state.
  ASSERT_EQ(mkdir("closed", 0755), 0);
  ASSERT_EQ(rename("vimradata.bin", "closed/vimradata.bin"), 0);
  ASSERT_EQ(chmod("closed/vimradata.bin", 0), 0);
  if (geteuid() == 0) GTEST_SKIP() << "permissions do not bind root; the program test covers it";
  EXPECT_EQ(vimraCheckPackFile("closed/vimradata.bin"),
            "vimra: \"closed/vimradata.bin\" in the working directory cannot be read "
            "(Permission denied)");
  ASSERT_EQ(chmod("closed", 0), 0);
  EXPECT_EQ(vimraCheckPackFile("closed/vimradata.bin"),
            "vimra: \"closed/vimradata.bin\" in the working directory cannot be read "
            "(Permission denied)");
  ASSERT_EQ(chmod("closed", 0755), 0);
}

TEST(vimraStartupError, SilentStartAndMultisamplingLines) {
  EXPECT_EQ(vimraDescribeSilentStart("Audio target 'none' not available"),
            "vimra: no audio device; playing without sound (Audio target 'none' not available)");
  EXPECT_EQ(vimraDescribeSilentStart(nullptr), "vimra: no audio device; playing without sound");

  const char* cpu = "llvmpipe (LLVM 15.0.6, 256 bits)";
  EXPECT_EQ(vimraDescribeMultisampling(kxMultisampleAuto, 0, cpu, true),
            "vimra: no multisampling: software renderer; --msaa 2 or 4 asks for it "
            "(renderer: llvmpipe (LLVM 15.0.6, 256 bits))");
  EXPECT_EQ(vimraDescribeMultisampling(kxMultisampleAuto, 4, "GPU", false),
            "vimra: multisampling 4x (renderer: GPU)");
  EXPECT_EQ(vimraDescribeMultisampling(kxMultisampleAuto, 2, "GPU", false),
            "vimra: multisampling 2x: the display offers no 4x (renderer: GPU)");
  EXPECT_EQ(vimraDescribeMultisampling(4, 4, cpu, true),
            "vimra: multisampling 4x, as asked (renderer: llvmpipe (LLVM 15.0.6, 256 bits))");
  EXPECT_EQ(vimraDescribeMultisampling(0, 0, "GPU", false),
            "vimra: no multisampling, as asked (renderer: GPU)");
  EXPECT_EQ(vimraDescribeMultisampling(4, 0, nullptr, false),
            "vimra: no multisampling: the display offers no 4x (renderer: unknown)");
}

TEST(vimraStartupError, OnlyTheDriversThatShowNothingAreBlind) {
  EXPECT_TRUE(vimraIsBlindVideoDriver("offscreen"));
  EXPECT_TRUE(vimraIsBlindVideoDriver("dummy"));
  EXPECT_FALSE(vimraIsBlindVideoDriver("x11"));
  EXPECT_FALSE(vimraIsBlindVideoDriver("wayland"));
  EXPECT_FALSE(vimraIsBlindVideoDriver("dummyx"));
  EXPECT_FALSE(vimraIsBlindVideoDriver(""));
  EXPECT_FALSE(vimraIsBlindVideoDriver(nullptr));
}
