// Feeds arbitrary text to the OBJ line reader, line by line as a file is
// read. Every line adds at most one element, to the list its first letters
// name, and only when the reader says so; what it added, printed back in the
// form the reader takes (numbers to nine significant digits, indices one-
// based), reads back to the very same element.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "graphics/kxMeshReader.h"

namespace {

bool SameFloat(float a, float b) {
  return (std::isnan(a) && std::isnan(b)) || memcmp(&a, &b, sizeof a) == 0;
}

bool Same(const float* a, const float* b, int n) {
  for (int i = 0; i < n; ++i)
    if (!SameFloat(a[i], b[i])) return false;
  return true;
}

// Whether a list of `count` points of N floats holds one, the same as the
// last of the `fromCount` in `from`.
template <int N>
bool OneLikeTheLast(const float (*list)[N], uint64_t count, const float (*from)[N],
                    uint64_t fromCount) {
  return count == 1 && Same(list[0], from[fromCount - 1], N);
}

// Reads `line` into fresh lists and checks the one element it adds against
// `expected` (a line printed from an element read before).
void ExpectReadsBackTo(const char* line, const kxMeshLists& from, char kind) {
  kxMeshLists again;
  kxInitMeshLists(&again);
  if (!kxReadObjLine(line, &again)) abort();
  bool same = true;
  switch (kind) {
    case 'v':
      same = OneLikeTheLast(again.vertices, again.vertexCount, from.vertices, from.vertexCount);
      break;
    case 'n':
      same = OneLikeTheLast(again.normals, again.normalCount, from.normals, from.normalCount);
      break;
    case 't':
      same =
          OneLikeTheLast(again.texCoords, again.texCoordCount, from.texCoords, from.texCoordCount);
      break;
    case 'f':
      same = again.faceCount == 1 &&
             memcmp(&again.faces[0], &from.faces[from.faceCount - 1], sizeof(TFace_s)) == 0;
      break;
  }
  if (!same) abort();
  kxFreeMeshLists(&again);
}

void CheckLine(const char* line, kxMeshLists* lists) {
  const uint64_t before[4] = {lists->vertexCount, lists->normalCount, lists->texCoordCount,
                              lists->faceCount};
  const bool added = kxReadObjLine(line, lists);
  const uint64_t after[4] = {lists->vertexCount, lists->normalCount, lists->texCoordCount,
                             lists->faceCount};
  int grown = -1;
  for (int i = 0; i < 4; ++i) {
    if (after[i] == before[i]) continue;
    if (after[i] != before[i] + 1 || grown >= 0) abort();
    grown = i;
  }
  if (added != (grown >= 0)) abort();
  if (!added) return;

  // The list grown is the one the line's first letters name.
  const char kind = line[0] == 'f' ? 'f' : (line[1] == 'n' ? 'n' : (line[1] == 't' ? 't' : 'v'));
  const int expectedList = kind == 'v' ? 0 : kind == 'n' ? 1 : kind == 't' ? 2 : 3;
  if (line[0] != 'v' && line[0] != 'f') abort();
  if (grown != expectedList) abort();

  char printed[256];
  if (kind == 'f') {
    const TFace_s& f = lists->faces[lists->faceCount - 1];
    for (int k = 0; k < 3; ++k)
      if (f.vertex[k] < 0 || f.normal[k] < 0 || f.texCoord[k] < 0) abort();
    snprintf(printed, sizeof printed, "f %d/%d/%d %d/%d/%d %d/%d/%d", f.vertex[0] + 1,
             f.texCoord[0] + 1, f.normal[0] + 1, f.vertex[1] + 1, f.texCoord[1] + 1,
             f.normal[1] + 1, f.vertex[2] + 1, f.texCoord[2] + 1, f.normal[2] + 1);
  } else if (kind == 't') {
    const float* t = lists->texCoords[lists->texCoordCount - 1];
    snprintf(printed, sizeof printed, "vt %.9g %.9g", t[0], t[1]);
  } else {
    const float* p = kind == 'n' ? lists->normals[lists->normalCount - 1]
                                 : lists->vertices[lists->vertexCount - 1];
    snprintf(printed, sizeof printed, kind == 'n' ? "vn %.9g %.9g %.9g" : "v %.9g %.9g %.9g", p[0],
             p[1], p[2]);
  }
  ExpectReadsBackTo(printed, *lists, kind);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  kxMeshLists lists;
  kxInitMeshLists(&lists);
  // Lines as a 512-byte fgets gives them: at most 511 characters, the
  // newline kept, a longer line in pieces.
  char line[512];
  size_t at = 0;
  while (at < size) {
    size_t n = 0;
    while (n < sizeof line - 1 && at < size) {
      const char c = char(data[at++]);
      line[n++] = c;
      if (c == '\n') break;
    }
    line[n] = '\0';
    CheckLine(line, &lists);
  }
  kxFreeMeshLists(&lists);
  return 0;
}
