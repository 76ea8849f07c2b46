// The OpenGL ES 2.0 path (GLSL ES 1.00, which WebGL 1 runs). Shaders redo
// what the fixed-function pipeline did for this engine: the model-view and
// projection stacks are kept here on the CPU, one light with ambient,
// diffuse and specular terms is evaluated per vertex with the material's
// emission and the scene ambient, lit or vertex colours are clamped and
// interpolated, and the bound texture modulates them.
//
// Only ES 2.0 entry points are used, without extensions that WebGL lacks,
// so the same file serves the browser build. Two things ES cannot do are
// done another way: texture sizes are kept in a table here (no level
// queries), and a texture's alpha is read back through a framebuffer.
#include <GLES2/gl2.h>
#include <GLES2/gl2ext.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "data/kxAlloc.h"
#include "render/kxGLVersion.h"
#include "render/kxRendererGL.h"
#include "render/kxRendererPaths.h"

namespace {

const double kPi = 3.14159265358979323846;

// Attribute slots, bound before linking.
enum { kPosition = 0, kNormal = 1, kTexCoord = 2, kColor = 3 };

const char kVertexShader[] = R"(
attribute vec3 aPosition;
attribute vec3 aNormal;
attribute vec2 aTexCoord;
attribute vec4 aColor;
uniform mat4 uModelViewProjection;
uniform mat4 uModelView;
uniform mat3 uNormalMatrix;
uniform bool uLighting;
uniform bool uNormalize;
uniform bool uLightOn;
uniform vec4 uLightPosition;  // eye space
uniform vec4 uLightAmbient;
uniform vec4 uLightDiffuse;
uniform vec4 uLightSpecular;
uniform vec4 uBaseColor;  // emission + scene ambient x material ambient
uniform vec4 uMaterialAmbient;
uniform vec4 uMaterialDiffuse;
uniform vec4 uMaterialSpecular;
uniform float uShininess;
varying vec4 vColor;
varying vec2 vTexCoord;
void main() {
  gl_Position = uModelViewProjection * vec4(aPosition, 1.0);
  vTexCoord = aTexCoord;
  if (!uLighting) {
    vColor = clamp(aColor, 0.0, 1.0);
    return;
  }
  vec3 c = uBaseColor.rgb;
  if (uLightOn) {
    vec3 n = uNormalMatrix * aNormal;
    if (uNormalize) n = normalize(n);
    vec3 l;
    if (uLightPosition.w == 0.0) {
      l = normalize(uLightPosition.xyz);
    } else {
      l = normalize(uLightPosition.xyz - (uModelView * vec4(aPosition, 1.0)).xyz);
    }
    float d = dot(n, l);
    c += uLightAmbient.rgb * uMaterialAmbient.rgb;
    if (d > 0.0) {
      c += d * uLightDiffuse.rgb * uMaterialDiffuse.rgb;
      // The viewer is at infinity: the half vector is between the light
      // and the z axis.
      float s = max(dot(n, normalize(l + vec3(0.0, 0.0, 1.0))), 0.0);
      c += pow(s, uShininess) * uLightSpecular.rgb * uMaterialSpecular.rgb;
    }
  }
  vColor = vec4(clamp(c, 0.0, 1.0), clamp(uMaterialDiffuse.a, 0.0, 1.0));
}
)";

const char kFragmentShader[] = R"(
#ifdef GL_FRAGMENT_PRECISION_HIGH
precision highp float;
#else
precision mediump float;
#endif
uniform bool uTexture;
uniform sampler2D uSampler;
varying vec4 vColor;
varying vec2 vTexCoord;
void main() {
  vec4 c = vColor;
  if (uTexture) c *= texture2D(uSampler, vTexCoord);
  gl_FragColor = c;
}
)";

// 4 x 4 matrices, column-major as OpenGL stores them.
struct Matrix {
  float m[16];
};

Matrix Identity() {
  Matrix r = {};
  r.m[0] = r.m[5] = r.m[10] = r.m[15] = 1.0f;
  return r;
}

// a x b.
Matrix Multiply(const Matrix& a, const Matrix& b) {
  Matrix r;
  for (int c = 0; c < 4; ++c) {
    for (int row = 0; row < 4; ++row) {
      float sum = 0;
      for (int k = 0; k < 4; ++k) sum += a.m[k * 4 + row] * b.m[c * 4 + k];
      r.m[c * 4 + row] = sum;
    }
  }
  return r;
}

// Carries a point (x, y, z, w) through m.
void TransformPoint(const Matrix& m, const float* in, float* out) {
  for (int row = 0; row < 4; ++row) {
    out[row] =
        m.m[row] * in[0] + m.m[4 + row] * in[1] + m.m[8 + row] * in[2] + m.m[12 + row] * in[3];
  }
}

// The inverse transpose of m's upper 3 x 3 block, column-major: what turns
// object normals into eye normals. A singular block gives zeros.
void NormalMatrix(const Matrix& m, float* out) {
  const float a = m.m[0], b = m.m[4], c = m.m[8];
  const float d = m.m[1], e = m.m[5], f = m.m[9];
  const float g = m.m[2], h = m.m[6], i = m.m[10];
  const float A = e * i - f * h, B = f * g - d * i, C = d * h - e * g;
  const float det = a * A + b * B + c * C;
  if (det == 0.0f) {
    memset(out, 0, 9 * sizeof *out);
    return;
  }
  const float s = 1.0f / det;
  // Cofactor matrix / det is the inverse transpose; stored column-major.
  const float cof[9] = {A,
                        B,
                        C,
                        c * h - b * i,
                        a * i - c * g,
                        b * g - a * h,
                        b * f - c * e,
                        c * d - a * f,
                        a * e - b * d};
  // cof rows are the rows of the inverse transpose.
  for (int row = 0; row < 3; ++row)
    for (int col = 0; col < 3; ++col) out[col * 3 + row] = cof[row * 3 + col] * s;
}

class MatrixStack {
 public:
  MatrixStack() { stack[0] = Identity(); }
  Matrix& Top() { return stack[depth]; }
  void Push() {
    if (depth + 1 < kDepth) stack[depth + 1] = stack[depth], ++depth;
  }
  void Pop() {
    if (depth > 0) --depth;
  }
  void Multiply(const Matrix& by) { stack[depth] = ::Multiply(stack[depth], by); }

 private:
  static const int kDepth = 32;
  Matrix stack[kDepth];
  int depth = 0;
};

struct TextureInfo {
  GLuint name;
  int width, height;
  TPixelFormat format;
};

bool IsPowerOfTwo(int n) {
  return n > 0 && (n & (n - 1)) == 0;
}

bool HasExtension(const char* name) {
  const char* list = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
  if (!list) return false;
  const size_t n = strlen(name);
  for (const char* p = strstr(list, name); p; p = strstr(p + 1, name))
    if ((p == list || p[-1] == ' ') && (p[n] == ' ' || p[n] == '\0')) return true;
  return false;
}

// Whether a shader compiled or a program linked (`status` read by `query`);
// if not, its log goes to `detail` and the object is deleted. Shaders and
// programs have the same three calls under different names.
template <typename Query, typename Log, typename Delete>
bool Built(GLuint object, GLenum status, Query query, Log log, Delete drop, char* detail,
           size_t detailSize) {
  GLint ok = 0;
  query(object, status, &ok);
  if (ok) return true;
  log(object, GLsizei(detailSize), nullptr, detail);
  drop(object);
  return false;
}

GLuint Compile(GLenum kind, const char* source, char* detail, size_t detailSize) {
  GLuint shader = glCreateShader(kind);
  glShaderSource(shader, 1, &source, nullptr);
  glCompileShader(shader);
  const bool ok = Built(shader, GL_COMPILE_STATUS, glGetShaderiv, glGetShaderInfoLog,
                        glDeleteShader, detail, detailSize);
  return ok ? shader : 0;
}

class kxRendererES2 : public kxRendererGL {
 public:
  TRendererKind GetKind() const override { return rkES2; }

  TRenderFault Start(char* detail, size_t detailSize) override {
    const char* version = GetVersion();
    static const char prefix[] = "OpenGL ES ";
    if (strncmp(version, prefix, sizeof prefix - 1) != 0 ||
        !kxGLVersionAtLeast(version + sizeof prefix - 1, 2, 0)) {
      snprintf(detail, detailSize, "%s", version);
      return rfVersion;
    }
    // Names of an earlier context mean nothing in this one.
    program = 0;
    if (!BuildProgram(detail, detailSize)) return rfVersion;
    // A context made earlier may have gone; what this renderer knew of its
    // objects went with it.
    textureCount = 0;
    targetCount = 0;
    stream = 0;
    glGenBuffers(1, &stream);
    npotRepeats = HasExtension("GL_OES_texture_npot");
    depth24 = HasExtension("GL_OES_depth24");
    glUseProgram(program);
    glUniform1i(glGetUniformLocation(program, "uSampler"), 0);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    for (bool& on : enabled) on = false;
    bound = 0;
    started = true;
    return rfNone;
  }

  bool HasBuffers() override { return started; }

  void Enable(TRenderState state) override { Switch(state, true); }
  void Disable(TRenderState state) override { Switch(state, false); }
  bool IsEnabled(TRenderState state) override {
    return state >= 0 && state < rsStateCount && enabled[state];
  }
  void SetColor(float r, float g, float b, float a) override {
    color[0] = r, color[1] = g, color[2] = b, color[3] = a;
  }

  void SetMatrixMode(TMatrixMode mode) override { projectionMode = mode == mmProjection; }
  void LoadIdentity() override { Stack().Top() = Identity(); }
  void LoadMatrix(const float* m) override { memcpy(Stack().Top().m, m, sizeof(Matrix)); }
  void Translate(float x, float y, float z) override {
    Matrix t = Identity();
    t.m[12] = x, t.m[13] = y, t.m[14] = z;
    Stack().Multiply(t);
  }
  void Rotate(float degrees, float x, float y, float z) override {
    const float radians = float(double(degrees) * kPi / 180.0);
    float s = std::sin(radians);
    const float c = std::cos(radians);
    Matrix r = Identity();
    // Turns about one axis are built exactly, as OpenGL builds them: the
    // general form would leave the axis' own entry a rounding off 1.
    if (y == 0.0f && z == 0.0f && x != 0.0f) {
      if (x < 0) s = -s;
      r.m[5] = c, r.m[9] = -s, r.m[6] = s, r.m[10] = c;
      Stack().Multiply(r);
      return;
    }
    if (x == 0.0f && z == 0.0f && y != 0.0f) {
      if (y < 0) s = -s;
      r.m[0] = c, r.m[8] = s, r.m[2] = -s, r.m[10] = c;
      Stack().Multiply(r);
      return;
    }
    if (x == 0.0f && y == 0.0f && z != 0.0f) {
      if (z < 0) s = -s;
      r.m[0] = c, r.m[4] = -s, r.m[1] = s, r.m[5] = c;
      Stack().Multiply(r);
      return;
    }
    const float length = std::sqrt(x * x + y * y + z * z);
    if (length == 0.0f) return;
    x /= length, y /= length, z /= length;
    const float k = 1.0f - c;
    r.m[0] = x * x * k + c, r.m[4] = x * y * k - z * s, r.m[8] = x * z * k + y * s;
    r.m[1] = y * x * k + z * s, r.m[5] = y * y * k + c, r.m[9] = y * z * k - x * s;
    r.m[2] = x * z * k - y * s, r.m[6] = y * z * k + x * s, r.m[10] = z * z * k + c;
    Stack().Multiply(r);
  }
  void Scale(float x, float y, float z) override {
    Matrix t = Identity();
    t.m[0] = x, t.m[5] = y, t.m[10] = z;
    Stack().Multiply(t);
  }
  void PushMatrix() override { Stack().Push(); }
  void PopMatrix() override { Stack().Pop(); }
  void Ortho(double l, double r, double b, double t, double n, double f) override {
    if (l == r || b == t || n == f) return;
    Matrix o = Identity();
    o.m[0] = float(2.0 / (r - l));
    o.m[5] = float(2.0 / (t - b));
    o.m[10] = float(-2.0 / (f - n));
    o.m[12] = float(-(r + l) / (r - l));
    o.m[13] = float(-(t + b) / (t - b));
    o.m[14] = float(-(f + n) / (f - n));
    Stack().Multiply(o);
  }
  void Frustum(double l, double r, double b, double t, double n, double f) override {
    if (n <= 0 || f <= 0 || l == r || b == t || n == f) return;
    Matrix p = {};
    p.m[0] = float(2.0 * n / (r - l));
    p.m[5] = float(2.0 * n / (t - b));
    p.m[8] = float((r + l) / (r - l));
    p.m[9] = float((t + b) / (t - b));
    p.m[10] = float(-(f + n) / (f - n));
    p.m[11] = -1.0f;
    p.m[14] = float(-2.0 * f * n / (f - n));
    Stack().Multiply(p);
  }
  void GetMatrix(TMatrixMode mode, float* out) override {
    memcpy(out, (mode == mmProjection ? projection : modelView).Top().m, sizeof(Matrix));
  }

  void SetLight(const kxLight_s& l) override {
    memcpy(lightAmbient, l.ambient, sizeof lightAmbient);
    memcpy(lightDiffuse, l.diffuse, sizeof lightDiffuse);
    memcpy(lightSpecular, l.specular, sizeof lightSpecular);
    SetLightPosition(l.position);
    lightOn = true;
  }
  void SetLightPosition(const float* position) override {
    TransformPoint(modelView.Top(), position, lightPosition);
  }
  void SetMaterial(const kxMaterial_s& m) override { material = m; }

  unsigned int CreateTexture(int width, int height, TPixelFormat format, const uint8_t* pixels,
                             bool clamp) override {
    if (width <= 0 || height <= 0) return 0;
    TextureInfo* grown =
        static_cast<TextureInfo*>(kxRealloc(textures, (textureCount + 1) * sizeof *textures));
    if (!grown) return 0;
    textures = grown;
    GLuint texture = 0;
    glGenTextures(1, &texture);
    if (!texture) return 0;
    glBindTexture(GL_TEXTURE_2D, texture);
    bound = texture;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    textures[textureCount++] = TextureInfo{texture, width, height, format};
    SetWrap(textures[textureCount - 1], clamp);
    GLint alignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    const GLenum layout = PixelFormat(format);
    glTexImage2D(GL_TEXTURE_2D, 0, GLint(layout), width, height, 0, layout, GL_UNSIGNED_BYTE,
                 pixels);
    glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
    return texture;
  }
  void SetTextureClamp(unsigned int texture, bool clamp) override {
    const TextureInfo* info = Find(texture);
    if (!info) return;
    glBindTexture(GL_TEXTURE_2D, texture);
    bound = texture;
    SetWrap(*info, clamp);
  }
  void BindTexture(unsigned int texture) override {
    glBindTexture(GL_TEXTURE_2D, texture);
    bound = texture;
  }
  void DeleteTextures(int count, const unsigned int* names) override {
    if (count <= 0 || !names) return;
    glDeleteTextures(count, names);
    for (int i = 0; i < count; ++i) {
      if (names[i] == bound) bound = 0;
      for (size_t k = 0; k < textureCount; ++k) {
        if (textures[k].name != names[i]) continue;
        textures[k] = textures[--textureCount];
        break;
      }
    }
  }
  bool GetTextureSize(unsigned int texture, int* width, int* height) override {
    const TextureInfo* info = Find(texture);
    if (!info) return false;
    if (width) *width = info->width;
    if (height) *height = info->height;
    return true;
  }
  bool ReadTextureAlpha(unsigned int texture, uint8_t* alpha) override {
    const TextureInfo* info = Find(texture);
    // Luminance-alpha textures cannot be a colour target; their alpha is
    // never asked for.
    if (!alpha || !info || info->format == pfLuminanceAlpha) return false;
    const size_t texels = size_t(info->width) * size_t(info->height);
    uint8_t* rgba = static_cast<uint8_t*>(kxMalloc(texels * 4));
    if (!rgba) return false;
    GLint previous = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &previous);
    GLuint framebuffer = 0;
    glGenFramebuffers(1, &framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, 0);
    const bool readable = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    if (readable) {
      GLint alignment = 4;
      glGetIntegerv(GL_PACK_ALIGNMENT, &alignment);
      glPixelStorei(GL_PACK_ALIGNMENT, 1);
      glReadPixels(0, 0, info->width, info->height, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
      glPixelStorei(GL_PACK_ALIGNMENT, alignment);
      for (size_t i = 0; i < texels; ++i) alpha[i] = rgba[i * 4 + 3];
    }
    glBindFramebuffer(GL_FRAMEBUFFER, GLuint(previous));
    glDeleteFramebuffers(1, &framebuffer);
    glBindTexture(GL_TEXTURE_2D, 0);
    bound = 0;
    free(rgba);
    return readable;
  }

  void DrawArrays(TPrimitive mode, const kxDrawBuffers_s& b, int first, int count) override {
    if (!b.vertices || !started || count <= 0) return;
    Attribute(kPosition, 3, b.vertices, 0);
    Attribute(kNormal, 3, b.normals, 0);
    Attribute(kTexCoord, 2, b.texCoords, 0);
    Attribute(kColor, 4, b.colors, 0);
    Draw(mode, first, count);
  }

  void DrawVertices(TPrimitive mode, const float* positions, const float* colors,
                    const float* texCoords, int count) override {
    if (!positions || count <= 0 || !started) return;
    // WebGL draws only from buffers: the vertices are streamed into one,
    // positions, then colours, then coordinates.
    const size_t n = size_t(count);
    const size_t bytes = n * (3 + (colors ? 4 : 0) + (texCoords ? 2 : 0)) * sizeof(float);
    glBindBuffer(GL_ARRAY_BUFFER, stream);
    glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(bytes), nullptr, GL_STREAM_DRAW);
    size_t at = 0;
    glBufferSubData(GL_ARRAY_BUFFER, 0, GLsizeiptr(n * 3 * sizeof(float)), positions);
    Attribute(kPosition, 3, stream, at);
    at += n * 3 * sizeof(float);
    Attribute(kColor, 4, colors ? stream : 0, at);
    if (colors) {
      glBufferSubData(GL_ARRAY_BUFFER, GLintptr(at), GLsizeiptr(n * 4 * sizeof(float)), colors);
      at += n * 4 * sizeof(float);
    }
    Attribute(kTexCoord, 2, texCoords ? stream : 0, at);
    if (texCoords)
      glBufferSubData(GL_ARRAY_BUFFER, GLintptr(at), GLsizeiptr(n * 2 * sizeof(float)), texCoords);
    Attribute(kNormal, 3, 0, 0);
    Draw(mode, 0, count);
  }

  unsigned int CreateTarget(int width, int height) override {
    if (!started || width <= 0 || height <= 0) return 0;
    Target* grown = static_cast<Target*>(kxRealloc(targets, (targetCount + 1) * sizeof *targets));
    if (!grown) return 0;
    targets = grown;
    Target t = {0, 0, 0, width, height};
    glGenTextures(1, &t.colour);
    glBindTexture(GL_TEXTURE_2D, t.colour);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    glBindTexture(GL_TEXTURE_2D, bound);
    glGenRenderbuffers(1, &t.depth);
    glBindRenderbuffer(GL_RENDERBUFFER, t.depth);
    glRenderbufferStorage(GL_RENDERBUFFER,
                          depth24 ? GL_DEPTH_COMPONENT24_OES : GL_DEPTH_COMPONENT16, width, height);
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
    glGenFramebuffers(1, &t.framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, t.framebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, t.colour, 0);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, t.depth);
    targets[targetCount++] = t;
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
      DeleteTarget(t.framebuffer);
      return 0;
    }
    glViewport(0, 0, width, height);
    return t.framebuffer;
  }
  void BindTarget(unsigned int target) override {
    if (!started) return;
    glBindFramebuffer(GL_FRAMEBUFFER, target);
    for (size_t i = 0; i < targetCount; ++i)
      if (target && targets[i].framebuffer == target)
        glViewport(0, 0, targets[i].width, targets[i].height);
  }
  void DeleteTarget(unsigned int target) override {
    for (size_t i = 0; i < targetCount; ++i) {
      Target& t = targets[i];
      if (!target || t.framebuffer != target) continue;
      glBindFramebuffer(GL_FRAMEBUFFER, 0);
      glDeleteFramebuffers(1, &t.framebuffer);
      glDeleteRenderbuffers(1, &t.depth);
      glDeleteTextures(1, &t.colour);
      t = targets[--targetCount];
      return;
    }
  }

  void ReadPixels(int x, int y, int width, int height, uint8_t* rgba) override {
    GLint alignment = 4;
    glGetIntegerv(GL_PACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    glPixelStorei(GL_PACK_ALIGNMENT, alignment);
  }

 private:
  bool started = false;
  GLuint program = 0;
  GLuint stream = 0;
  bool npotRepeats = false;
  bool depth24 = false;
  bool enabled[rsStateCount] = {};
  bool projectionMode = false;
  MatrixStack modelView, projection;
  float color[4] = {1, 1, 1, 1};
  bool lightOn = false;
  float lightAmbient[4] = {0, 0, 0, 1};
  float lightDiffuse[4] = {1, 1, 1, 1};
  float lightSpecular[4] = {1, 1, 1, 1};
  float lightPosition[4] = {0, 0, 1, 0};
  // OpenGL's initial material.
  kxMaterial_s material = {
      {0.2f, 0.2f, 0.2f, 1}, {0.8f, 0.8f, 0.8f, 1}, {0, 0, 0, 1}, {0, 0, 0, 1}, 0};
  GLuint bound = 0;
  TextureInfo* textures = nullptr;
  size_t textureCount = 0;
  Target* targets = nullptr;
  size_t targetCount = 0;
  struct {
    GLint modelViewProjection, modelView, normalMatrix, lighting, normalize, lightOn;
    GLint lightPosition, lightAmbient, lightDiffuse, lightSpecular;
    GLint baseColor, materialAmbient, materialDiffuse, materialSpecular, shininess, texture;
  } uniform = {};

  MatrixStack& Stack() { return projectionMode ? projection : modelView; }

  const TextureInfo* Find(unsigned int texture) const {
    for (size_t i = 0; i < textureCount; ++i)
      if (texture && textures[i].name == texture) return &textures[i];
    return nullptr;
  }

  // ES 2.0 samples a non-power-of-two texture only when it clamps (WebGL
  // too); where the extension lifting that is missing, such textures clamp.
  void SetWrap(const TextureInfo& info, bool clamp) {
    if (!npotRepeats && (!IsPowerOfTwo(info.width) || !IsPowerOfTwo(info.height))) clamp = true;
    const GLint wrap = clamp ? GL_CLAMP_TO_EDGE : GL_REPEAT;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
  }

  void Switch(TRenderState state, bool on) {
    if (state < 0 || state >= rsStateCount) return;
    enabled[state] = on;
    GLenum cap = 0;
    switch (state) {
      case rsBlend:
        cap = GL_BLEND;
        break;
      case rsDepthTest:
        cap = GL_DEPTH_TEST;
        break;
      case rsCullFace:
        cap = GL_CULL_FACE;
        break;
      case rsScissorTest:
        cap = GL_SCISSOR_TEST;
        break;
      default:
        return;  // the shaders' own switches
    }
    on ? glEnable(cap) : glDisable(cap);
  }

  bool BuildProgram(char* detail, size_t detailSize) {
    GLuint vertex = Compile(GL_VERTEX_SHADER, kVertexShader, detail, detailSize);
    GLuint fragment = vertex ? Compile(GL_FRAGMENT_SHADER, kFragmentShader, detail, detailSize) : 0;
    if (!fragment) {
      if (vertex) glDeleteShader(vertex);
      return false;
    }
    GLuint linked = glCreateProgram();
    glAttachShader(linked, vertex);
    glAttachShader(linked, fragment);
    glBindAttribLocation(linked, kPosition, "aPosition");
    glBindAttribLocation(linked, kNormal, "aNormal");
    glBindAttribLocation(linked, kTexCoord, "aTexCoord");
    glBindAttribLocation(linked, kColor, "aColor");
    glLinkProgram(linked);
    glDeleteShader(vertex);
    glDeleteShader(fragment);
    if (!Built(linked, GL_LINK_STATUS, glGetProgramiv, glGetProgramInfoLog, glDeleteProgram, detail,
               detailSize))
      return false;
    program = linked;
    auto at = [&](const char* name) { return glGetUniformLocation(program, name); };
    uniform.modelViewProjection = at("uModelViewProjection");
    uniform.modelView = at("uModelView");
    uniform.normalMatrix = at("uNormalMatrix");
    uniform.lighting = at("uLighting");
    uniform.normalize = at("uNormalize");
    uniform.lightOn = at("uLightOn");
    uniform.lightPosition = at("uLightPosition");
    uniform.lightAmbient = at("uLightAmbient");
    uniform.lightDiffuse = at("uLightDiffuse");
    uniform.lightSpecular = at("uLightSpecular");
    uniform.baseColor = at("uBaseColor");
    uniform.materialAmbient = at("uMaterialAmbient");
    uniform.materialDiffuse = at("uMaterialDiffuse");
    uniform.materialSpecular = at("uMaterialSpecular");
    uniform.shininess = at("uShininess");
    uniform.texture = at("uTexture");
    return true;
  }

  // Points attribute `slot` at `buffer` from byte `offset`, or, without a
  // buffer, holds it at its current value.
  void Attribute(GLuint slot, GLint size, GLuint buffer, size_t offset) {
    if (buffer) {
      glBindBuffer(GL_ARRAY_BUFFER, buffer);
      glVertexAttribPointer(slot, size, GL_FLOAT, GL_FALSE, 0,
                            reinterpret_cast<const void*>(offset));
      glEnableVertexAttribArray(slot);
      return;
    }
    glDisableVertexAttribArray(slot);
    if (slot == kNormal) glVertexAttrib3f(slot, 0, 0, 1);
    if (slot == kTexCoord) glVertexAttrib2f(slot, 0, 0);
    if (slot == kColor) glVertexAttrib4fv(slot, color);
  }

  void Draw(TPrimitive mode, int first, int count) {
    glUseProgram(program);
    const Matrix& mv = modelView.Top();
    const Matrix mvp = Multiply(projection.Top(), mv);
    glUniformMatrix4fv(uniform.modelViewProjection, 1, GL_FALSE, mvp.m);
    const bool lighting = enabled[rsLighting];
    glUniform1i(uniform.lighting, lighting);
    if (lighting) {
      float normals[9];
      NormalMatrix(mv, normals);
      glUniformMatrix4fv(uniform.modelView, 1, GL_FALSE, mv.m);
      glUniformMatrix3fv(uniform.normalMatrix, 1, GL_FALSE, normals);
      glUniform1i(uniform.normalize, enabled[rsNormalize]);
      glUniform1i(uniform.lightOn, lightOn);
      glUniform4fv(uniform.lightPosition, 1, lightPosition);
      glUniform4fv(uniform.lightAmbient, 1, lightAmbient);
      glUniform4fv(uniform.lightDiffuse, 1, lightDiffuse);
      glUniform4fv(uniform.lightSpecular, 1, lightSpecular);
      // OpenGL's scene ambient of 0.2 lights every material's ambient part.
      float base[4];
      for (int k = 0; k < 4; ++k) base[k] = material.emission[k] + 0.2f * material.ambient[k];
      glUniform4fv(uniform.baseColor, 1, base);
      glUniform4fv(uniform.materialAmbient, 1, material.ambient);
      glUniform4fv(uniform.materialDiffuse, 1, material.diffuse);
      glUniform4fv(uniform.materialSpecular, 1, material.specular);
      glUniform1f(uniform.shininess, material.shininess);
    }
    // Texture name 0 has no image: the fixed pipeline then draws untextured.
    glUniform1i(uniform.texture, enabled[rsTexture] && bound != 0);
    glDrawArrays(mode, first, count);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
  }
};

}  // namespace

kxRenderer* kxES2Renderer() {
  static kxRendererES2 renderer;
  return &renderer;
}
