#include "graphics/kxVertexArray.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "data/kxAlloc.h"
#include "data/kxExpanded.h"
#include "data/kxMemoryBlock.h"
#include "data/kxStdioFile.h"
#include "graphics/kxMeshReader.h"
#include "graphics/kxTGA.h"
#include "graphics/kxTransform.h"
#include "render/kxRenderer.h"

namespace {

// Appends `extra` elements with one reallocation to the exact new length.
template <typename T>
bool AppendList(T** list, uint64_t* count, const T* extra, uint64_t extraCount) {
  if (!extraCount) return true;
  T* grown = static_cast<T*>(kxRealloc(*list, (*count + extraCount) * sizeof(T)));
  if (!grown) return false;
  memcpy(grown + *count, extra, extraCount * sizeof(T));
  *list = grown;
  *count += extraCount;
  return true;
}

}  // namespace

kxVertexArray::kxVertexArray(unsigned int mode)
    : mode(mode),
      vertices(nullptr),
      vertexCount(0),
      normals(nullptr),
      normalCount(0),
      texCoords(nullptr),
      texCoordCount(0),
      faces(nullptr),
      faceCount(0),
      colors(nullptr),
      colorCount(0),
      textureId(0),
      ownsTexture(false),
      scale(1.0f),
      angle{0, 0, 0},
      boundingBox{0, 0, 0, 0, 0, 0},
      color{1, 1, 1, 1},
      position{0, 0, 0},
      vertexBuffer(0),
      texCoordBuffer(0),
      normalBuffer(0),
      colorBuffer(0),
      vertexBufferMade(false),
      normalBufferMade(false),
      texCoordBufferMade(false),
      colorBufferMade(false),
      moveToCenter(false),
      clampTexture(false) {}

kxVertexArray* kxVertexArray::Create(unsigned int mode) {
  return new (std::nothrow) kxVertexArray(mode);
}

kxVertexArray::~kxVertexArray() {
  if (ownsTexture && textureId) kxGetRenderer()->DeleteTextures(1, &textureId);
  ReleaseBuffers();
  Clear();
}

void kxVertexArray::ReleaseBuffers() {
  // Without a loaded buffer API no buffer can have been made.
  kxRenderer* r = kxGetRenderer();
  if (!r->HasBuffers()) return;
  if (vertexBufferMade) r->DeleteBuffer(vertexBuffer), vertexBuffer = 0;
  if (texCoordBufferMade) r->DeleteBuffer(texCoordBuffer), texCoordBuffer = 0;
  if (normalBufferMade) r->DeleteBuffer(normalBuffer), normalBuffer = 0;
  if (colorBufferMade) r->DeleteBuffer(colorBuffer), colorBuffer = 0;
  vertexBufferMade = normalBufferMade = texCoordBufferMade = colorBufferMade = false;
}

void kxVertexArray::AppendVertex(float x, float y, float z) {
  // When memory runs out the element is dropped.
  (void)kxAppendFloats(&vertices, &vertexCount, {x, y, z});
}

void kxVertexArray::AppendVertex(float (*v)[3]) {
  if (v) AppendVertex((*v)[0], (*v)[1], (*v)[2]);
}

void kxVertexArray::AppendNormal(float x, float y, float z) {
  (void)kxAppendFloats(&normals, &normalCount, {x, y, z});
}

void kxVertexArray::AppendNormal(float (*n)[3]) {
  if (n) AppendNormal((*n)[0], (*n)[1], (*n)[2]);
}

void kxVertexArray::AppendTexCoord(float s, float t) {
  (void)kxAppendFloats(&texCoords, &texCoordCount, {s, t});
}

void kxVertexArray::AppendTexCoord(float (*t)[2]) {
  if (t) AppendTexCoord((*t)[0], (*t)[1]);
}

void kxVertexArray::AppendColor(float r, float g, float b, float a) {
  (void)kxAppendFloats(&colors, &colorCount, {r, g, b, a});
}

void kxVertexArray::AppendColor(float* const rgba) {
  if (rgba) AppendColor(rgba[0], rgba[1], rgba[2], rgba[3]);
}

void kxVertexArray::AppendFace(TFace_s* face) {
  if (!face || !kxGrowByOne(&faces, faceCount)) return;
  faces[faceCount++] = *face;
}

void kxVertexArray::Clear() {
  free(vertices);
  free(normals);
  free(texCoords);
  free(faces);
  free(colors);
  vertices = nullptr;
  normals = nullptr;
  texCoords = nullptr;
  faces = nullptr;
  colors = nullptr;
  vertexCount = normalCount = texCoordCount = faceCount = colorCount = 0;
}

void kxVertexArray::CreateVBO() {
  kxRenderer* r = kxGetRenderer();
  if (!r->HasBuffers()) return;  // no context: nothing can be uploaded
  ReleaseBuffers();
  vertexBuffer = r->CreateBuffer(vertices, vertexCount * sizeof *vertices);
  vertexBufferMade = true;
  if (texCoords) {
    texCoordBuffer = r->CreateBuffer(texCoords, texCoordCount * sizeof *texCoords);
    texCoordBufferMade = true;
  }
  if (normals) {
    normalBuffer = r->CreateBuffer(normals, normalCount * sizeof *normals);
    normalBufferMade = true;
  }
  if (colors) {
    colorBuffer = r->CreateBuffer(colors, colorCount * sizeof *colors);
    colorBufferMade = true;
  }
}

kxDrawBuffers_s kxVertexArray::TexturedBuffers() const {
  return kxDrawBuffers_s{vertexBuffer, normalBuffer, texCoordBuffer, 0};
}

void kxVertexArray::PlaceAndDraw(const kxDrawBuffers_s& buffers, bool flatColor) {
  kxRenderer* r = kxGetRenderer();
  r->PushMatrix();
  r->Translate(position[0], position[1], position[2]);
  r->Rotate(angle[0], 1, 0, 0);
  r->Rotate(angle[1], 0, 1, 0);
  r->Rotate(angle[2], 0, 0, 1);
  r->Scale(scale, scale, scale);
  if (flatColor) r->SetColor(color.r, color.g, color.b, color.a);
  r->DrawArrays(TPrimitive(mode), buffers, 0, int(vertexCount));
  r->PopMatrix();
}

void kxVertexArray::Draw() {
  if (!vertexBuffer) return;
  kxRenderer* r = kxGetRenderer();
  r->Enable(rsTexture);
  r->BindTexture(textureId);
  PlaceAndDraw(TexturedBuffers(), true);
  r->Disable(rsTexture);
}

void kxVertexArray::DrawColor() {
  if (!vertexBuffer) return;
  PlaceAndDraw(kxDrawBuffers_s{vertexBuffer, 0, 0, colorBuffer}, false);
}

void kxVertexArray::SetPosition(float x, float y, float z) {
  position[0] = x, position[1] = y, position[2] = z;
}

void kxVertexArray::SetPosition(float (*p)[3]) {
  if (p) SetPosition((*p)[0], (*p)[1], (*p)[2]);
}

void kxVertexArray::GetCenter(float* const out) {
  memcpy(out, position, sizeof position);
}
void kxVertexArray::SetAngle(float* const a) {
  memcpy(angle, a, sizeof angle);
}
void kxVertexArray::GetAngle(float* const out) {
  memcpy(out, angle, sizeof angle);
}
void kxVertexArray::SetScale(float s) {
  scale = s;
}
float kxVertexArray::GetScale() {
  return scale;
}

void kxVertexArray::SetColor(float r, float g, float b, float a) {
  color = kxRGBAf_s{r, g, b, a};
  if (!colorCount) return;
  for (uint64_t i = 0; i < colorCount; ++i) {
    colors[i][0] = r, colors[i][1] = g, colors[i][2] = b, colors[i][3] = a;
  }
  if (colorBuffer) kxGetRenderer()->UpdateBuffer(colorBuffer, colors, colorCount * sizeof *colors);
}

void kxVertexArray::SetAlpha(float a) {
  color.a = a;
  for (uint64_t i = 0; i < colorCount; ++i) colors[i][3] = a;
}

kxRGBAf_s* kxVertexArray::GetColor() {
  return &color;
}

void kxVertexArray::CalculateBB() {
  if (!vertexCount) {
    memset(boundingBox, 0, sizeof boundingBox);
    return;
  }
  float low[3], high[3];
  memcpy(low, vertices[0], sizeof low);
  memcpy(high, vertices[0], sizeof high);
  for (uint64_t i = 1; i < vertexCount; ++i) {
    for (int k = 0; k < 3; ++k) {
      if (vertices[i][k] < low[k]) {
        low[k] = vertices[i][k];
      } else if (vertices[i][k] > high[k]) {
        high[k] = vertices[i][k];
      }
    }
  }
  memcpy(boundingBox, low, sizeof low);
  memcpy(boundingBox + 3, high, sizeof high);
  if (moveToCenter) MoveToCenter();
}

void kxVertexArray::SetMoveToCenter(bool on) {
  moveToCenter = on;
}

void kxVertexArray::MoveToCenter() {
  float centre[3];
  for (int k = 0; k < 3; ++k) centre[k] = (boundingBox[k] + boundingBox[k + 3]) * 0.5f;
  memcpy(position, centre, sizeof centre);
  for (int k = 0; k < 3; ++k) {
    boundingBox[k] -= centre[k];
    boundingBox[k + 3] -= centre[k];
  }
  MoveMatrix(vertices, -centre[0], -centre[1], -centre[2], size_t(vertexCount));
}

void kxVertexArray::AdoptTexture(unsigned int id) {
  if (!id) return;
  if (ownsTexture && textureId && textureId != id) kxGetRenderer()->DeleteTextures(1, &textureId);
  textureId = id;
  ownsTexture = true;
  if (clampTexture) kxGetRenderer()->SetTextureClamp(id, true);
}

void kxVertexArray::TextureFromFile(const char* path) {
  kxMemoryBlock* file = kxReadStdioFile(path);
  if (!file) return;
  AdoptTexture(TextureFromMemoryBlockTGA(file));
  kxFreeMemoryBlock(file);
}

void kxVertexArray::TextureFromCrunchedMemoryBlock(kxMemoryBlock* block) {
  AdoptTexture(TextureFromCrunchedMemoryBlockTGA(block));
}

void kxVertexArray::SetTextureID(unsigned int id) {
  // The name is borrowed. A texture the array made itself is released first:
  // kept as owned, the destructor would leak it and delete the lender's.
  if (id == textureId) return;
  if (ownsTexture && textureId) kxGetRenderer()->DeleteTextures(1, &textureId);
  textureId = id;
  ownsTexture = false;
}
unsigned int kxVertexArray::GetTextureID() {
  return textureId;
}
unsigned int kxVertexArray::GetVertexBuffer() {
  return vertexBuffer;
}
void kxVertexArray::SetVertexBuffer(unsigned int buffer) {
  Borrow(&vertexBuffer, &vertexBufferMade, buffer);
}
unsigned int kxVertexArray::GetTexCoordBuffer() {
  return texCoordBuffer;
}
void kxVertexArray::SetTexCoordBuffer(unsigned int buffer) {
  Borrow(&texCoordBuffer, &texCoordBufferMade, buffer);
}
unsigned int kxVertexArray::GetNormalBuffer() {
  return normalBuffer;
}
void kxVertexArray::SetNormalBuffer(unsigned int buffer) {
  Borrow(&normalBuffer, &normalBufferMade, buffer);
}

void kxVertexArray::Borrow(unsigned int* slot, bool* made, unsigned int borrowed) {
  if (*slot == borrowed) return;  // still our own buffer if it was
  // The array's own buffer is about to be dropped; nobody else would ever
  // delete it. The borrowed name is never deleted by this array.
  if (*made && *slot) kxGetRenderer()->DeleteBuffer(*slot);
  *made = false;
  *slot = borrowed;
}

void kxVertexArray::AssignGeometry(kxVertexArray* source) {
  if (!source) return;
  SetVertexBuffer(source->vertexBuffer);
  SetTexCoordBuffer(source->texCoordBuffer);
  SetNormalBuffer(source->normalBuffer);
  vertexCount = source->vertexCount;
}

float (*kxVertexArray::GetVertexArray())[3] {
  return vertices;
}
float (*kxVertexArray::GetNormalArray())[3] {
  return normals;
}
float (*kxVertexArray::GetTexCoordArray())[2] {
  return texCoords;
}
unsigned long long kxVertexArray::GetVertexArraySize() {
  return vertexCount;
}

bool kxVertexArray::LoadMeshBytes(const uint8_t* data, uint64_t size) {
  kxMeshLists lists;
  if (!kxReadMeshBlock(data, size, &lists)) return false;
  Clear();
  vertices = lists.vertices, vertexCount = lists.vertexCount;
  normals = lists.normals, normalCount = lists.normalCount;
  texCoords = lists.texCoords, texCoordCount = lists.texCoordCount;
  faces = lists.faces, faceCount = lists.faceCount;
  CreateFaces();
  return true;
}

void kxVertexArray::LoadFromMemoryBlock(kxMemoryBlock* block) {
  if (block) LoadMeshBytes(block->data, block->size);
}

bool kxVertexArray::LoadFromCrunchedMemoryBlock(kxMemoryBlock* block) {
  return kxUseExpanded(block, false, [this](const kxMemoryBlock* mesh) {
    return LoadMeshBytes(mesh->data, mesh->size);
  });
}

bool kxVertexArray::LoadFromCrunchedFile(const char* path) {
  return kxUseAndFree(kxReadStdioFile(path), [this](kxMemoryBlock* crunched) {
    return LoadFromCrunchedMemoryBlock(crunched);
  });
}

bool kxVertexArray::LoadFromObjFile(const char* path) {
  if (!path) return false;
  FILE* file = fopen(path, "r");
  if (!file) return false;
  kxMeshLists lists;
  kxInitMeshLists(&lists);
  char line[512];
  while (fgets(line, sizeof line, file)) kxReadObjLine(line, &lists);
  fclose(file);
  AppendList(&normals, &normalCount, lists.normals, lists.normalCount);
  AppendList(&texCoords, &texCoordCount, lists.texCoords, lists.texCoordCount);
  AppendList(&vertices, &vertexCount, lists.vertices, lists.vertexCount);
  AppendList(&faces, &faceCount, lists.faces, lists.faceCount);
  kxFreeMeshLists(&lists);
  CreateFaces();
  return true;
}

void kxVertexArray::CreateFaces() {
  float(*oldVertices)[3] = vertices;
  float(*oldNormals)[3] = normals;
  float(*oldTexCoords)[2] = texCoords;
  TFace_s* oldFaces = faces;
  uint64_t oldVertexCount = vertexCount, oldNormalCount = normalCount;
  uint64_t oldTexCoordCount = texCoordCount, oldFaceCount = faceCount;
  vertices = nullptr, normals = nullptr, texCoords = nullptr, faces = nullptr;
  Clear();

  // Faces reaching outside their lists are skipped, so the expanded lists
  // are sized by the faces that fit.
  uint64_t kept = 0;
  for (uint64_t i = 0; i < oldFaceCount; ++i)
    if (kxFaceFits(&oldFaces[i], oldVertexCount, oldNormalCount, oldTexCoordCount)) ++kept;
  if (kept) {
    vertices = static_cast<float(*)[3]>(kxMalloc(kept * 3 * sizeof *vertices));
    normals = static_cast<float(*)[3]>(kxMalloc(kept * 3 * sizeof *normals));
    texCoords = static_cast<float(*)[2]>(kxMalloc(kept * 3 * sizeof *texCoords));
    if (!vertices || !normals || !texCoords) {
      Clear();
      kept = 0;
    }
  }
  uint64_t at = 0;
  for (uint64_t i = 0; i < oldFaceCount && kept; ++i) {
    const TFace_s& f = oldFaces[i];
    if (!kxFaceFits(&f, oldVertexCount, oldNormalCount, oldTexCoordCount)) continue;
    for (int k = 0; k < 3; ++k, ++at) {
      memcpy(vertices[at], oldVertices[f.vertex[k]], sizeof *vertices);
      memcpy(normals[at], oldNormals[f.normal[k]], sizeof *normals);
      memcpy(texCoords[at], oldTexCoords[f.texCoord[k]], sizeof *texCoords);
    }
  }
  vertexCount = normalCount = texCoordCount = at;
  free(oldVertices);
  free(oldNormals);
  free(oldTexCoords);
  free(oldFaces);
  CalculateBB();
  CreateVBO();
}
