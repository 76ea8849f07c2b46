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
  int32_t vertex[3];    ///< positions of the three corners
  int32_t normal[3];    ///< normals of the three corners
  int32_t texCoord[3];  ///< texture coordinates of the three corners
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

  /// An empty array drawn as primitive `mode` (a TPrimitive), white, at the
  /// origin, scale 1, with no texture or buffers.
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
  /// When memory runs out the element is dropped and the list is unchanged.
  void AppendVertex(float x, float y, float z);
  /// Appends a copy of *v; a null v is ignored.
  void AppendVertex(float (*v)[3]);
  /// Appends a normal; dropped when memory runs out.
  void AppendNormal(float x, float y, float z);
  /// Appends a copy of *n; a null n is ignored.
  void AppendNormal(float (*n)[3]);
  /// Appends a texture coordinate; dropped when memory runs out.
  void AppendTexCoord(float s, float t);
  /// Appends a copy of *t; a null t is ignored.
  void AppendTexCoord(float (*t)[2]);
  /// Appends a per-vertex colour (DrawColor); dropped when memory runs out.
  void AppendColor(float r, float g, float b, float a);
  /// Appends a copy of rgba[0..3]; a null rgba is ignored.
  void AppendColor(float* const rgba);
  /// Appends a copy of *face; a null face, or one memory cannot hold, is
  /// ignored.
  void AppendFace(TFace_s* face);
  /// Frees the five lists; GL objects, texture, placement and colour stay.
  void Clear();
  /// Uploads the lists into new buffer objects, first releasing the buffers
  /// an earlier CreateVBO of this array made.
  void CreateVBO();

  /// Where Draw translates the array to.
  void SetPosition(float x, float y, float z);
  /// Copies *p into the position; a null p is ignored.
  void SetPosition(float (*p)[3]);
  /// Copies the position (three floats) into out, which must not be null.
  void GetCenter(float* const out);
  /// Copies three angles in degrees (about x, then y, then z) from a.
  void SetAngle(float* const a);
  /// Copies the three angles into out, which must not be null.
  void GetAngle(float* const out);
  /// Uniform scale Draw applies after rotating (1 at creation).
  void SetScale(float s);
  /// The uniform scale.
  float GetScale();

  /// The flat colour Draw uses; also rewrites every per-vertex colour, and
  /// the colour buffer when there is one.
  void SetColor(float r, float g, float b, float a);
  /// Sets the flat colour's and every per-vertex colour's alpha; the colour
  /// buffer keeps its old values until the next CreateVBO or SetColor.
  void SetAlpha(float a);
  /// The array's own colour record; writes through it change what Draw uses.
  kxRGBAf_s* GetColor();

  /// Bounding box of the vertex list; with no vertices the box is all zero.
  void CalculateBB();
  /// When on, CalculateBB moves the vertices so the box is centred on the
  /// origin and sets the position to the old centre.
  void SetMoveToCenter(bool on);

  /// Both load a TGA texture the array then owns, deleting a texture it owned
  /// before. On failure the texture is left as it was. The texture repeats
  /// (TGA upload), except in arrays that clamp (textured boxes).
  void TextureFromFile(const char* path);
  /// Loads from a crunched TGA block; the block is only read and stays the
  /// caller's.
  void TextureFromCrunchedMemoryBlock(kxMemoryBlock* block);
  /// Installs a borrowed texture name; a different texture the array owned
  /// is deleted first, and the borrowed one is never deleted by the array.
  void SetTextureID(unsigned int id);
  /// The texture name Draw binds; 0 when there is none.
  unsigned int GetTextureID();

  /// The vertex buffer name; 0 before CreateVBO or without buffers.
  unsigned int GetVertexBuffer();
  /// Installs a borrowed vertex buffer (see the class's ownership note).
  void SetVertexBuffer(unsigned int buffer);
  /// The texture-coordinate buffer name; 0 when there is none.
  unsigned int GetTexCoordBuffer();
  /// Installs a borrowed texture-coordinate buffer.
  void SetTexCoordBuffer(unsigned int buffer);
  /// The normal buffer name; 0 when there is none.
  unsigned int GetNormalBuffer();
  /// Installs a borrowed normal buffer.
  void SetNormalBuffer(unsigned int buffer);
  /// Borrows source's vertex, texture-coordinate and normal buffers and its
  /// vertex count; source must outlive this array's drawing.
  void AssignGeometry(kxVertexArray* source);

  /// List storage, null when empty; valid until the list next changes.
  float (*GetVertexArray())[3];
  /// The normal list, null when empty; owned by the array.
  float (*GetNormalArray())[3];
  /// The texture-coordinate list, null when empty; owned by the array.
  float (*GetTexCoordArray())[2];
  /// Number of vertices Draw draws (also the vertex list's length, except
  /// after AssignGeometry).
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
  unsigned int mode;            ///< primitive drawn (a TPrimitive)
  float (*vertices)[3];         ///< owned position list (malloc'd), or null
  uint64_t vertexCount;         ///< vertices drawn
  float (*normals)[3];          ///< owned normal list, or null
  uint64_t normalCount;         ///< length of normals
  float (*texCoords)[2];        ///< owned texture-coordinate list, or null
  uint64_t texCoordCount;       ///< length of texCoords
  TFace_s* faces;               ///< owned face list, or null
  uint64_t faceCount;           ///< length of faces
  float (*colors)[4];           ///< owned per-vertex colour list, or null
  uint64_t colorCount;          ///< length of colors
  unsigned int textureId;       ///< texture Draw binds, 0 for none
  bool ownsTexture;             ///< the destructor deletes textureId
  float scale;                  ///< uniform scale
  float angle[3];               ///< degrees about x, y and z
  float boundingBox[6];         ///< low x, y, z then high x, y, z
  kxRGBAf_s color;              ///< flat colour Draw uses
  float position[3];            ///< translation Draw applies
  unsigned int vertexBuffer;    ///< position buffer, 0 for none
  unsigned int texCoordBuffer;  ///< texture-coordinate buffer, 0 for none
  unsigned int normalBuffer;    ///< normal buffer, 0 for none
  unsigned int colorBuffer;     ///< colour buffer, 0 for none
  bool vertexBufferMade;        ///< vertexBuffer is the array's own
  bool normalBufferMade;        ///< normalBuffer is the array's own
  bool texCoordBufferMade;      ///< texCoordBuffer is the array's own
  bool colorBufferMade;         ///< colorBuffer is the array's own
  bool moveToCenter;            ///< CalculateBB recentres the mesh
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
