// vimraicons: makes the desktop icons of the game from the title picture of a
// built resource pack.
//   vimraicons PACK OUTPUT_DIR SIZE...
// Writes OUTPUT_DIR/<SIZE>x<SIZE>/apps/vimra.png for every size (the layout
// of an icon theme folder): the square middle of the "vimra_logo" picture,
// which holds the fan of cards. Errors go to stderr with exit status 1,
// usage errors with status 2.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "data/kxMemoryBlock.h"
#include "data/kxResource.h"
#include "vimraPackKeys.h"
#include "vpPng.h"
#include "vpTga.h"

namespace {

const char kUsage[] = "usage: vimraicons PACK OUTPUT_DIR SIZE...\n";

bool LoadTitle(const char* packFile, vpImage* title) {
  kxResource pack;
  if (!pack.ReadFromFile(packFile)) return false;
  kxMemoryBlock* tga = kxDecrunchMemoryBlock(pack.Get(vimraKeyLogo));
  const bool ok = tga && vpDecodeTGA(tga->data, size_t(tga->size), title);
  kxFreeMemoryBlock(tga);
  return ok;
}

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (argc < 4) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  std::vector<int> sizes;
  for (int i = 3; i < argc; ++i) {
    char* end = nullptr;
    const long size = std::strtol(argv[i], &end, 10);
    if (*argv[i] == '\0' || *end != '\0' || size < 1 || size > 1024) {
      std::fprintf(stderr, "vimraicons: %s: not a size from 1 to 1024\n", argv[i]);
      return 2;
    }
    sizes.push_back(int(size));
  }
  vpImage title;
  if (!LoadTitle(argv[1], &title)) {
    std::fprintf(stderr, "vimraicons: %s: no readable %s picture\n", argv[1], vimraKeyLogo);
    return 1;
  }
  for (int size : sizes) {
    const std::string dir =
        std::string(argv[2]) + "/" + std::to_string(size) + "x" + std::to_string(size) + "/apps";
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    const std::vector<uint8_t> png = vpEncodePNG(vpSquareMiddle(title, size));
    if (ec || png.empty() || !WriteFile(dir + "/vimra.png", png)) {
      std::fprintf(stderr, "vimraicons: cannot write %s/vimra.png\n", dir.c_str());
      return 1;
    }
  }
  return 0;
}
