// The main() the examples share: reads the command line
//
//   NAME PACK [--frames N]
//
// makes the application, starts it and runs it until it ends. Header-only;
// an example's CMakeLists.txt adds this folder to its include path.
#pragma once

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

// App is the example's kxSDLWrapper, constructed from the pack's file name
// and a frame limit (0: run until the window is closed; N > 0: end by itself
// after N frames). `name` names the program in its messages. `whyNot` names
// the likely causes of a failed start, a printf format in which %s stands
// for the pack's file name; null when the application tells them itself.
//
// Returns the exit status: 2 after a usage error ("usage: NAME PACK
// [--frames N]" on stderr), 1 when the start fails ("NAME: cannot
// start[: whyNot]" on stderr) or memory for the application runs out, 0
// after a run.
template <class App>
int kxExampleMain(int argc, char** argv, const char* name, const char* whyNot) {
  unsigned long frames = 0;
  if (argc == 4 && std::strcmp(argv[2], "--frames") == 0) {
    // Digits only: strtoul would take "-5" as a count near ULONG_MAX and
    // "5abc" as 5; an out-of-range count stays 0 and so is refused too.
    const char* text = argv[3];
    char* end = nullptr;
    errno = 0;
    const unsigned long n = std::strtoul(text, &end, 10);
    if (*text >= '0' && *text <= '9' && *end == '\0' && errno == 0) frames = n;
  }
  if (argc != 2 && !(argc == 4 && frames > 0)) {
    std::fprintf(stderr, "usage: %s PACK [--frames N]\n", name);
    return 2;
  }
  App* app = new (std::nothrow) App(argv[1], frames);
  if (!app) return 1;
  // Init opens the window and shows the engine's logo, then calls
  // OnAfterInit; Run returns when the main loop ends.
  const bool started = app->Init();
  if (started) app->Run(argc, argv);
  delete app;  // closes the window, the audio device and SDL, in every case
  if (!started) {
    std::fprintf(stderr, "%s: cannot start", name);
    if (whyNot) {
      std::fputs(": ", stderr);
      std::fprintf(stderr, whyNot, argv[1]);
    }
    std::fputc('\n', stderr);
    return 1;
  }
  return 0;
}
