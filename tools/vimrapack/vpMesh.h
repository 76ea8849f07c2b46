// vpMesh: an indexed triangle mesh written as the engine's mesh block
// (normals, texture coordinates, positions, then faces of nine one-based
// indices; every number 32-bit little-endian). Owns its lists.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

class vpMesh {
 public:
  // Each Add returns the new element's one-based index, the form faces use.
  uint32_t AddNormal(float x, float y, float z);
  uint32_t AddTexCoord(float s, float t);
  uint32_t AddPosition(float x, float y, float z);
  // Corners in counter-clockwise order seen from outside.
  void AddFace(std::array<uint32_t, 3> positions, std::array<uint32_t, 3> normals,
               std::array<uint32_t, 3> texCoords);

  size_t NormalCount() const { return normals.size(); }
  size_t TexCoordCount() const { return texCoords.size(); }
  size_t PositionCount() const { return positions.size(); }
  size_t FaceCount() const { return faces.size(); }

  std::vector<uint8_t> Serialize() const;

 private:
  std::vector<std::array<float, 3>> normals;
  std::vector<std::array<float, 2>> texCoords;
  std::vector<std::array<float, 3>> positions;
  std::vector<std::array<uint32_t, 9>> faces;
};
