// Entry point of vimra: one game object, Init, Run, delete. A start that
// fails says why on stderr in one line and ends with a non-zero status.
#include <SDL.h>
#include <SDL_mixer.h>

#include <cstdio>
#include <new>
#include <string>

#include "vimraGame.h"
#include "vimraStartupError.h"

namespace {

// The program's only output is its start-up error; the libraries' own log
// lines (for example the notice of the disk audio driver) are dropped.
void DropLogLine(void*, int, SDL_LogPriority, const char*) {}

}  // namespace

int main(int argc, char** argv) {
  SDL_LogSetOutputFunction(DropLogLine, nullptr);
  vimraGame* game = new (std::nothrow) vimraGame();
  if (game == nullptr) {
    fputs("vimra: out of memory\n", stderr);
    return 1;
  }
  int status = 0;
  std::string message;
  if (game->Init()) {
    game->Run(argc, argv);
  } else {
    vimraStartupFacts_s facts;
    facts.videoStarted = SDL_WasInit(SDL_INIT_VIDEO) != 0;
    int frequency = 0;
    Uint16 format = 0;
    int channels = 0;
    facts.audioOpened = Mix_QuerySpec(&frequency, &format, &channels) != 0;
    facts.windowReady = game->ReachedWindow();
    facts.failure = game->GetInitFailure();
    SDL_RWops* pack = SDL_RWFromFile("vimradata.bin", "rb");
    facts.packFileExists = pack != nullptr;
    if (pack != nullptr) SDL_RWclose(pack);
    std::string detail = SDL_GetError();
    facts.detail = detail.c_str();
    message = vimraDescribeStartupError(facts);
    status = 1;
  }
  delete game;
  if (status != 0) fprintf(stderr, "%s\n", message.c_str());
  return status;
}
