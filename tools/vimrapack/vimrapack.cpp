// vimrapack: builds the game's resource pack.
//   vimrapack ASSETS_DIR FONT_DIR OUTPUT_FILE
// Prints one line per entry (name, size before and after crunching) and the
// pack's total size; errors go to stderr with a non-zero exit status.
#include <chrono>
#include <cstdio>
#include <string>

#include "vpGenerator.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: vimrapack ASSETS_DIR FONT_DIR OUTPUT_FILE\n");
    return 2;
  }
  const auto start = std::chrono::steady_clock::now();
  vpGenerator generator(argv[1], argv[2]);
  std::string error;
  if (!generator.Run(&error)) {
    std::fprintf(stderr, "vimrapack: %s\n", error.c_str());
    return 1;
  }
  if (!generator.Pack().Write(argv[3])) {
    std::fprintf(stderr, "vimrapack: %s: cannot write the pack\n", argv[3]);
    return 1;
  }
  uint64_t total = 0;
  for (const vpPackEntry& e : generator.Pack().Entries()) {
    std::printf("%-24s %9llu -> %8llu\n", e.name.c_str(), (unsigned long long)e.rawSize,
                (unsigned long long)e.crunched.size());
    total += e.crunched.size();
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("%zu entries, %llu bytes of entries, written to %s in %.1f s\n",
              generator.Pack().Entries().size(), (unsigned long long)total, argv[3], seconds);
  return 0;
}
