// Frame benchmark of the game as it runs: the real frame and pack, Init and
// OnAfterInit as the program calls them, then every scene of a trick driven
// through the state machine without pacing. A frame is what the main loop
// draws (queued GUI clicks, Render, the GUI, the swap) followed by glFinish,
// so the renderer's worker threads have finished before the clocks stop.
//
// Wall time suffers from whatever else runs on the machine; the process CPU
// time (all threads, the renderer's included) does much less, and is the
// figure to compare between runs.
//
//   xvfb-run -a -s "-screen 0 1280x720x24" build/bin/vimraFrameBench [options]
//
// Options: --msaa N (ask for N samples per pixel instead of the frame's own
// choice, which on a software renderer is none),
// --scale F (multiply the length of the scenes that have no natural end),
// --json FILE, --pack FILE (default: vimradata.bin beside the program),
// --mappings (list the largest resident mappings when memory is recorded),
// --shots DIR (save pictures of the menu, the table, the row stars and the
// reveal as PPM files, to compare two builds by eye),
// --renderer fixed|es2 (the engine's drawing path; fixed by default),
// --size WxH (a window of that size instead of full screen; run it on a
// virtual screen at least that large).
#include <SDL.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "kxFrameStats.h"
#include "render/kxRenderer.h"
#include "vimraBenchGame.h"

namespace {

struct Options {
  int msaa = -1;  // -1: the window the game gets by itself
  double scale = 1.0;
  std::string json = "vimraFrameBench.json";
  std::string pack;
  bool mappings = false;
  std::string shots;
  int width = 0, height = 0;  // 0: full screen
  TRendererKind renderer = rkFixed;
};

bool ParseOptions(int argc, char** argv, Options* o) {
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--mappings") {
      o->mappings = true;
      continue;
    }
    const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
    if (a == "--msaa" && value) {
      o->msaa = atoi(value);
    } else if (a == "--scale" && value) {
      o->scale = atof(value);
    } else if (a == "--json" && value) {
      o->json = value;
    } else if (a == "--shots" && value) {
      o->shots = value;
    } else if (a == "--pack" && value) {
      o->pack = value;
    } else if (a == "--size" && value) {
      if (sscanf(value, "%dx%d", &o->width, &o->height) != 2 || o->width < 64 || o->height < 64 ||
          o->width > 16384 || o->height > 16384)
        return false;
    } else if (a == "--renderer" && value) {
      if (!kxRendererFromName(value, &o->renderer) || !kxHasRenderer(o->renderer)) return false;
    } else {
      return false;
    }
    ++i;
  }
  return o->scale > 0;
}

std::string Absolute(const std::string& path) {
  char resolved[PATH_MAX];
  if (!path.empty() && path[0] == '/') return path;
  if (!getcwd(resolved, sizeof resolved)) return path;
  return std::string(resolved) + "/" + path;
}

std::string BesideProgram(const char* name) {
  char self[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  if (n <= 0) return name;
  self[n] = '\0';
  std::string dir(self);
  return dir.substr(0, dir.rfind('/') + 1) + name;
}

// The game reads and writes its files in the working directory: it runs in
// a fresh one holding only a link to the pack, so no settings file of a
// player changes what is measured and none is left behind.
bool EnterScratchDirectory(const std::string& pack, std::string* dir) {
  char pattern[] = "/tmp/vimra-bench-XXXXXX";
  if (!mkdtemp(pattern)) return false;
  *dir = pattern;
  if (symlink(pack.c_str(), (*dir + "/vimradata.bin").c_str()) != 0) return false;
  return chdir(dir->c_str()) == 0;
}

void LeaveScratchDirectory(const std::string& dir) {
  unlink((dir + "/vimraconfig.bin").c_str());
  unlink((dir + "/vimradata.bin").c_str());
  rmdir(dir.c_str());
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, &options)) {
    fprintf(stderr,
            "usage: %s [--msaa 0|2|4] [--scale F] [--size WxH] [--mappings] [--shots DIR] "
            "[--json FILE] [--pack FILE] [--renderer fixed|es2]\n",
            argv[0]);
    return 2;
  }
  if (options.pack.empty()) options.pack = BesideProgram("vimradata.bin");
  options.pack = Absolute(options.pack);
  options.json = Absolute(options.json);
  if (!options.shots.empty()) options.shots = Absolute(options.shots);
  if (access(options.pack.c_str(), R_OK) != 0) {
    fprintf(stderr, "no resource pack at %s\n", options.pack.c_str());
    return 1;
  }
  // The music keeps playing as in the game, into nothing: its decoding is
  // part of what a frame of the game costs.
  setenv("SDL_AUDIODRIVER", "disk", 0);
  setenv("SDL_DISKAUDIOFILE", "/dev/null", 0);

  std::string scratch;
  if (!EnterScratchDirectory(options.pack, &scratch)) {
    fprintf(stderr, "cannot prepare a working directory\n");
    return 1;
  }

  kxFrameReport report;
  int result = 1;
  {
    vimraBenchGame game(options.msaa, options.mappings, options.shots);
    if (options.width > 0) {
      game.SetFullscreen(false);
      game.SetWindowSize(options.width, options.height);
    }
    game.SetRenderer(options.renderer);
    if (game.Start(&report)) {
      game.RunScenes(options.scale, &report);
      game.MeasureSwitches(&report);
      game.MeasureLoading(options.pack, &report);
      result = 0;
    } else {
      fprintf(stderr, "the game did not start\n");
    }
  }
  LeaveScratchDirectory(scratch);
  if (result != 0) return result;

  struct rusage usage;
  getrusage(RUSAGE_SELF, &usage);
  report.AddFigure("memory", "max_rss_whole_run", double(usage.ru_maxrss) / 1024.0, "MiB");

  report.PrintLines(stdout);
  printf("\n");
  report.PrintTable(stdout);
  if (!report.WriteJson(options.json.c_str())) {
    fprintf(stderr, "cannot write %s\n", options.json.c_str());
    return 1;
  }
  printf("\njson %s\n", options.json.c_str());
  return 0;
}
