#include "render/kxRenderer.h"

#include <SDL.h>

#include <cstring>

#include "render/kxRendererPaths.h"

namespace {

kxRenderer* PathOf(TRendererKind kind) {
  switch (kind) {
#ifdef KX_RENDER_FIXED
    case rkFixed:
      return kxFixedRenderer();
#endif
#ifdef KX_RENDER_ES2
    case rkES2:
      return kxES2Renderer();
#endif
    default:
      return nullptr;
  }
}

kxRenderer* current = nullptr;
const TRendererKind kKinds[] = {rkFixed, rkES2};

}  // namespace

kxRenderer::~kxRenderer() {}

void kxRenderer::FillRect(float x1, float y1, float x2, float y2) {
  const float corners[4 * 3] = {x1, y1, 0, x2, y1, 0, x2, y2, 0, x1, y2, 0};
  DrawVertices(pmTriangleFan, corners, nullptr, nullptr, 4);
}

kxRenderer* kxGetRenderer() {
  if (!current) current = PathOf(rkFixed);
  if (!current) current = PathOf(rkES2);
  return current;
}

bool kxSelectRenderer(TRendererKind kind) {
  kxRenderer* path = PathOf(kind);
  if (!path) return false;
  current = path;
  return true;
}

bool kxHasRenderer(TRendererKind kind) {
  return PathOf(kind) != nullptr;
}

const char* kxRendererName(TRendererKind kind) {
  switch (kind) {
    case rkFixed:
      return "fixed";
    case rkES2:
      return "es2";
  }
  return nullptr;
}

bool kxRendererFromName(const char* name, TRendererKind* kind) {
  if (!name) return false;
  for (TRendererKind k : kKinds) {
    if (strcmp(name, kxRendererName(k)) == 0) {
      if (kind) *kind = k;
      return true;
    }
  }
  return false;
}

void kxSetContextAttributes(TRendererKind kind, int samples) {
  SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  SDL_GL_SetAttribute(SDL_GL_MULTISAMPLEBUFFERS, samples > 0 ? 1 : 0);
  SDL_GL_SetAttribute(SDL_GL_MULTISAMPLESAMPLES, samples > 0 ? samples : 0);
  if (kind == rkES2) {
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_ES);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 0);
  } else {
    // SDL's defaults: whatever legacy context the platform makes, which is
    // what the fixed-function calls need.
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, 0);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
  }
}
