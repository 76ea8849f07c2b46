// OpenGL test harness shared by every GL test.
//
// kxTest::EnsureGLContext opens, once per process, a hidden SDL window with a
// compatibility context made with the application frame's attributes (RGBA 8
// bits each, depth 24, double buffer, 4x multisampling when the display
// offers it), makes it current and runs glewInit. The context lives until the
// process exits. Run GL tests under a display, e.g.
//   xvfb-run -a -s "-screen 0 1280x720x24" ctest ...
//
// With KX_TEST_RENDERER=es2 in the environment the context is an OpenGL ES
// 2.0 one and the engine draws with its ES path, started on it: the tests
// that draw through the engine and read pixels back then check that path
// against the same expectations. Tests that ask the fixed pipeline's own
// state have nothing to ask there and skip (SkipUnlessFixed).
//
// Typical use:
//   class MyTest : public kxTest::GLTest {};          // asserts the context
//   TEST_F(MyTest, Draws) {
//     kxTest::Framebuffer fb(32, 32);                 // bound, viewport set
//     kxTest::SetOrtho(0, 32, 0, 32);                 // y up, pixel units
//     ... draw ...
//     kxTest::RGBA p = fb.Pixel(3, 4);                // (x, y) from bottom-left
//   }
#pragma once

#include <GL/glew.h>
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "render/kxRenderer.h"

namespace kxTest {

// True when the shared context is current (created on the first call).
bool EnsureGLContext();
// The engine's path the tests draw with (KX_TEST_RENDERER, fixed by
// default).
TRendererKind TestRenderer();

struct RGBA {
  uint8_t r, g, b, a;
  bool operator==(const RGBA& o) const { return r == o.r && g == o.g && b == o.b && a == o.a; }
};
// Prints as (r, g, b, a) in assertion messages.
void PrintTo(const RGBA& c, std::ostream* os);

// Off-screen RGBA8 colour target with a 24-bit depth buffer. The constructor
// binds it, sets the viewport to its size and clears colour (to 0) and
// depth; the destructor binds the default framebuffer and deletes it.
class Framebuffer {
 public:
  Framebuffer(int width, int height);
  ~Framebuffer();
  Framebuffer(const Framebuffer&) = delete;
  Framebuffer& operator=(const Framebuffer&) = delete;

  bool IsComplete() const { return complete; }
  void Bind();
  void Clear(float r, float g, float b, float a);
  // The pixel at column x, row y (row 0 at the bottom, as OpenGL counts).
  RGBA Pixel(int x, int y);
  // Every pixel, bottom row first, four bytes each.
  std::vector<uint8_t> Pixels();
  int Width() const { return width; }
  int Height() const { return height; }

 private:
  int width, height;
  GLuint fbo = 0, colour = 0, depth = 0;
  bool complete = false;
};

// Projection = glOrtho(left, right, bottom, top, -100, 100); modelview =
// identity; depth test, lighting, blending, texturing and culling off, the
// colour white (through the renderer on the ES path).
void SetOrtho(float left, float right, float bottom, float top);

// Level 0 of a 2D texture read back with glGetTexImage in `format`
// (GL_RGBA, GL_LUMINANCE_ALPHA, ...) as unsigned bytes; the size goes to
// *width and *height. Packing alignment 1 is used and restored.
std::vector<uint8_t> ReadTexture(GLuint texture, GLenum format, int* width, int* height);
// Internal format of level 0 (GL_TEXTURE_INTERNAL_FORMAT).
GLint TextureInternalFormat(GLuint texture);
// `bytes` bytes from the start of an array buffer (glGetBufferSubData); the
// buffer's size goes to *bufferSize when given.
std::vector<uint8_t> ReadBuffer(GLuint buffer, size_t bytes, GLint* bufferSize = nullptr);
// The same buffer read as floats.
std::vector<float> ReadFloatBuffer(GLuint buffer, size_t floats);
// True when `name` is a live buffer object / texture in the context.
bool IsBuffer(GLuint name);
bool IsTexture(GLuint name);

// In a test that reads the fixed pipeline's own state (glGet of matrices,
// the current colour, client arrays): skips it on the ES path.
#define KX_SKIP_UNLESS_FIXED()             \
  if (kxTest::TestRenderer() == rkFixed) { \
  } else                                   \
    GTEST_SKIP() << "reads the fixed pipeline's state, which the ES path has not"

// Fixture: fails the test at SetUp when no context can be made.
class GLTest : public ::testing::Test {
 protected:
  void SetUp() override;
};

}  // namespace kxTest
