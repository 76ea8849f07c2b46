#include "graphics/kxMeshReader.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "data/kxAlloc.h"
#include "data/kxLittleEndian.h"

namespace {

// A stored one-based index becomes zero-based; 0 and indices too large for
// the face record become -1, which no list accepts.
int32_t ZeroBased(uint32_t stored) {
  if (stored == 0 || stored - 1 > uint32_t(INT32_MAX)) return -1;
  return int32_t(stored - 1);
}

// Reads the count at `at` and checks that `recordSize` x count bytes follow.
bool Section(uint64_t size, uint64_t* at, const uint8_t* data, uint64_t recordSize,
             uint64_t* count) {
  if (size - *at < 4) return false;
  *count = kxLoadLE32(data + *at);
  *at += 4;
  if ((size - *at) / recordSize < *count) return false;
  return true;
}

// Integer as "%d" reads it: leading blanks skipped, optional sign, digits.
bool ReadIndex(const char** p, int32_t* out) {
  char* end = nullptr;
  errno = 0;
  long value = strtol(*p, &end, 10);
  if (end == *p || errno == ERANGE || value <= 0 || value > INT32_MAX) return false;
  *out = int32_t(value - 1);
  *p = end;
  return true;
}

bool ReadFace(const char* line, TFace_s* face) {
  const char* p = line + 1;
  for (int corner = 0; corner < 3; ++corner) {
    if (!ReadIndex(&p, &face->vertex[corner]) || *p++ != '/') return false;
    if (!ReadIndex(&p, &face->texCoord[corner]) || *p++ != '/') return false;
    if (!ReadIndex(&p, &face->normal[corner])) return false;
  }
  return true;
}

// An empty section holds no storage, as an empty list of the array does: the
// placeholder byte allocated for it is released.
template <typename T>
void DropIfEmpty(T** list, uint64_t count) {
  if (count) return;
  free(*list);
  *list = nullptr;
}

}  // namespace

void kxInitMeshLists(kxMeshLists* lists) {
  memset(lists, 0, sizeof *lists);
}

void kxFreeMeshLists(kxMeshLists* lists) {
  if (!lists) return;
  free(lists->normals);
  free(lists->texCoords);
  free(lists->vertices);
  free(lists->faces);
  kxInitMeshLists(lists);
}

bool kxReadMeshBlock(const uint8_t* data, uint64_t size, kxMeshLists* lists) {
  if (!lists) return false;
  kxInitMeshLists(lists);
  if (!data) return false;
  uint64_t at = 0, n = 0, t = 0, v = 0, f = 0;
  uint64_t normalsAt, texCoordsAt, verticesAt, facesAt;
  if (!Section(size, &at, data, 12, &n)) return false;
  normalsAt = at;
  at += 12 * n;
  if (!Section(size, &at, data, 8, &t)) return false;
  texCoordsAt = at;
  at += 8 * t;
  if (!Section(size, &at, data, 12, &v)) return false;
  verticesAt = at;
  at += 12 * v;
  if (!Section(size, &at, data, 36, &f)) return false;
  facesAt = at;

  kxMeshLists read;
  kxInitMeshLists(&read);
  read.normals = static_cast<float(*)[3]>(kxMalloc(n ? n * 12 : 1));
  read.texCoords = static_cast<float(*)[2]>(kxMalloc(t ? t * 8 : 1));
  read.vertices = static_cast<float(*)[3]>(kxMalloc(v ? v * 12 : 1));
  read.faces = static_cast<TFace_s*>(kxMalloc(f ? f * sizeof(TFace_s) : 1));
  if (!read.normals || !read.texCoords || !read.vertices || !read.faces) {
    kxFreeMeshLists(&read);
    return false;
  }
  for (uint64_t i = 0; i < n; ++i)
    for (int k = 0; k < 3; ++k) read.normals[i][k] = kxLoadLEF32(data + normalsAt + 12 * i + 4 * k);
  for (uint64_t i = 0; i < t; ++i)
    for (int k = 0; k < 2; ++k)
      read.texCoords[i][k] = kxLoadLEF32(data + texCoordsAt + 8 * i + 4 * k);
  for (uint64_t i = 0; i < v; ++i)
    for (int k = 0; k < 3; ++k)
      read.vertices[i][k] = kxLoadLEF32(data + verticesAt + 12 * i + 4 * k);
  for (uint64_t i = 0; i < f; ++i) {
    const uint8_t* r = data + facesAt + 36 * i;
    for (int k = 0; k < 3; ++k) {
      read.faces[i].vertex[k] = ZeroBased(kxLoadLE32(r + 4 * k));
      read.faces[i].normal[k] = ZeroBased(kxLoadLE32(r + 12 + 4 * k));
      read.faces[i].texCoord[k] = ZeroBased(kxLoadLE32(r + 24 + 4 * k));
    }
  }
  DropIfEmpty(&read.normals, n);
  DropIfEmpty(&read.texCoords, t);
  DropIfEmpty(&read.vertices, v);
  DropIfEmpty(&read.faces, f);
  read.normalCount = n;
  read.texCoordCount = t;
  read.vertexCount = v;
  read.faceCount = f;
  *lists = read;
  return true;
}

bool kxReadObjLine(const char* line, kxMeshLists* lists) {
  if (!line || !lists) return false;
  if (line[0] == 'v' && line[1] == 'n') {
    float x, y, z;
    if (sscanf(line, "vn %f %f %f", &x, &y, &z) != 3) return false;
    return kxAppendFloats(&lists->normals, &lists->normalCount, {x, y, z});
  }
  if (line[0] == 'v' && line[1] == 't') {
    float s, t;
    if (sscanf(line, "vt %f %f", &s, &t) != 2) return false;
    return kxAppendFloats(&lists->texCoords, &lists->texCoordCount, {s, t});
  }
  if (line[0] == 'v') {
    float x, y, z;
    if (sscanf(line, "v %f %f %f", &x, &y, &z) != 3) return false;
    return kxAppendFloats(&lists->vertices, &lists->vertexCount, {x, y, z});
  }
  if (line[0] == 'f') {
    TFace_s face;
    if (!ReadFace(line, &face)) return false;
    if (!kxGrowByOne(&lists->faces, lists->faceCount)) return false;
    lists->faces[lists->faceCount++] = face;
    return true;
  }
  return false;
}

uint64_t kxReadObjText(const char* text, size_t length, kxMeshLists* lists) {
  if (!text || !lists) return 0;
  uint64_t added = 0;
  char line[512];
  size_t at = 0;
  while (at < length) {
    size_t n = 0;
    while (n < sizeof line - 1 && at < length) {
      char c = text[at++];
      line[n++] = c;
      if (c == '\n') break;
    }
    line[n] = '\0';
    if (kxReadObjLine(line, lists)) ++added;
  }
  return added;
}

bool kxFaceFits(const TFace_s* face, uint64_t vertexCount, uint64_t normalCount,
                uint64_t texCoordCount) {
  if (!face) return false;
  for (int k = 0; k < 3; ++k) {
    if (face->vertex[k] < 0 || uint64_t(face->vertex[k]) >= vertexCount) return false;
    if (face->normal[k] < 0 || uint64_t(face->normal[k]) >= normalCount) return false;
    if (face->texCoord[k] < 0 || uint64_t(face->texCoord[k]) >= texCoordCount) return false;
  }
  return true;
}
