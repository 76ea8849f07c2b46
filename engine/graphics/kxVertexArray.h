/// \file
/// Declares kxVertexArray.

/// \class kxVertexArray
/// kxVertexArray: the engine's one drawable. A mesh held as plain lists in
/// main memory, uploaded into buffer objects and drawn through the renderer
/// under its own position, angles, scale, colour and texture.
///
/// Ownership: the array owns its five lists, its texture when it made the
/// texture itself (or ownsTexture was already set), and every buffer its own
/// CreateVBO made. Buffer names installed with the Set...Buffer calls or
/// AssignGeometry are borrowed and never deleted; installing one in place of
/// a buffer the array made deletes that buffer.
#pragma once

#include "kxExport.h"
#include "kxTypes.h"

struct kxMemoryBlock;
struct kxDrawBuffers_s;

/// One triangle of an indexed mesh: zero-based indices into the vertex,
/// normal and texture-coordinate lists, one per corner.
struct TFace_s {
  int32_t vertex[3];
  int32_t normal[3];
  int32_t texCoord[3];
};

/// A colour: red, green, blue and alpha, each 0..1.
struct kxRGBAf_s {
  float r;  ///< red
  float g;  ///< green
  float b;  ///< blue
  float a;  ///< alpha (opacity)
};

class KX_API kxVertexArray {
 public:
  KX_NO_COPY(kxVertexArray);

  explicit kxVertexArray(unsigned int mode);
  /// Null when allocation fails; delete through the virtual destructor.
  [[nodiscard]] static kxVertexArray* Create(unsigned int mode);
  virtual ~kxVertexArray();

  /// Textured drawing: positions, texture coordinates and normals, one flat
  /// colour. A missing texture-coordinate or normal buffer leaves that client
  /// array disabled; without a vertex buffer nothing is drawn.
  virtual void Draw();
  /// Per-vertex colours, no texture. Without a colour buffer the colour array
  /// stays disabled and the current colour applies.
  virtual void DrawColor();

  /// Each append grows its list by exactly one element (storage may move).
  void AppendVertex(float x, float y, float z);
  void AppendVertex(float (*v)[3]);
  void AppendNormal(float x, float y, float z);
  void AppendNormal(float (*n)[3]);
  void AppendTexCoord(float s, float t);
  void AppendTexCoord(float (*t)[2]);
  void AppendColor(float r, float g, float b, float a);
  void AppendColor(float* const rgba);
  void AppendFace(TFace_s* face);
  /// Frees the five lists; GL objects, texture, placement and colour stay.
  void Clear();
  /// Uploads the lists into new buffer objects, first releasing the buffers
  /// an earlier CreateVBO of this array made.
  void CreateVBO();

  void SetPosition(float x, float y, float z);
  void SetPosition(float (*p)[3]);
  void GetCenter(float* const out);
  void SetAngle(float* const a);
  void GetAngle(float* const out);
  void SetScale(float s);
  float GetScale();

  void SetColor(float r, float g, float b, float a);
  void SetAlpha(float a);
  /// The array's own colour record; writes through it change what Draw uses.
  kxRGBAf_s* GetColor();

  /// Bounding box of the vertex list; with no vertices the box is all zero.
  void CalculateBB();
  void SetMoveToCenter(bool on);

  /// Both load a TGA texture the array then owns, deleting a texture it owned
  /// before. On failure the texture is left as it was. The texture repeats
  /// (TGA upload), except in arrays that clamp (textured boxes).
  void TextureFromFile(const char* path);
  void TextureFromCrunchedMemoryBlock(kxMemoryBlock* block);
  void SetTextureID(unsigned int id);
  unsigned int GetTextureID();

  unsigned int GetVertexBuffer();
  void SetVertexBuffer(unsigned int buffer);
  unsigned int GetTexCoordBuffer();
  void SetTexCoordBuffer(unsigned int buffer);
  unsigned int GetNormalBuffer();
  void SetNormalBuffer(unsigned int buffer);
  /// Borrows source's vertex, texture-coordinate and normal buffers and its
  /// vertex count; source must outlive this array's drawing.
  void AssignGeometry(kxVertexArray* source);

  /// List storage, null when empty; valid until the list next changes.
  float (*GetVertexArray())[3];
  float (*GetNormalArray())[3];
  float (*GetTexCoordArray())[2];
  unsigned long long GetVertexArraySize();

  /// Mesh loading. Blocks are only read. A mesh block whose counts do not fit
  /// its size is rejected whole and the array keeps its contents. A face with
  /// an index that is 0 (stored one-based) or beyond its list is skipped; the
  /// other faces load.
  void LoadFromMemoryBlock(kxMemoryBlock* block);
  /// False when the block does not expand or the mesh block is rejected; the
  /// array is then unchanged.
  [[nodiscard]] bool LoadFromCrunchedMemoryBlock(kxMemoryBlock* block);
  /// False when the file cannot be read whole, expanded or loaded (unchanged).
  [[nodiscard]] bool LoadFromCrunchedFile(const char* path);
  /// Appends the file's statements to the current lists, then expands the
  /// faces. Face lines other than three full p/t/n corners, indices of 0 or
  /// below (relative indices are not supported), and lines whose numbers do
  /// not all parse are skipped. False only when the file cannot be opened.
  [[nodiscard]] bool LoadFromObjFile(const char* path);

 protected:
  unsigned int mode;
  float (*vertices)[3];
  uint64_t vertexCount;
  float (*normals)[3];
  uint64_t normalCount;
  float (*texCoords)[2];
  uint64_t texCoordCount;
  TFace_s* faces;
  uint64_t faceCount;
  float (*colors)[4];
  uint64_t colorCount;
  unsigned int textureId;
  bool ownsTexture;
  float scale;
  float angle[3];
  float boundingBox[6];
  kxRGBAf_s color;
  float position[3];
  unsigned int vertexBuffer;
  unsigned int texCoordBuffer;
  unsigned int normalBuffer;
  unsigned int colorBuffer;
  bool vertexBufferMade;
  bool normalBufferMade;
  bool texCoordBufferMade;
  bool colorBufferMade;
  bool moveToCenter;
  /// Textures the array loads are clamped at their edges instead of
  /// repeating (set by arrays whose coordinates span the image exactly once,
  /// where repeat only blends the opposite edge in at fractional positions).
  bool clampTexture;

  /// The buffers Draw reads: positions, normals and texture coordinates.
  kxDrawBuffers_s TexturedBuffers() const;

 private:
  // Draws the buffers under the array's position, angles and scale; with
  // flatColor, in the array's colour.
  void PlaceAndDraw(const kxDrawBuffers_s& buffers, bool flatColor);
  void CreateFaces();
  void MoveToCenter();
  void ReleaseBuffers();
  // Installs a borrowed buffer name in `slot`, deleting the buffer the array
  // made for that slot if it had one.
  void Borrow(unsigned int* slot, bool* made, unsigned int borrowed);
  void AdoptTexture(unsigned int id);
  bool LoadMeshBytes(const uint8_t* data, uint64_t size);
};
