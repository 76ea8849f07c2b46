// The command line of vimra: options, their parsing and the texts of --help
// and --version. Parsing prints nothing; the entry point prints and exits.
#pragma once

#include <string>

#include "render/kxRenderer.h"

// What the command line asks for.
enum TVimraCommand {
  vcPlay = 0,    // start the game with the options read
  vcHelp,        // print the usage on stdout, status 0
  vcVersion,     // print the version on stdout, status 0
  vcUsageError,  // print the error and the usage on stderr, status 2
};

struct vimraOptions_s {
  bool window;      // play in a resizable window instead of full screen
  int windowWidth;  // its first size, 1280 x 720 unless given
  int windowHeight;
  int msaa;                // samples per pixel asked for, or kxMultisampleAuto
  TRendererKind renderer;  // the drawing path; fixed function by default
  float uiScale;           // GUI scale asked for, or 0 to choose from the window
};

// Reads argv[1..argc-1]. Options: --help (-h), --version, --window [WxH]
// (W and H whole numbers from 320 to 16384, written like 1280x720),
// --msaa N or --msaa=N with N one of 0, 2, 4, --renderer R or --renderer=R
// with R fixed or es2, --ui-scale F or --ui-scale=F with F a number from
// 0.5 to 8. The first --help or --version
// wins over everything after it; anything unknown, a missing or wrong
// count, or an operand is a usage error described in *error.
TVimraCommand vimraParseCommandLine(int argc, char** argv, vimraOptions_s* options,
                                    std::string* error);

// Several lines, each ending in a line break.
std::string vimraUsage();
// One line without a line break: "vimra <version>".
std::string vimraVersionLine();
