// Feeds arbitrary text to the OBJ reader twice: from the buffer, and through
// a temporary file loaded by a vertex array (no OpenGL context, so no buffers
// are made). Both must agree: three corners for every face that fits.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "graphics/kxMeshReader.h"
#include "graphics/kxVertexArray.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  kxMeshLists lists;
  kxInitMeshLists(&lists);
  kxReadObjText(reinterpret_cast<const char*>(data), size, &lists);
  uint64_t fitting = 0;
  for (uint64_t i = 0; i < lists.faceCount; ++i)
    fitting +=
        kxFaceFits(&lists.faces[i], lists.vertexCount, lists.normalCount, lists.texCoordCount);
  kxFreeMeshLists(&lists);

  static const std::string path = "/tmp/kxObjFuzz_" + std::to_string(getpid()) + ".obj";
  FILE* f = fopen(path.c_str(), "wb");
  if (!f) return 0;
  const bool written = fwrite(data, 1, size, f) == size;
  fclose(f);
  if (!written) return 0;
  kxVertexArray array(4);
  if (!array.LoadFromObjFile(path.c_str())) abort();
  if (array.GetVertexArraySize() != 3 * fitting) abort();
  remove(path.c_str());
  return 0;
}
