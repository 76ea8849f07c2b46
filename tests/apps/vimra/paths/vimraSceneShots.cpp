// vimraSceneShots: plays one trick of the real game with a fixed seed and
// saves a picture of every scene the frame benchmark measures, so that two
// drawing paths can be compared frame for frame (comparePaths.sh does).
//
//   vimraSceneShots [--size WxH] [--seed N] [--pack FILE] --renderer fixed|es2
//
// The pictures (<scene>.ppm) and the game's settings file go to the working
// folder; the pack (default: vimradata.bin beside the program) is linked into
// it. Everything that moves does so by the frame, and the clocks the game
// reads advance by the reading, so two runs with the same seed and size draw
// the same frames whatever the path and however long each frame takes.
//
// Exit status: 0 when every scene was saved, 1 when the game did not start
// or a scene was never reached, 2 on a usage error.
#include <SDL.h>
#include <limits.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "gui/kxGUIManager.h"
#include "render/kxRenderer.h"
#include "support/kxPictureCompare.h"
#include "vimraDriver.h"
#include "vimraGame.h"

namespace {

// Which frame of each scene is kept: far enough in that the scene is under
// way, early enough that the shortest run of it reaches the frame.
const struct {
  const char* scene;
  size_t frame;
} kShots[] = {{"menu", 60},   {"ring", 30},      {"first_gather", 40}, {"deal", 20},
              {"table", 30},  {"row_stars", 12}, {"later_gather", 40}, {"to_reveal", 40},
              {"reveal", 90}, {"return", 30},    {"back_to_menu", 20}};

class ShotGame : public vimraGame {
 public:
  ShotGame() : driver(this, true) {}
  using kxSDLWrapper::SetTickSource;

  // After Init: the clicks go on with the splash's clock, and a quit asked
  // for during the start is forgotten.
  void Attach() { driver.Attach(vimraDriver::RunningClock); }

  // One frame as the main loop draws it; the chosen frame of a scene is
  // read back before its swap.
  void Frame() {
    const char* name = driver.SceneName();
    const size_t seen = framesOf[name]++;
    for (const auto& shot : kShots) {
      if (strcmp(shot.scene, name) != 0 || seen != shot.frame) continue;
      // Input still queued is delivered by the next frame of either path.
      GetGUIManager()->HandleEvents();
      Render();
      GetGUIManager()->Draw();
      Save(std::string(name) + ".ppm");
      SDL_GL_SwapWindow(window);
      ++frameCounter;
      return;
    }
    driver.Step();
  }
  void Frames(int count) {
    for (int i = 0; i < count; ++i) Frame();
  }
  void While(int state, int limit) {
    for (int i = 0; i < limit && (driver.State() == state || driver.InputPending()); ++i) Frame();
  }

  // The trick as the benchmark plays it: the menu, Start, the ring, three
  // answers of the middle row, the reveal and the return, then a second
  // trick left during its first gather.
  void Play() {
    const int w = GetWidth(), h = GetHeight();
    Frames(80);
    if (!driver.ClickControl(idStart)) fprintf(stderr, "no Start button\n");
    While(StateMenu, 10);
    Frames(40);
    driver.ClickAt(w / 2, h / 2);
    While(StateRing, 10);
    While(StateGather, 400);
    While(StateDeal, 200);
    Frames(40);
    for (int answer = 0; answer < 3 && driver.State() == StateAwaitRow; ++answer) {
      driver.ClickAt(w / 2, h / 2);
      While(StateAwaitRow, 10);
      While(StateGather, 600);
      While(StateDeal, 200);
      Frames(10);
    }
    While(StateToReveal, 600);
    Frames(100);
    driver.ClickAt(w / 2, h / 2);
    While(StateReveal, 10);
    While(StateRevealEnd, 400);
    driver.ClickAt(w / 2, h / 2);
    While(StateRing, 10);
    Frames(30);
    driver.PressKey(SDLK_ESCAPE);
    While(StateGather, 10);
    While(StateBackToMenu, 400);
  }

  // Prints how many frames each scene had and which picture was not taken;
  // true when every one was.
  bool AllSaved() const {
    bool all = true;
    for (const auto& shot : kShots) {
      auto it = framesOf.find(shot.scene);
      const size_t frames = it == framesOf.end() ? 0 : it->second;
      printf("%s: %zu frames\n", shot.scene, frames);
      if (frames <= shot.frame) {
        fprintf(stderr, "scene %s: %zu frames, none saved\n", shot.scene, frames);
        all = false;
      }
    }
    return all && saveFailures == 0;
  }

 private:
  void Save(const std::string& path) {
    kxTest::Picture p;
    p.width = GetWidth();
    p.height = GetHeight();
    p.channels = 4;
    p.bytes.resize(size_t(p.width) * p.height * 4);
    kxGetRenderer()->ReadPixels(0, 0, p.width, p.height, p.bytes.data());
    if (!kxTest::WritePPM(path, p)) {
      fprintf(stderr, "cannot write %s\n", path.c_str());
      ++saveFailures;
    }
  }

  vimraDriver driver;
  std::map<std::string, size_t> framesOf;
  int saveFailures = 0;
};

std::string BesideProgram(const char* name) {
  char self[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  if (n <= 0) return name;
  self[n] = '\0';
  const std::string path(self);
  return path.substr(0, path.rfind('/') + 1) + name;
}

}  // namespace

int main(int argc, char** argv) {
  int width = 640, height = 360;
  unsigned int seed = 21;
  std::string pack = BesideProgram("vimradata.bin");
  TRendererKind renderer = rkFixed;
  bool rendererGiven = false, usage = false;
  for (int i = 1; i < argc && !usage; ++i) {
    const char* value = i + 1 < argc ? argv[++i] : nullptr;
    if (!value) {
      usage = true;
    } else if (strcmp(argv[i - 1], "--size") == 0) {
      usage = sscanf(value, "%dx%d", &width, &height) != 2 || width < 64 || height < 64 ||
              width > 4096 || height > 4096;
    } else if (strcmp(argv[i - 1], "--seed") == 0) {
      seed = unsigned(strtoul(value, nullptr, 10));
    } else if (strcmp(argv[i - 1], "--pack") == 0) {
      pack = value;
    } else if (strcmp(argv[i - 1], "--renderer") == 0) {
      rendererGiven = kxRendererFromName(value, &renderer) && kxHasRenderer(renderer);
      usage = !rendererGiven;
    } else {
      usage = true;
    }
  }
  if (usage || !rendererGiven) {
    fprintf(stderr,
            "usage: vimraSceneShots [--size WxH] [--seed N] [--pack FILE] "
            "--renderer fixed|es2\n");
    return 2;
  }
  if (access("vimradata.bin", R_OK) != 0 && symlink(pack.c_str(), "vimradata.bin") != 0) {
    fprintf(stderr, "cannot link the pack %s here\n", pack.c_str());
    return 1;
  }
  setenv("SDL_AUDIODRIVER", "dummy", 0);

  ShotGame game;
  game.SetSeed(seed);
  game.SetFullscreen(false);
  game.SetWindowSize(width, height);
  game.SetMultisampling(0);
  game.SetRenderer(renderer);
  // The splash and the clicks run on a clock that moves with each reading.
  game.SetTickSource(vimraDriver::RunningClock);
  if (!game.Init()) {
    fprintf(stderr, "the game did not start\n");
    return 1;
  }
  game.Attach();
  game.Play();
  return game.AllSaved() ? 0 : 1;
}
