#include "vpMesh.h"

#include <cstring>

namespace {

void Put(std::vector<uint8_t>* out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out->push_back(uint8_t(v >> (8 * i)));
}

void Put(std::vector<uint8_t>* out, float f) {
  uint32_t u;
  std::memcpy(&u, &f, 4);
  Put(out, u);
}

// One section of the block: its record count, then every record's values.
template <typename T, size_t N>
void PutSection(std::vector<uint8_t>* out, const std::vector<std::array<T, N>>& records) {
  Put(out, uint32_t(records.size()));
  for (const auto& record : records)
    for (T value : record) Put(out, value);
}

}  // namespace

uint32_t vpMesh::AddNormal(float x, float y, float z) {
  normals.push_back({x, y, z});
  return uint32_t(normals.size());
}

uint32_t vpMesh::AddTexCoord(float s, float t) {
  texCoords.push_back({s, t});
  return uint32_t(texCoords.size());
}

uint32_t vpMesh::AddPosition(float x, float y, float z) {
  positions.push_back({x, y, z});
  return uint32_t(positions.size());
}

void vpMesh::AddFace(std::array<uint32_t, 3> p, std::array<uint32_t, 3> n,
                     std::array<uint32_t, 3> t) {
  faces.push_back({p[0], p[1], p[2], n[0], n[1], n[2], t[0], t[1], t[2]});
}

std::vector<uint8_t> vpMesh::Serialize() const {
  std::vector<uint8_t> out;
  PutSection(&out, normals);
  PutSection(&out, texCoords);
  PutSection(&out, positions);
  PutSection(&out, faces);
  return out;
}
