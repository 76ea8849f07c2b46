// What the two GL paths do the same way, written once. Each path's file
// includes this after its own GL header (GLEW for the fixed-function path,
// GLES2 for the ES path), so the same source calls that path's entry points;
// everything here sits in an unnamed namespace, so each path's file gets its
// own copy and the two never meet at link time. Internal to the render folder.
#pragma once

#include <cstdint>

#include "render/kxRenderer.h"

namespace {

// The calls whose meaning is the same in OpenGL 1.5 and OpenGL ES 2.0.
class kxRendererGL : public kxRenderer {
 public:
  const char* GetRendererName() override { return Text(GL_RENDERER); }
  const char* GetVersion() override { return Text(GL_VERSION); }
  int GetSamples() override { return Integer(GL_SAMPLES); }
  int GetMaxTextureSize() override { return Integer(GL_MAX_TEXTURE_SIZE); }

  void SetAlphaBlending() override { glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA); }
  void SetViewport(int x, int y, int width, int height) override {
    glViewport(x, y, width, height);
  }
  void SetScissor(int x, int y, int width, int height) override { glScissor(x, y, width, height); }
  void SetLineWidth(float width) override { glLineWidth(width); }
  void SetClearColor(float r, float g, float b, float a) override { glClearColor(r, g, b, a); }
  void Clear(bool colour, bool depth) override {
    GLbitfield mask = (colour ? GL_COLOR_BUFFER_BIT : 0) | (depth ? GL_DEPTH_BUFFER_BIT : 0);
    if (mask) glClear(mask);
  }
  void Finish() override { glFinish(); }

  // Buffers exist only while the path has them (HasBuffers): a name handed
  // out earlier is never passed to a context that lacks the calls.
  unsigned int CreateBuffer(const void* data, uint64_t bytes) override {
    if (!HasBuffers()) return 0;
    GLuint name = 0;
    glGenBuffers(1, &name);
    glBindBuffer(GL_ARRAY_BUFFER, name);
    glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(bytes), data, GL_STATIC_DRAW);
    return name;
  }
  void UpdateBuffer(unsigned int buffer, const void* data, uint64_t bytes) override {
    if (!buffer || !HasBuffers()) return;
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glBufferSubData(GL_ARRAY_BUFFER, 0, GLsizeiptr(bytes), data);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
  }
  void DeleteBuffer(unsigned int buffer) override {
    if (buffer && HasBuffers()) glDeleteBuffers(1, &buffer);
  }

 protected:
  // An off-screen target: its framebuffer (the name callers hold), colour
  // and depth storage and size.
  struct Target {
    GLuint framebuffer, colour, depth;
    int width, height;
  };

  static GLenum PixelFormat(TPixelFormat format) {
    switch (format) {
      case pfRGB:
        return GL_RGB;
      case pfLuminanceAlpha:
        return GL_LUMINANCE_ALPHA;
      default:
        return GL_RGBA;
    }
  }

  static const char* Text(GLenum name) {
    const GLubyte* text = glGetString(name);
    return text ? reinterpret_cast<const char*>(text) : "";
  }
  static int Integer(GLenum name) {
    GLint value = 0;
    glGetIntegerv(name, &value);
    return value;
  }
};

}  // namespace
