#include "vimraCommandLine.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
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

// A window size "WxH"; false unless both are whole numbers in range.
bool ReadWindowSize(const char* text, int* width, int* height) {
  int w = 0, h = 0, used = 0;
  if (sscanf(text, "%5d%*1[xX]%5d%n", &w, &h, &used) != 2 || text[used] != '\0') return false;
  if (!isdigit(static_cast<unsigned char>(text[0]))) return false;
  if (w < 320 || h < 320 || w > 16384 || h > 16384) return false;
  *width = w;
  *height = h;
  return true;
}

// A GUI scale; false unless the whole text is a number from 0.5 to 8.
bool ReadScale(const char* text, float* scale) {
  char* end = nullptr;
  double value = strtod(text, &end);
  if (end == text || *end != '\0' || !(value >= 0.5 && value <= 8.0)) return false;
  *scale = static_cast<float>(value);
  return true;
}

// The value of an option written "--name value" or "--name=value": null
// when it is missing, with *error saying the option needs `what`.
const char* OptionValue(const char* name, const char* what, int argc, char** argv, int* i,
                        std::string* error) {
  const char* arg = argv[*i];
  size_t n = strlen(name);
  if (arg[n] == '=') return arg + n + 1;
  if (*i + 1 < argc && argv[*i + 1]) return argv[++*i];
  *error = std::string(name) + " needs " + what;
  return nullptr;
}

bool IsOption(const char* arg, const char* name) {
  size_t n = strlen(name);
  return strncmp(arg, name, n) == 0 && (arg[n] == '\0' || arg[n] == '=');
}

// An option that takes a value: its name, what a missing value is called
// and what the option accepts, as the usage errors say them.
struct ValuedOption {
  const char* name;
  const char* what;
  const char* takes;
};

constexpr ValuedOption kUIScaleOption{"--ui-scale", "a value", "a number from 0.5 to 8"};
constexpr ValuedOption kMSAAOption{"--msaa", "a count: 0, 2 or 4", "0, 2 or 4"};
constexpr ValuedOption kRendererOption{"--renderer", "a name: fixed or es2", "fixed or es2"};

// The value of `option` (at argv[*i]), read into *out by read; null, with
// *error set, when the value is missing or read refuses it.
template <typename T>
const char* TakeValue(const ValuedOption& option, bool (*read)(const char*, T*), T* out, int argc,
                      char** argv, int* i, std::string* error) {
  const char* value = OptionValue(option.name, option.what, argc, argv, i, error);
  if (value == nullptr) return nullptr;
  if (!read(value, out)) {
    *error = std::string(option.name) + " takes " + option.takes + ", not \"" + value + "\"";
    return nullptr;
  }
  return value;
}

}  // namespace

TVimraCommand vimraParseCommandLine(int argc, char** argv, vimraOptions_s* options,
                                    std::string* error) {
  options->window = false;
  options->windowWidth = 1280;
  options->windowHeight = 720;
  options->msaa = kxMultisampleAuto;
  options->uiScale = 0.0f;
  options->renderer = rkFixed;
  error->clear();
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i] ? argv[i] : "";
    if (strcmp(arg, "--help") == 0 || strcmp(arg, "-h") == 0) return vcHelp;
    if (strcmp(arg, "--version") == 0) return vcVersion;
    if (strcmp(arg, "--window") == 0) {
      options->window = true;
      // An optional size follows as the next word.
      if (i + 1 < argc && argv[i + 1] && isdigit(static_cast<unsigned char>(argv[i + 1][0]))) {
        const char* size = argv[++i];
        if (!ReadWindowSize(size, &options->windowWidth, &options->windowHeight)) {
          *error = std::string("--window takes a size like 1280x720 (320 to 16384), not \"") +
                   size + "\"";
          return vcUsageError;
        }
      }
    } else if (IsOption(arg, kUIScaleOption.name)) {
      if (!TakeValue(kUIScaleOption, ReadScale, &options->uiScale, argc, argv, &i, error))
        return vcUsageError;
    } else if (IsOption(arg, kMSAAOption.name)) {
      if (!TakeValue(kMSAAOption, ReadSamples, &options->msaa, argc, argv, &i, error))
        return vcUsageError;
    } else if (IsOption(arg, kRendererOption.name)) {
      const char* name =
          TakeValue(kRendererOption, kxRendererFromName, &options->renderer, argc, argv, &i, error);
      if (name == nullptr) return vcUsageError;
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
  return "usage: vimra [--window [WxH]] [--msaa 0|2|4] [--renderer fixed|es2] [--ui-scale F]\n"
         "       vimra --help | --version\n"
         "The twenty-one card trick. Installed, the vimra command runs the game in\n"
         "a folder of each user's own, $XDG_DATA_HOME/vimra (by default\n"
         "~/.local/share/vimra), which links the installed \"vimradata.bin\" and\n"
         "keeps the settings file \"vimraconfig.bin\". The game program itself reads\n"
         "and writes both in the folder it is started in (build/bin in a build).\n"
         "  --window     play in a window the player can resize, 1280 x 720 unless\n"
         "               a size follows (like --window 1920x1080); F11 or Alt+Enter\n"
         "               switches between the window and full screen at any time\n"
         "  --ui-scale F size of menus and texts, from 0.5 to 8; by default chosen\n"
         "               from the window's size (1 up to 1280 x 720)\n"
         "  --msaa N     samples per pixel for smoothing edges (0, 2 or 4); by\n"
         "               default 4, or none on a software renderer\n"
         "  --renderer R draw with OpenGL 1.5 (fixed, the default) or with\n"
         "               OpenGL ES 2.0 shaders (es2)\n"
         "  -h, --help   show this text and exit\n"
         "  --version    show the version and exit\n";
}

std::string vimraVersionLine() {
  return std::string("vimra ") + VIMRA_VERSION;
}
