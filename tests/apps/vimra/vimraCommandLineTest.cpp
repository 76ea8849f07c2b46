// The command line: what each option asks for, and what is refused.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frame/kxGLVersion.h"
#include "vimraCommandLine.h"

namespace {

struct Parsed {
  TVimraCommand command;
  vimraOptions_s options;
  std::string error;
};

Parsed Parse(std::vector<std::string> args) {
  args.insert(args.begin(), "vimra");
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(&a[0]);
  argv.push_back(nullptr);
  Parsed p;
  p.options.window = true;  // the parser must set every field
  p.options.msaa = 99;
  p.options.renderer = TRendererKind(7);
  p.error = "stale";
  p.command =
      vimraParseCommandLine(static_cast<int>(args.size()), argv.data(), &p.options, &p.error);
  return p;
}

}  // namespace

TEST(vimraCommandLine, NoOptionsPlayFullScreenWithTheAutomaticMultisampling) {
  Parsed p = Parse({});
  EXPECT_EQ(p.command, vcPlay);
  EXPECT_FALSE(p.options.window);
  EXPECT_EQ(p.options.msaa, kxMultisampleAuto);
  EXPECT_EQ(p.error, "");
}

TEST(vimraCommandLine, WindowAndMsaaInEitherSpelling) {
  Parsed p = Parse({"--window", "--msaa", "2"});
  EXPECT_EQ(p.command, vcPlay);
  EXPECT_TRUE(p.options.window);
  EXPECT_EQ(p.options.msaa, 2);
  for (const char* count : {"0", "2", "4"}) {
    p = Parse({std::string("--msaa=") + count});
    EXPECT_EQ(p.command, vcPlay) << count;
    EXPECT_EQ(p.options.msaa, count[0] - '0');
    EXPECT_FALSE(p.options.window);
  }
  p = Parse({"--msaa", "4", "--msaa", "0"});
  EXPECT_EQ(p.options.msaa, 0) << "the last one counts";
}

TEST(vimraCommandLine, RendererByNameInEitherSpellingFixedByDefault) {
  EXPECT_EQ(Parse({}).options.renderer, rkFixed);
  Parsed p = Parse({"--renderer", "es2"});
  EXPECT_EQ(p.command, vcPlay);
  EXPECT_EQ(p.options.renderer, rkES2);
  p = Parse({"--renderer=es2", "--renderer=fixed"});
  EXPECT_EQ(p.command, vcPlay);
  EXPECT_EQ(p.options.renderer, rkFixed) << "the last one counts";
  for (std::vector<std::string> args : {std::vector<std::string>{"--renderer"},
                                        {"--renderer", "gl"},
                                        {"--renderer="},
                                        {"--renderer", "ES2"}}) {
    p = Parse(args);
    EXPECT_EQ(p.command, vcUsageError) << args.back();
    EXPECT_NE(p.error.find("--renderer"), std::string::npos) << p.error;
  }
}

TEST(vimraCommandLine, HelpAndVersionWinOverWhatFollows) {
  EXPECT_EQ(Parse({"--help"}).command, vcHelp);
  EXPECT_EQ(Parse({"-h"}).command, vcHelp);
  EXPECT_EQ(Parse({"--window", "--help", "--bogus"}).command, vcHelp);
  EXPECT_EQ(Parse({"--version"}).command, vcVersion);
  EXPECT_EQ(Parse({"--version", "--help"}).command, vcVersion);
  // But an error before them stands.
  EXPECT_EQ(Parse({"--bogus", "--help"}).command, vcUsageError);
}

TEST(vimraCommandLine, UnknownOptionsOperandsAndBadCountsAreUsageErrors) {
  struct {
    std::vector<std::string> args;
    std::string error;
  } rows[] = {
      {{"--bogus"}, "unknown option \"--bogus\""},
      {{"-w"}, "unknown option \"-w\""},
      {{"--windowed"}, "unknown option \"--windowed\""},
      {{"game.bin"}, "unexpected argument \"game.bin\""},
      {{"--msaa"}, "--msaa needs a count: 0, 2 or 4"},
      {{"--msaa", "3"}, "--msaa takes 0, 2 or 4, not \"3\""},
      {{"--msaa", "8"}, "--msaa takes 0, 2 or 4, not \"8\""},
      {{"--msaa", "-1"}, "--msaa takes 0, 2 or 4, not \"-1\""},
      {{"--msaa="}, "--msaa takes 0, 2 or 4, not \"\""},
      {{"--msaa", "4x"}, "--msaa takes 0, 2 or 4, not \"4x\""},
      {{"--msaa", "04"}, "--msaa takes 0, 2 or 4, not \"04\""},
      {{"--msaax"}, "unknown option \"--msaax\""},
      {{"--renderer"}, "--renderer needs a name: fixed or es2"},
      {{"--rendererfixed"}, "unknown option \"--rendererfixed\""},
      {{"--ui-scale"}, "--ui-scale needs a value"},
  };
  for (auto& row : rows) {
    Parsed p = Parse(row.args);
    EXPECT_EQ(p.command, vcUsageError) << row.args[0];
    EXPECT_EQ(p.error, row.error);
  }
}

TEST(vimraCommandLine, UsageNamesEveryOptionAndTheVersionIsOneLine) {
  std::string usage = vimraUsage();
  for (const char* option : {"--window", "--msaa", "--renderer", "--help", "--version"})
    EXPECT_NE(usage.find(option), std::string::npos) << option;
  EXPECT_EQ(usage.rfind("usage: vimra", 0), 0u);
  EXPECT_EQ(usage.back(), '\n');
  // An installed user runs the launcher: the text names its per-user folder.
  EXPECT_NE(usage.find("~/.local/share/vimra"), std::string::npos);
  std::string version = vimraVersionLine();
  EXPECT_EQ(version.rfind("vimra ", 0), 0u);
  EXPECT_EQ(version.find('\n'), std::string::npos);
  EXPECT_NE(version.find_first_of("0123456789"), std::string::npos);
}
