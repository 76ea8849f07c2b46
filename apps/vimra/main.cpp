// Entry point of vimra: reads the command line, checks the pack, then one
// game object, Init, Run, delete. A start that fails says why on stderr in
// one line and ends with a non-zero status.
#include <SDL.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <new>
#include <string>

#include "data/kxResource.h"
#include "vimraCommandLine.h"
#include "vimraGame.h"
#include "vimraPackKeys.h"
#include "vimraStartupError.h"
#include "vimraWindowIcon.h"

namespace {

const char* const kPackFile = "vimradata.bin";

// The game as this program runs it: once the pack is open, the window takes
// the title picture as its icon (a window without one keeps the system's).
class vimraProgram : public vimraGame {
 public:
  bool OnAfterInit() override {
    if (!vimraGame::OnAfterInit()) return false;
    if (resources != nullptr)
      vimraSetWindowIcon(window, resources->Get(vimraLowKey(vimraKeyLogo).c_str()));
    return true;
  }
};

// The program's only output is its own lines; the libraries' log lines (for
// example the notice of the disk audio driver) are dropped.
void DropLogLine(void*, int, SDL_LogPriority, const char*) {}

// Starts SDL's video. Without a display, SDL tries every display system it
// knows, and the client libraries of those it does not find may print their
// own complaints to stderr (a Wayland client, for one, about
// XDG_RUNTIME_DIR); the user is owed one line, the game's. So stderr points
// at /dev/null for this call only; SDL's own message is kept in *error.
bool StartVideoQuietly(std::string* error) {
  fflush(stderr);
  int saved = dup(STDERR_FILENO);
  int quiet = open("/dev/null", O_WRONLY | O_CLOEXEC);
  bool redirected = saved >= 0 && quiet >= 0 && dup2(quiet, STDERR_FILENO) >= 0;
  bool started = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
  if (!started) *error = SDL_GetError();
  if (redirected) dup2(saved, STDERR_FILENO);
  if (saved >= 0) close(saved);
  if (quiet >= 0) close(quiet);
  if (!started) return false;
  const char* driver = SDL_GetCurrentVideoDriver();
  if (vimraIsBlindVideoDriver(driver)) {
    *error = std::string("only the \"") + driver + "\" video driver is available";
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    return false;
  }
  return true;
}

// One attempt to start: the game with the options, SDL's video already up.
// On failure *game (null when memory ran out) is left for the caller to
// read the failure from and to delete.
bool StartGame(const vimraOptions_s& options, vimraGame** game) {
  *game = new (std::nothrow) vimraProgram();
  if (*game == nullptr) return false;
  (*game)->SetWindowTitle("vimra");
  (*game)->SetFullscreen(!options.window);
  // Full screen or not, the window can be resized once it is a window.
  (*game)->SetResizable(true);
  (*game)->SetWindowSize(options.windowWidth, options.windowHeight);
  (*game)->SetUIScale(options.uiScale);
  (*game)->SetMultisampling(options.msaa);
  // A build without the path asked for says so through Init's failure.
  if (!(*game)->SetRenderer(options.renderer)) return false;
  return (*game)->Init();
}

std::string FailureOf(vimraGame* game, const vimraOptions_s& options) {
  if (game == nullptr) return "vimra: out of memory";
  vimraStartupFacts_s facts;
  facts.frameError = game->GetInitError();
  facts.frameDetail = game->GetInitErrorDetail();
  facts.gameFailure = game->GetInitFailure();
  facts.fullscreen = !options.window;
  return vimraDescribeStartupError(facts);
}

}  // namespace

int main(int argc, char** argv) {
  vimraOptions_s options;
  std::string usageError;
  switch (vimraParseCommandLine(argc, argv, &options, &usageError)) {
    case vcHelp:
      fputs(vimraUsage().c_str(), stdout);
      return 0;
    case vcVersion:
      printf("%s\n", vimraVersionLine().c_str());
      return 0;
    case vcUsageError:
      fprintf(stderr, "vimra: %s\n%s", usageError.c_str(), vimraUsage().c_str());
      return 2;
    case vcPlay:
      break;
  }

  SDL_LogSetOutputFunction(DropLogLine, nullptr);
  std::string packProblem = vimraCheckPackFile(kPackFile);
  if (!packProblem.empty()) {
    fprintf(stderr, "%s\n", packProblem.c_str());
    return 1;
  }
  std::string videoError;
  if (!StartVideoQuietly(&videoError)) {
    fprintf(stderr, "vimra: no display (%s)\n", videoError.c_str());
    return 1;
  }

  vimraGame* game = nullptr;
  bool started = StartGame(options, &game);
  std::string silentStart;
  if (!started && game != nullptr && game->GetInitError() == ieAudio) {
    // The only thing missing is a sound card: play on SDL's silent driver.
    silentStart = vimraDescribeSilentStart(game->GetInitErrorDetail());
    delete game;  // closes SDL; the second attempt starts it afresh
    SDL_setenv("SDL_AUDIODRIVER", "dummy", 1);
    if (!StartVideoQuietly(&videoError)) {
      fprintf(stderr, "vimra: no display (%s)\n", videoError.c_str());
      return 1;
    }
    started = StartGame(options, &game);
  }
  if (!started) {
    std::string message = FailureOf(game, options);
    delete game;
    SDL_Quit();
    fprintf(stderr, "%s\n", message.c_str());
    return 1;
  }
  if (!silentStart.empty()) fprintf(stderr, "%s\n", silentStart.c_str());
  printf("%s\n", vimraDescribeMultisampling(options.msaa, game->GetSamples(),
                                            game->GetRendererName(), game->IsSoftwareRenderer())
                     .c_str());
  fflush(stdout);
  game->Run(argc, argv);
  delete game;
  return 0;
}
