/// \file
/// GL-free readers of the two mesh forms: the binary mesh block and the
/// Wavefront OBJ subset. They fill a kxMeshLists; kxVertexArray appends the
/// lists and expands the faces.
///
/// Ownership: the lists are malloc'ed and belong to the kxMeshLists, released
/// with kxFreeMeshLists.
#pragma once

#include <cstddef>

#include "graphics/kxVertexArray.h"
#include "kxExport.h"
#include "kxTypes.h"

/// The lists a mesh reader fills: malloc'ed, released with kxFreeMeshLists.
struct kxMeshLists {
  float (*normals)[3];     ///< unit normals
  uint64_t normalCount;    ///< entries of normals
  float (*texCoords)[2];   ///< texture coordinates (u, v)
  uint64_t texCoordCount;  ///< entries of texCoords
  float (*vertices)[3];    ///< positions
  uint64_t vertexCount;    ///< entries of vertices
  TFace_s* faces;          ///< zero-based indices; -1 where the block stored 0
  uint64_t faceCount;      ///< entries of faces
};

/// Empties the record without freeing anything (for a fresh one); not null.
KX_API void kxInitMeshLists(kxMeshLists* lists);
/// Frees the lists and empties the record. Null is ignored.
KX_API void kxFreeMeshLists(kxMeshLists* lists);

/// Reads a mesh block (counts and records of normals, texture coordinates,
/// positions and faces, little-endian). False, with `lists` left empty, when
/// the block is null, shorter than its four counts and their records say, or
/// memory runs out. Face indices are stored minus one and not checked here.
[[nodiscard]] KX_API bool kxReadMeshBlock(const uint8_t* data, uint64_t size, kxMeshLists* lists);

/// Handles one OBJ line (at most 511 characters, NUL-terminated), appending
/// what it states to `lists`. Returns true when the line added an element.
/// Only face lines of three full p/t/n corners with positive indices are
/// accepted; their indices are stored minus one and checked against the lists
/// when the faces are expanded, since a file may index lists it extends.
/// Lines of a recognised kind whose numbers do not all parse are skipped.
KX_API bool kxReadObjLine(const char* line, kxMeshLists* lists);

/// Splits text into lines the way a 512-byte fgets would (a longer line in
/// pieces) and hands each to kxReadObjLine. Returns the number of elements
/// added.
KX_API uint64_t kxReadObjText(const char* text, size_t length, kxMeshLists* lists);

/// True when every index of the face lies within the given list lengths.
KX_API bool kxFaceFits(const TFace_s* face, uint64_t vertexCount, uint64_t normalCount,
                       uint64_t texCoordCount);
