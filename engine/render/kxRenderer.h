/// \file
/// Declares kxRenderer.

/// \class kxRenderer
/// kxRenderer: the one seam between the engine (and the programs built on it)
/// and the graphics API. Everything that reaches the screen goes through the
/// current renderer: the matrix stacks, the state switches, the one light and
/// the material, textures, buffer objects, drawing and reading pixels back.
///
/// Two paths implement it, each in one file: the fixed-function pipeline of
/// OpenGL 1.5 (the default, and the oracle the other path is compared to) and
/// OpenGL ES 2.0 / WebGL 1 shaders that reproduce the same picture. A program
/// selects one with kxSelectRenderer before it makes its context (the frame
/// does this from kxSDLWrapper::SetRenderer), then calls Start on it once the
/// context is current.
///
/// Ownership: the renderers are process-wide objects owned by the engine.
/// Names returned by the Create... calls belong to the caller, who releases
/// them with the matching Delete... call on the same renderer.
#pragma once

#include "kxExport.h"
#include "kxTypes.h"

/// The drawing paths. Values are stable: settings files store them.
enum TRendererKind : int32_t {
  rkFixed = 0,  ///< OpenGL 1.5 fixed function, through GLEW
  rkES2 = 1,    ///< OpenGL ES 2.0 (GLSL ES 1.00), which WebGL 1 runs
};

/// Primitive modes. The values are OpenGL's, which vertex arrays have always
/// stored, so a mode written as a number keeps its meaning.
enum TPrimitive : uint32_t {
  pmPoints = 0,         ///< a point at each vertex
  pmLines = 1,          ///< a segment from each pair of vertices
  pmLineStrip = 3,      ///< one open line through the vertices in order
  pmTriangles = 4,      ///< a triangle from each three vertices
  pmTriangleStrip = 5,  ///< each vertex after the second with the two before it
  pmTriangleFan = 6,    ///< each vertex after the second with the one before and the first
};

/// Switches of the pipeline, all off when a context starts except as noted.
enum TRenderState : int32_t {
  rsBlend = 0,    ///< source alpha over the target (SetAlphaBlending)
  rsDepthTest,    ///< less-than test against a depth buffer cleared to 1
  rsCullFace,     ///< back faces (clockwise as seen) are not filled
  rsScissorTest,  ///< drawing is cut to SetScissor's rectangle
  rsLighting,     ///< the light and material replace the vertex colours
  rsTexture,      ///< the bound texture modulates the colour
  rsNormalize,    ///< normals are made unit length after transformation
  rsStateCount
};

/// The two matrix stacks SetMatrixMode chooses between.
enum TMatrixMode : int32_t { mmModelView = 0, mmProjection = 1 };

/// Layouts of texel data handed to CreateTexture: one byte per channel, rows
/// tightly packed, the first row first.
enum TPixelFormat : int32_t {
  pfRGB = 0,
  pfRGBA = 1,
  pfLuminanceAlpha = 2,  ///< coverage bytes drawn as grey with that alpha
};

/// Why Start failed.
enum TRenderFault : int32_t {
  rfNone = 0,
  rfFunctions,  ///< the entry points could not be loaded
  rfVersion,    ///< the context is too old, or lacks buffer objects or shaders
};

/// The one directional (w = 0) or positional light, colours RGBA.
struct kxLight_s {
  float ambient[4];   ///< added to every lit vertex
  float diffuse[4];   ///< scaled by the angle to the light
  float specular[4];  ///< highlight colour
  float position[4];  ///< taken through the model-view matrix in force
};

/// The material of front and back faces (faces are lit one-sided).
struct kxMaterial_s {
  float ambient[4];   ///< reflects the light's ambient colour
  float diffuse[4];   ///< its alpha is the alpha of lit vertices
  float specular[4];  ///< reflects the light's specular colour
  float emission[4];  ///< glow added whatever the light
  float shininess;    ///< specular exponent, 0..128
};

/// Buffer objects a draw reads: positions (3 floats a vertex) are required;
/// normals (3), texture coordinates (2) and colours (4) are optional, and a 0
/// leaves that attribute at its current value (normal (0, 0, 1), coordinate
/// (0, 0), the colour of SetColor).
struct kxDrawBuffers_s {
  unsigned int vertices;   ///< positions, never 0
  unsigned int normals;    ///< normals, or 0
  unsigned int texCoords;  ///< texture coordinates, or 0
  unsigned int colors;     ///< colours, or 0
};

class KX_API kxRenderer {
 public:
  virtual ~kxRenderer();

  /// Which path this renderer is.
  virtual TRendererKind GetKind() const = 0;
  /// Loads the entry points and checks the context, which must be current;
  /// on failure the reason's text goes to `detail`. Sets the engine's
  /// defaults: alpha blending function, smooth shading, the light model.
  virtual TRenderFault Start(char* detail, size_t detailSize) = 0;
  /// Whether buffer objects can be made now (a context was started).
  virtual bool HasBuffers() = 0;

  /// The context's renderer and version strings ("" without a context), its
  /// samples per pixel and the largest texture side.
  virtual const char* GetRendererName() = 0;
  /// The context's version string, "" without a context.
  virtual const char* GetVersion() = 0;
  /// Samples per pixel of the current framebuffer; 0 without multisampling.
  virtual int GetSamples() = 0;
  /// The largest texture side the context accepts, in texels.
  virtual int GetMaxTextureSize() = 0;

  /// Turns a pipeline switch on.
  virtual void Enable(TRenderState state) = 0;
  /// Turns a pipeline switch off.
  virtual void Disable(TRenderState state) = 0;
  /// Enable when `on`, otherwise Disable.
  void SetEnabled(TRenderState state, bool on) { on ? Enable(state) : Disable(state); }
  /// Whether a pipeline switch is on.
  virtual bool IsEnabled(TRenderState state) = 0;
  /// Blending function: source alpha, one minus source alpha.
  virtual void SetAlphaBlending() = 0;
  /// The framebuffer rectangle drawing maps to, in pixels, y up.
  virtual void SetViewport(int x, int y, int width, int height) = 0;
  /// Rectangles in framebuffer pixels, y up from the bottom edge.
  virtual void SetScissor(int x, int y, int width, int height) = 0;
  /// Width in pixels of lines drawn after it.
  virtual void SetLineWidth(float width) = 0;
  /// The colour Clear fills with.
  virtual void SetClearColor(float r, float g, float b, float a) = 0;
  /// Clears the colour and/or depth buffer of the bound target.
  virtual void Clear(bool colour, bool depth) = 0;
  /// The colour of vertices drawn without a colour buffer.
  virtual void SetColor(float r, float g, float b, float a) = 0;

  /// Matrix stacks, as OpenGL keeps them: operations apply to the stack the
  /// mode names and multiply on the right. Each stack holds 32 matrices; a
  /// push beyond or a pop below is ignored.
  virtual void SetMatrixMode(TMatrixMode mode) = 0;
  /// Replaces the top of the current stack with the identity.
  virtual void LoadIdentity() = 0;
  virtual void LoadMatrix(const float* m) = 0;  ///< 16 floats, column-major
  /// Multiplies by a translation.
  virtual void Translate(float x, float y, float z) = 0;
  /// Multiplies by a rotation of `degrees` about the axis (x, y, z).
  virtual void Rotate(float degrees, float x, float y, float z) = 0;
  /// Multiplies by a scale along each axis.
  virtual void Scale(float x, float y, float z) = 0;
  /// Pushes a copy of the top of the current stack.
  virtual void PushMatrix() = 0;
  /// Pops the current stack.
  virtual void PopMatrix() = 0;
  /// Multiplies by a parallel projection (as glOrtho).
  virtual void Ortho(double left, double right, double bottom, double top, double zNear,
                     double zFar) = 0;
  /// Multiplies by a perspective projection (as glFrustum).
  virtual void Frustum(double left, double right, double bottom, double top, double zNear,
                       double zFar) = 0;
  /// The top of a stack, 16 floats column-major.
  virtual void GetMatrix(TMatrixMode mode, float* out) = 0;

  /// The light's colours and position; the position is stored as the
  /// model-view matrix in force carries it (as glLightfv does).
  virtual void SetLight(const kxLight_s& light) = 0;
  /// Moves the light only: 4 floats, carried like SetLight's position.
  virtual void SetLightPosition(const float* position) = 0;
  /// The material of lit faces from now on.
  virtual void SetMaterial(const kxMaterial_s& material) = 0;

  /// A new texture of width x height texels from `pixels` (null leaves it
  /// undefined), linear filtering, repeating unless `clamp`; left bound. 0
  /// when it cannot be made. The caller keeps its own size limits in mind:
  /// see GetMaxTextureSize.
  [[nodiscard]] virtual unsigned int CreateTexture(int width, int height, TPixelFormat format,
                                                   const uint8_t* pixels, bool clamp) = 0;
  /// Switches an existing texture between clamping and repeating.
  virtual void SetTextureClamp(unsigned int texture, bool clamp) = 0;
  /// Binds a texture for drawing; 0 unbinds.
  virtual void BindTexture(unsigned int texture) = 0;
  /// Deletes `count` texture names; a null list or a count of 0 or less
  /// does nothing.
  virtual void DeleteTextures(int count, const unsigned int* textures) = 0;
  /// The size of a texture this renderer made; false for any other name.
  virtual bool GetTextureSize(unsigned int texture, int* width, int* height) = 0;
  /// The alpha of every texel, width x height bytes, first row first; false
  /// when the texture is unknown or cannot be read. Unbinds textures.
  [[nodiscard]] virtual bool ReadTextureAlpha(unsigned int texture, uint8_t* alpha) = 0;

  /// A new array buffer holding `bytes` bytes of `data`; 0 when none can be
  /// made.
  [[nodiscard]] virtual unsigned int CreateBuffer(const void* data, uint64_t bytes) = 0;
  /// Replaces the first `bytes` bytes of a buffer.
  virtual void UpdateBuffer(unsigned int buffer, const void* data, uint64_t bytes) = 0;
  /// Deletes a buffer; 0, or a call while HasBuffers is false, does nothing.
  virtual void DeleteBuffer(unsigned int buffer) = 0;

  /// Draws `count` vertices of the buffers from `first` on.
  virtual void DrawArrays(TPrimitive mode, const kxDrawBuffers_s& buffers, int first,
                          int count) = 0;
  /// Draws vertices held in memory: positions (3 floats each) and, when not
  /// null, colours (4 floats each) or texture coordinates (2 floats each).
  virtual void DrawVertices(TPrimitive mode, const float* positions, const float* colors,
                            const float* texCoords, int count) = 0;
  /// The rectangle from corner (x1, y1) to (x2, y2) in the z = 0 plane, in the
  /// current colour (what glRectf draws).
  void FillRect(float x1, float y1, float x2, float y2);

  /// Off-screen target: RGBA colour, 8 bits a channel, and a depth buffer.
  /// Binding one sets the viewport to its size; binding 0 returns to the
  /// window. Creating leaves the new target bound.
  [[nodiscard]] virtual unsigned int CreateTarget(int width, int height) = 0;
  /// Binds a target made by CreateTarget, or the window for 0.
  virtual void BindTarget(unsigned int target) = 0;
  /// Deletes a target and binds the window; unknown names and 0 do nothing.
  virtual void DeleteTarget(unsigned int target) = 0;

  /// Waits until drawing is done.
  virtual void Finish() = 0;
  /// RGBA bytes of a rectangle of the bound target (or the window's back
  /// buffer), the bottom row first.
  virtual void ReadPixels(int x, int y, int width, int height, uint8_t* rgba) = 0;
};

/// The current renderer; never null. Until a program selects one, the
/// fixed-function path (or, in a build without it, the ES path).
KX_API kxRenderer* kxGetRenderer();
/// Makes `kind` the current renderer; false (nothing changed) when this build
/// does not have that path.
KX_API bool kxSelectRenderer(TRendererKind kind);
/// Whether this build has the `kind` path.
KX_API bool kxHasRenderer(TRendererKind kind);
/// The name used on command lines and in settings: "fixed" or "es2"; null
/// for an unknown kind. kxRendererFromName is the inverse (false if unknown).
KX_API const char* kxRendererName(TRendererKind kind);
/// Sets *kind (when kind is not null) from a name; false, *kind unchanged,
/// for null or an unknown name.
KX_API bool kxRendererFromName(const char* name, TRendererKind* kind);

/// Sets the SDL attributes of the context the path needs, before its window
/// is made: RGBA 8 bits each, depth 24, double buffer, `samples` samples per
/// pixel (0 for none), and the profile and version (compatibility for the
/// fixed path, ES 2.0 for the other).
KX_API void kxSetContextAttributes(TRendererKind kind, int samples);
