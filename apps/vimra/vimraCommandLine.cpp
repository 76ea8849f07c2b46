#include "vimraCommandLine.h"

#include <cstring>

#include "frame/kxGLVersion.h"
#include "render/kxRenderer.h"

#ifndef VIMRA_VERSION
#define VIMRA_VERSION "unknown"
#endif

namespace {

// The count of --msaa; false for anything but 0, 2 or 4.
bool ReadSamples(const char* text, int* samples) {
  if (strcmp(text, "0") == 0 || strcmp(text, "2") == 0 || strcmp(text, "4") == 0) {
    *samples = text[0] - '0';
    return true;
  }
  return false;
}

}  // namespace

TVimraCommand vimraParseCommandLine(int argc, char** argv, vimraOptions_s* options,
                                    std::string* error) {
  options->window = false;
  options->msaa = kxMultisampleAuto;
  options->renderer = rkFixed;
  error->clear();
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i] ? argv[i] : "";
    if (strcmp(arg, "--help") == 0 || strcmp(arg, "-h") == 0) return vcHelp;
    if (strcmp(arg, "--version") == 0) return vcVersion;
    if (strcmp(arg, "--window") == 0) {
      options->window = true;
    } else if (strcmp(arg, "--msaa") == 0 || strncmp(arg, "--msaa=", 7) == 0) {
      const char* count = nullptr;
      if (arg[6] == '=') {
        count = arg + 7;
      } else if (i + 1 < argc && argv[i + 1]) {
        count = argv[++i];
      } else {
        *error = "--msaa needs a count: 0, 2 or 4";
        return vcUsageError;
      }
      if (!ReadSamples(count, &options->msaa)) {
        *error = std::string("--msaa takes 0, 2 or 4, not \"") + count + "\"";
        return vcUsageError;
      }
    } else if (strcmp(arg, "--renderer") == 0 || strncmp(arg, "--renderer=", 11) == 0) {
      const char* name = nullptr;
      if (arg[10] == '=') {
        name = arg + 11;
      } else if (i + 1 < argc && argv[i + 1]) {
        name = argv[++i];
      } else {
        *error = "--renderer needs a name: fixed or es2";
        return vcUsageError;
      }
      if (!kxRendererFromName(name, &options->renderer)) {
        *error = std::string("--renderer takes fixed or es2, not \"") + name + "\"";
        return vcUsageError;
      }
      if (!kxHasRenderer(options->renderer)) {
        *error = std::string("this build cannot draw with ") + name;
        return vcUsageError;
      }
    } else if (arg[0] == '-') {
      *error = std::string("unknown option \"") + arg + "\"";
      return vcUsageError;
    } else {
      *error = std::string("unexpected argument \"") + arg + "\"";
      return vcUsageError;
    }
  }
  return vcPlay;
}

std::string vimraUsage() {
  return "usage: vimra [--window] [--msaa 0|2|4] [--renderer fixed|es2]\n"
         "       vimra --help | --version\n"
         "The twenty-one card trick. Installed, the vimra command runs the game in\n"
         "a folder of each user's own, $XDG_DATA_HOME/vimra (by default\n"
         "~/.local/share/vimra), which links the installed \"vimradata.bin\" and\n"
         "keeps the settings file \"vimraconfig.bin\". The game program itself reads\n"
         "and writes both in the folder it is started in (build/bin in a build).\n"
         "  --window     play in a 1280 x 720 window instead of full screen\n"
         "  --msaa N     samples per pixel for smoothing edges (0, 2 or 4); by\n"
         "               default 4, or none on a software renderer\n"
         "  --renderer R draw with OpenGL 1.5 (fixed, the default) or with\n"
         "               OpenGL ES 2.0 shaders (es2)\n"
         "  -h, --help   show this text and exit\n"
         "  --version    show the version and exit\n";
}

std::string vimraVersionLine() { return std::string("vimra ") + VIMRA_VERSION; }
