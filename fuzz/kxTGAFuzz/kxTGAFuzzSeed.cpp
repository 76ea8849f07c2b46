// Writes small TGA images of both encodings and depths into argv[1].
#include <string>
#include <vector>

#include "data/kxMemoryBlock.h"

namespace {

std::vector<uint8_t> Header(uint8_t type, uint8_t w, uint8_t h, uint8_t depth) {
  std::vector<uint8_t> t(18, 0);
  t[2] = type;
  t[12] = w;
  t[14] = h;
  t[16] = depth;
  return t;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  std::vector<std::vector<uint8_t>> seeds;
  std::vector<uint8_t> raw24 = Header(2, 2, 1, 24);
  raw24.insert(raw24.end(), {0, 0, 255, 255, 0, 0});
  seeds.push_back(raw24);
  std::vector<uint8_t> raw32 = Header(2, 1, 2, 32);
  raw32.insert(raw32.end(), {10, 20, 30, 40, 50, 60, 70, 80});
  seeds.push_back(raw32);
  std::vector<uint8_t> rle24 = Header(10, 5, 2, 24);
  rle24.insert(rle24.end(), {131, 1, 2, 3, 2, 4, 5, 6, 7, 8, 9, 10, 11, 12, 255, 1, 1, 1});
  seeds.push_back(rle24);
  std::vector<uint8_t> rle32 = Header(10, 3, 3, 32);
  rle32.insert(rle32.end(), {127, 1, 2, 3, 4, 136, 9, 9, 9, 9});
  seeds.push_back(rle32);
  int n = 0;
  for (const auto& s : seeds) {
    kxMemoryBlock* b = kxAllocMemoryBlock(s.size());
    if (!b) return 1;
    for (size_t i = 0; i < s.size(); ++i) b->data[i] = s[i];
    const std::string name = std::string(argv[1]) + "/seed" + std::to_string(n++);
    const bool ok = kxWriteMemoryBlock(name.c_str(), b);
    kxFreeMemoryBlock(b);
    if (!ok) return 1;
  }
  return 0;
}
