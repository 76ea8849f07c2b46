// Writes a few mesh blocks (a triangle, a quad, an empty mesh) into argv[1].
#include <cstring>
#include <string>
#include <vector>

#include "data/kxMemoryBlock.h"

namespace {

void U32(std::vector<uint8_t>* b, uint32_t v) {
  for (int i = 0; i < 4; ++i) b->push_back(uint8_t(v >> (8 * i)));
}
void F32(std::vector<uint8_t>* b, float f) {
  uint32_t v;
  memcpy(&v, &f, 4);
  U32(b, v);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  std::vector<std::vector<uint8_t>> seeds(3);
  // Triangle: 1 normal, 3 texture coordinates, 3 positions, 1 face.
  std::vector<uint8_t>& t = seeds[0];
  U32(&t, 1), F32(&t, 0), F32(&t, 0), F32(&t, 1);
  U32(&t, 3);
  for (float f : {0.f, 0.f, 1.f, 0.f, 0.f, 1.f}) F32(&t, f);
  U32(&t, 3);
  for (float f : {1.f, 2.f, 3.f, 4.f, 5.f, 6.f, 7.f, 8.f, 9.f}) F32(&t, f);
  U32(&t, 1);
  for (uint32_t i : {1u, 2u, 3u, 1u, 1u, 1u, 1u, 2u, 3u}) U32(&t, i);
  // Quad: two faces sharing positions.
  std::vector<uint8_t>& q = seeds[1];
  U32(&q, 1), F32(&q, 0), F32(&q, 0), F32(&q, 1);
  U32(&q, 1), F32(&q, 0.5f), F32(&q, 0.5f);
  U32(&q, 4);
  for (float f : {0.f, 0.f, 0.f, 1.f, 0.f, 0.f, 1.f, 1.f, 0.f, 0.f, 1.f, 0.f}) F32(&q, f);
  U32(&q, 2);
  for (uint32_t i : {1u, 2u, 3u, 1u, 1u, 1u, 1u, 1u, 1u, 1u, 3u, 4u, 1u, 1u, 1u, 1u, 1u, 1u})
    U32(&q, i);
  std::vector<uint8_t>& e = seeds[2];
  for (int i = 0; i < 4; ++i) U32(&e, 0);
  int n = 0;
  for (const auto& s : seeds) {
    kxMemoryBlock* b = kxAllocMemoryBlock(s.size());
    if (!b) return 1;
    memcpy(b->data, s.data(), s.size());
    const std::string name = std::string(argv[1]) + "/seed" + std::to_string(n++);
    const bool ok = kxWriteMemoryBlock(name.c_str(), b);
    kxFreeMemoryBlock(b);
    if (!ok) return 1;
  }
  return 0;
}
