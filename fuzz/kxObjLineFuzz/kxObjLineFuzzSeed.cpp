// Copies the OBJ files of the graphics tests (as exporters write them) into
// argv[1], the large ones cut to their first 4 KiB of whole lines (inputs of
// many lines are slow to fuzz and add nothing a few lines do not), plus a
// few lines of number forms a C reader takes.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace fs = std::filesystem;

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  const fs::path dir = argv[1];
  std::error_code error;
  int copied = 0;
  for (const auto& entry : fs::directory_iterator(KX_OBJ_SEED_DIR, error)) {
    if (entry.path().extension() != ".obj") continue;
    std::ifstream in(entry.path(), std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (text.size() > 4096) text.erase(text.rfind('\n', 4096) + 1);
    std::ofstream out(dir / entry.path().filename(), std::ios::binary);
    out << text;
    if (!out) return 1;
    ++copied;
  }
  FILE* f = fopen((dir / "numbers").c_str(), "wb");
  if (!f) return 1;
  fputs(
      "v 1e-45 -0 3.4028235e38\nv 0x1p-3 .5 5.\nvn nan inf -infinity\nvt 1e400 -1e-400\n"
      "v  +1.5\t-2.25e+2 7\nf 2147483647/1/1 1/1/1 1/1/1\nf 1/1/1 2/2/2 3/3/3 4/4/4\n",
      f);
  return fclose(f) == 0 && copied > 0 ? 0 : 1;
}
