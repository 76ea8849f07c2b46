// The single line printed for a start that fails.
#include <gtest/gtest.h>

#include "vimraStartupError.h"

namespace {

vimraStartupFacts_s Facts() {
  vimraStartupFacts_s f;
  f.videoStarted = true;
  f.audioOpened = true;
  f.windowReady = true;
  f.failure = ifNone;
  f.packFileExists = true;
  f.detail = "";
  return f;
}

bool HasNoLineBreak(const std::string& s) {
  return s.find('\n') == std::string::npos && s.find('\r') == std::string::npos;
}

}  // namespace

TEST(vimraStartupError, NamesThePack) {
  vimraStartupFacts_s f = Facts();
  f.failure = ifPack;
  f.packFileExists = false;
  EXPECT_EQ(vimraDescribeStartupError(f), "vimra: no \"vimradata.bin\" in the working directory");
  f.packFileExists = true;
  std::string unreadable = vimraDescribeStartupError(f);
  EXPECT_NE(unreadable.find("\"vimradata.bin\""), std::string::npos);
  EXPECT_NE(unreadable.find("cannot be read"), std::string::npos);
}

TEST(vimraStartupError, NamesTheFont) {
  vimraStartupFacts_s f = Facts();
  f.failure = ifFontLarge;
  EXPECT_NE(vimraDescribeStartupError(f).find("\"arial\""), std::string::npos);
  f.failure = ifFontSmall;
  EXPECT_NE(vimraDescribeStartupError(f).find("\"ss10\""), std::string::npos);
}

TEST(vimraStartupError, NoDisplayBehindAFallbackDriver) {
  vimraStartupFacts_s f = Facts();
  f.windowReady = false;
  f.failure = ifNoDisplay;
  f.detail = "unrelated earlier error";
  EXPECT_EQ(vimraDescribeStartupError(f), "vimra: no display");
}

TEST(vimraStartupError, FrameFailuresInStartOrder) {
  vimraStartupFacts_s f = Facts();
  f.videoStarted = false;
  f.audioOpened = false;
  f.windowReady = false;
  f.detail = "No available video device";
  EXPECT_EQ(vimraDescribeStartupError(f), "vimra: no display (No available video device)");
  f.videoStarted = true;
  f.detail = "dsp: no such device\nsecond line";
  std::string audio = vimraDescribeStartupError(f);
  EXPECT_EQ(audio, "vimra: no audio device (dsp: no such device second line)");
  EXPECT_TRUE(HasNoLineBreak(audio));
  f.audioOpened = true;
  f.detail = nullptr;
  EXPECT_EQ(vimraDescribeStartupError(f), "vimra: cannot open a full-screen OpenGL window");
  f.windowReady = true;
  EXPECT_EQ(vimraDescribeStartupError(f), "vimra: start-up failed");
}
