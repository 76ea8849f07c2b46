// Feeds arbitrary bytes to the mesh-block reader and then to a vertex array,
// which expands the faces without an OpenGL context (no buffers are made).
// A block is accepted only when its four sections fit, and the expanded
// mesh holds three corners for every face whose indices fit its lists.
#include <cstdlib>
#include <cstring>

#include "data/kxMemoryBlock.h"
#include "graphics/kxMeshReader.h"
#include "graphics/kxVertexArray.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  kxMemoryBlock* input = kxAllocMemoryBlock(size);
  if (!input) return 0;
  if (size) memcpy(input->data, data, size);
  kxMeshLists lists;
  if (kxReadMeshBlock(input->data, input->size, &lists)) {
    const uint64_t needed = 16 + 12 * lists.normalCount + 8 * lists.texCoordCount +
                            12 * lists.vertexCount + 36 * lists.faceCount;
    if (needed > size) abort();
    uint64_t fitting = 0;
    for (uint64_t i = 0; i < lists.faceCount; ++i)
      fitting +=
          kxFaceFits(&lists.faces[i], lists.vertexCount, lists.normalCount, lists.texCoordCount);
    kxVertexArray array(4);
    array.SetMoveToCenter(size & 1);
    array.LoadFromMemoryBlock(input);
    if (array.GetVertexArraySize() != 3 * fitting) abort();
    kxFreeMeshLists(&lists);
  } else {
    // A rejected block leaves the array as it was.
    kxVertexArray array(4);
    array.AppendVertex(1, 2, 3);
    array.LoadFromMemoryBlock(input);
    if (array.GetVertexArraySize() != 1 || array.GetVertexArray()[0][1] != 2) abort();
  }
  kxFreeMemoryBlock(input);
  return 0;
}
