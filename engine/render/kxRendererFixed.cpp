// The fixed-function path: OpenGL 1.5 through GLEW. Every call is handed
// straight to the pipeline, which keeps all state itself; nothing is cached
// here, so code that also talks to the context directly (tests, tools) sees
// one consistent state.
#include <GL/glew.h>

#include <cstdio>

#include "render/kxGLVersion.h"
#include "render/kxRendererGL.h"
#include "render/kxRendererPaths.h"

namespace {

GLenum StateCap(TRenderState state) {
  switch (state) {
    case rsBlend:
      return GL_BLEND;
    case rsDepthTest:
      return GL_DEPTH_TEST;
    case rsCullFace:
      return GL_CULL_FACE;
    case rsScissorTest:
      return GL_SCISSOR_TEST;
    case rsLighting:
      return GL_LIGHTING;
    case rsTexture:
      return GL_TEXTURE_2D;
    case rsNormalize:
      return GL_NORMALIZE;
    default:
      return 0;
  }
}

// Runs `body` with the unpack (or pack) alignment at 1, restoring it after:
// engine data is tightly packed.
template <typename Body>
void WithAlignment(GLenum which, Body body) {
  GLint alignment = 4;
  glGetIntegerv(which, &alignment);
  glPixelStorei(which, 1);
  body();
  glPixelStorei(which, alignment);
}

class kxRendererFixed : public kxRendererGL {
 public:
  TRendererKind GetKind() const override { return rkFixed; }

  TRenderFault Start(char* detail, size_t detailSize) override {
    glewExperimental = GL_TRUE;
    // A GLX-built loader on an EGL context reports that it found no GLX
    // display yet may still have resolved the entry points; those are what
    // matters.
    GLenum result = glewInit();
    if (result != GLEW_OK && result != GLEW_ERROR_NO_GLX_DISPLAY) {
      snprintf(detail, detailSize, "%s", reinterpret_cast<const char*>(glewGetErrorString(result)));
      return rfFunctions;
    }
    const char* version = GetVersion();
    if (!kxGLVersionAtLeast(version, 1, 5)) {
      snprintf(detail, detailSize, "%s", version);
      return rfVersion;
    }
    if (!HasBuffers()) {
      snprintf(detail, detailSize, "no buffer objects");
      return rfVersion;
    }
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    return rfNone;
  }

  bool HasBuffers() override {
    return glGenBuffers && glBindBuffer && glBufferData && glBufferSubData && glDeleteBuffers;
  }

  void Enable(TRenderState state) override { glEnable(StateCap(state)); }
  void Disable(TRenderState state) override { glDisable(StateCap(state)); }
  bool IsEnabled(TRenderState state) override { return glIsEnabled(StateCap(state)) == GL_TRUE; }
  void SetColor(float r, float g, float b, float a) override { glColor4f(r, g, b, a); }

  void SetMatrixMode(TMatrixMode mode) override {
    glMatrixMode(mode == mmProjection ? GL_PROJECTION : GL_MODELVIEW);
  }
  void LoadIdentity() override { glLoadIdentity(); }
  void LoadMatrix(const float* m) override { glLoadMatrixf(m); }
  void Translate(float x, float y, float z) override { glTranslatef(x, y, z); }
  void Rotate(float degrees, float x, float y, float z) override { glRotatef(degrees, x, y, z); }
  void Scale(float x, float y, float z) override { glScalef(x, y, z); }
  void PushMatrix() override { glPushMatrix(); }
  void PopMatrix() override { glPopMatrix(); }
  void Ortho(double l, double r, double b, double t, double n, double f) override {
    glOrtho(l, r, b, t, n, f);
  }
  void Frustum(double l, double r, double b, double t, double n, double f) override {
    glFrustum(l, r, b, t, n, f);
  }
  void GetMatrix(TMatrixMode mode, float* out) override {
    glGetFloatv(mode == mmProjection ? GL_PROJECTION_MATRIX : GL_MODELVIEW_MATRIX, out);
  }

  void SetLight(const kxLight_s& light) override {
    glEnable(GL_LIGHT0);
    glLightfv(GL_LIGHT0, GL_AMBIENT, light.ambient);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, light.diffuse);
    glLightfv(GL_LIGHT0, GL_SPECULAR, light.specular);
    glLightfv(GL_LIGHT0, GL_POSITION, light.position);
  }
  void SetLightPosition(const float* position) override {
    glLightfv(GL_LIGHT0, GL_POSITION, position);
  }
  void SetMaterial(const kxMaterial_s& m) override {
    glMaterialfv(GL_FRONT, GL_AMBIENT, m.ambient);
    glMaterialfv(GL_FRONT, GL_DIFFUSE, m.diffuse);
    glMaterialfv(GL_FRONT, GL_SPECULAR, m.specular);
    glMaterialf(GL_FRONT, GL_SHININESS, m.shininess);
    glMaterialfv(GL_FRONT, GL_EMISSION, m.emission);
  }

  unsigned int CreateTexture(int width, int height, TPixelFormat format, const uint8_t* pixels,
                             bool clamp) override {
    GLuint texture = 0;
    glGenTextures(1, &texture);
    if (!texture) return 0;
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    SetWrap(clamp);
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    // Colour images are stored with alpha whatever their layout.
    const GLint internal = format == pfLuminanceAlpha ? GL_LUMINANCE_ALPHA : GL_RGBA;
    WithAlignment(GL_UNPACK_ALIGNMENT, [&] {
      glTexImage2D(GL_TEXTURE_2D, 0, internal, width, height, 0, PixelFormat(format),
                   GL_UNSIGNED_BYTE, pixels);
    });
    return texture;
  }
  void SetTextureClamp(unsigned int texture, bool clamp) override {
    glBindTexture(GL_TEXTURE_2D, texture);
    SetWrap(clamp);
  }
  void BindTexture(unsigned int texture) override { glBindTexture(GL_TEXTURE_2D, texture); }
  void DeleteTextures(int count, const unsigned int* textures) override {
    if (count > 0 && textures) glDeleteTextures(count, textures);
  }
  bool GetTextureSize(unsigned int texture, int* width, int* height) override {
    if (!texture || glIsTexture(texture) != GL_TRUE) return false;
    GLint w = 0, h = 0;
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
    glBindTexture(GL_TEXTURE_2D, 0);
    if (width) *width = w;
    if (height) *height = h;
    return true;
  }
  bool ReadTextureAlpha(unsigned int texture, uint8_t* alpha) override {
    if (!alpha || !GetTextureSize(texture, nullptr, nullptr)) return false;
    glBindTexture(GL_TEXTURE_2D, texture);
    WithAlignment(GL_PACK_ALIGNMENT,
                  [&] { glGetTexImage(GL_TEXTURE_2D, 0, GL_ALPHA, GL_UNSIGNED_BYTE, alpha); });
    glBindTexture(GL_TEXTURE_2D, 0);
    return true;
  }

  void DrawArrays(TPrimitive mode, const kxDrawBuffers_s& b, int first, int count) override {
    if (!b.vertices) return;
    // Client arrays without a buffer stay disabled: a pointer of 0 with no
    // buffer bound would be read as client memory at address 0.
    glEnableClientState(GL_VERTEX_ARRAY);
    glBindBuffer(GL_ARRAY_BUFFER, b.vertices);
    glVertexPointer(3, GL_FLOAT, 0, nullptr);
    if (b.texCoords) {
      glEnableClientState(GL_TEXTURE_COORD_ARRAY);
      glBindBuffer(GL_ARRAY_BUFFER, b.texCoords);
      glTexCoordPointer(2, GL_FLOAT, 0, nullptr);
    }
    if (b.normals) {
      glEnableClientState(GL_NORMAL_ARRAY);
      glBindBuffer(GL_ARRAY_BUFFER, b.normals);
      glNormalPointer(GL_FLOAT, 0, nullptr);
    }
    if (b.colors) {
      glEnableClientState(GL_COLOR_ARRAY);
      glBindBuffer(GL_ARRAY_BUFFER, b.colors);
      glColorPointer(4, GL_FLOAT, 0, nullptr);
    }
    glDrawArrays(mode, first, count);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
  }

  void DrawVertices(TPrimitive mode, const float* positions, const float* colors,
                    const float* texCoords, int count) override {
    if (!positions || count <= 0) return;
    // With a buffer bound the pointers would be read as offsets into it
    // (CreateBuffer leaves the new one bound), drawing nothing or garbage.
    if (glBindBuffer) glBindBuffer(GL_ARRAY_BUFFER, 0);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, positions);
    if (colors) {
      glEnableClientState(GL_COLOR_ARRAY);
      glColorPointer(4, GL_FLOAT, 0, colors);
    }
    if (texCoords) {
      glEnableClientState(GL_TEXTURE_COORD_ARRAY);
      glTexCoordPointer(2, GL_FLOAT, 0, texCoords);
    }
    glDrawArrays(mode, 0, count);
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  }

  unsigned int CreateTarget(int width, int height) override {
    if (!glGenFramebuffers || width <= 0 || height <= 0) return 0;
    Target* t = FreeTarget();
    if (!t) return 0;
    glGenFramebuffers(1, &t->framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, t->framebuffer);
    glGenRenderbuffers(1, &t->colour);
    glBindRenderbuffer(GL_RENDERBUFFER, t->colour);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, t->colour);
    glGenRenderbuffers(1, &t->depth);
    glBindRenderbuffer(GL_RENDERBUFFER, t->depth);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, t->depth);
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
    t->width = width;
    t->height = height;
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
      DeleteTarget(t->framebuffer);
      return 0;
    }
    glViewport(0, 0, width, height);
    return t->framebuffer;
  }
  void BindTarget(unsigned int target) override {
    if (!glBindFramebuffer) return;
    glBindFramebuffer(GL_FRAMEBUFFER, target);
    for (const Target& t : targets)
      if (target && t.framebuffer == target) glViewport(0, 0, t.width, t.height);
  }
  void DeleteTarget(unsigned int target) override {
    for (Target& t : targets) {
      if (!target || t.framebuffer != target) continue;
      glBindFramebuffer(GL_FRAMEBUFFER, 0);
      glDeleteRenderbuffers(1, &t.depth);
      glDeleteRenderbuffers(1, &t.colour);
      glDeleteFramebuffers(1, &t.framebuffer);
      t = Target{};
    }
  }

  void ReadPixels(int x, int y, int width, int height, uint8_t* rgba) override {
    WithAlignment(GL_PACK_ALIGNMENT,
                  [&] { glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba); });
  }

 private:
  // Few targets live at once (a test scene, a tool's picture).
  Target targets[8] = {};

  Target* FreeTarget() {
    for (Target& t : targets)
      if (!t.framebuffer) return &t;
    return nullptr;
  }

  static void SetWrap(bool clamp) {
    const GLint wrap = clamp ? GL_CLAMP_TO_EDGE : GL_REPEAT;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
  }
};

}  // namespace

kxRenderer* kxFixedRenderer() {
  static kxRendererFixed renderer;
  return &renderer;
}
