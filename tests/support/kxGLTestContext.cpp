#include "kxGLTestContext.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ostream>

#include "render/kxRenderer.h"

namespace kxTest {
namespace {

SDL_Window* window = nullptr;
SDL_GLContext context = nullptr;
bool tried = false;
bool ready = false;

void CloseContext() {
  if (context) SDL_GL_DeleteContext(context);
  if (window) SDL_DestroyWindow(window);
  context = nullptr;
  window = nullptr;
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

bool MakeWindow(bool multisample) {
  SDL_GL_ResetAttributes();
  // The same visual the engine asks for, so tests draw as the program does.
  kxSetContextAttributes(TestRenderer(), multisample ? 4 : 0);
  window = SDL_CreateWindow("kxTest", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, 64, 64,
                            SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
  if (!window) return false;
  context = SDL_GL_CreateContext(window);
  if (!context) {
    SDL_DestroyWindow(window);
    window = nullptr;
    return false;
  }
  return true;
}

}  // namespace

TRendererKind TestRenderer() {
  const char* name = getenv("KX_TEST_RENDERER");
  TRendererKind kind = rkFixed;
  if (name && *name && !kxRendererFromName(name, &kind)) {
    fprintf(stderr, "KX_TEST_RENDERER=%s names no drawing path; drawing with fixed\n", name);
  }
  return kind;
}

bool EnsureGLContext() {
  if (tried) {
    if (ready) SDL_GL_MakeCurrent(window, context);
    return ready;
  }
  tried = true;
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
  // Virtual displays do not always offer multisampled visuals.
  if (!MakeWindow(true) && !MakeWindow(false)) {
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    return false;
  }
  SDL_GL_MakeCurrent(window, context);
  glewExperimental = GL_TRUE;
  GLenum status = glewInit();
  // GLEW built for GLX reports "no GLX display" under some setups although
  // the entry points are loaded; the buffer functions are what matters.
  if (status != GLEW_OK && !glGenBuffers) {
    CloseContext();
    return false;
  }
  while (glGetError() != GL_NO_ERROR) {
  }
  ready = glGenBuffers && glGenFramebuffers;
  if (ready && TestRenderer() != rkFixed) {
    char detail[256] = "";
    ready =
        kxSelectRenderer(TestRenderer()) && kxGetRenderer()->Start(detail, sizeof detail) == rfNone;
    if (!ready) fprintf(stderr, "%s: %s\n", kxRendererName(TestRenderer()), detail);
  }
  // The context is left open at exit: tearing it down unloads the GL driver,
  // and the leak checker then reports the driver's own allocations from
  // frames it can no longer name (and so cannot suppress).
  return ready;
}

void PrintTo(const RGBA& c, std::ostream* os) {
  *os << "(" << int(c.r) << ", " << int(c.g) << ", " << int(c.b) << ", " << int(c.a) << ")";
}

Framebuffer::Framebuffer(int w, int h) : width(w), height(h) {
  glGenFramebuffers(1, &fbo);
  glBindFramebuffer(GL_FRAMEBUFFER, fbo);
  glGenRenderbuffers(1, &colour);
  glBindRenderbuffer(GL_RENDERBUFFER, colour);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, w, h);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour);
  glGenRenderbuffers(1, &depth);
  glBindRenderbuffer(GL_RENDERBUFFER, depth);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, w, h);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth);
  glBindRenderbuffer(GL_RENDERBUFFER, 0);
  complete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
  Bind();
  Clear(0, 0, 0, 0);
}

Framebuffer::~Framebuffer() {
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  glDeleteRenderbuffers(1, &depth);
  glDeleteRenderbuffers(1, &colour);
  glDeleteFramebuffers(1, &fbo);
}

void Framebuffer::Bind() {
  glBindFramebuffer(GL_FRAMEBUFFER, fbo);
  glViewport(0, 0, width, height);
}

void Framebuffer::Clear(float r, float g, float b, float a) {
  if (TestRenderer() != rkFixed) {
    kxGetRenderer()->SetClearColor(r, g, b, a);
    kxGetRenderer()->Clear(true, true);
    return;
  }
  glClearColor(r, g, b, a);
  glClearDepth(1.0);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

RGBA Framebuffer::Pixel(int x, int y) {
  RGBA c{0, 0, 0, 0};
  glBindFramebuffer(GL_FRAMEBUFFER, fbo);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, &c);
  return c;
}

std::vector<uint8_t> Framebuffer::Pixels() {
  std::vector<uint8_t> out(size_t(width) * height * 4);
  glBindFramebuffer(GL_FRAMEBUFFER, fbo);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, out.data());
  return out;
}

void SetOrtho(float left, float right, float bottom, float top) {
  if (TestRenderer() != rkFixed) {
    kxRenderer* r = kxGetRenderer();
    r->SetMatrixMode(mmProjection);
    r->LoadIdentity();
    r->Ortho(left, right, bottom, top, -100, 100);
    r->SetMatrixMode(mmModelView);
    r->LoadIdentity();
    for (TRenderState s : {rsDepthTest, rsLighting, rsBlend, rsTexture, rsCullFace}) r->Disable(s);
    r->SetColor(1, 1, 1, 1);
    return;
  }
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(left, right, bottom, top, -100, 100);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_LIGHTING);
  glDisable(GL_BLEND);
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_CULL_FACE);
  glColor4f(1, 1, 1, 1);
}

std::vector<uint8_t> ReadTexture(GLuint texture, GLenum format, int* width, int* height) {
  GLint w = 0, h = 0, previous = 0;
  glBindTexture(GL_TEXTURE_2D, texture);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
  int channels = format == GL_RGBA              ? 4
                 : format == GL_RGB             ? 3
                 : format == GL_LUMINANCE_ALPHA ? 2
                                                : 1;
  std::vector<uint8_t> out(size_t(w) * h * channels);
  glGetIntegerv(GL_PACK_ALIGNMENT, &previous);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  if (!out.empty()) glGetTexImage(GL_TEXTURE_2D, 0, format, GL_UNSIGNED_BYTE, out.data());
  glPixelStorei(GL_PACK_ALIGNMENT, previous);
  if (width) *width = w;
  if (height) *height = h;
  return out;
}

GLint TextureInternalFormat(GLuint texture) {
  GLint f = 0;
  glBindTexture(GL_TEXTURE_2D, texture);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &f);
  return f;
}

std::vector<uint8_t> ReadBuffer(GLuint buffer, size_t bytes, GLint* bufferSize) {
  GLint size = 0;
  glBindBuffer(GL_ARRAY_BUFFER, buffer);
  glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_SIZE, &size);
  if (bufferSize) *bufferSize = size;
  if (size_t(size) < bytes) bytes = size_t(size);
  std::vector<uint8_t> out(bytes);
  if (bytes) glGetBufferSubData(GL_ARRAY_BUFFER, 0, GLsizeiptr(bytes), out.data());
  glBindBuffer(GL_ARRAY_BUFFER, 0);
  return out;
}

std::vector<float> ReadFloatBuffer(GLuint buffer, size_t floats) {
  std::vector<uint8_t> bytes = ReadBuffer(buffer, floats * sizeof(float));
  std::vector<float> out(bytes.size() / sizeof(float));
  if (!out.empty()) std::memcpy(out.data(), bytes.data(), out.size() * sizeof(float));
  return out;
}

bool IsBuffer(GLuint name) {
  return name != 0 && glIsBuffer(name) == GL_TRUE;
}
bool IsTexture(GLuint name) {
  return name != 0 && glIsTexture(name) == GL_TRUE;
}

void GLTest::SetUp() {
  ASSERT_TRUE(EnsureGLContext()) << "no OpenGL context (run under xvfb-run)";
}

}  // namespace kxTest
