// Shared helpers of the asset pipeline tests: where sources, fonts and the
// pack are, reading files and entries, and checks shared by tool and pack.
#pragma once

#include <gtest/gtest.h>
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "data/kxMemoryBlock.h"
#include "data/kxResource.h"
#include "graphics/kxMeshReader.h"

namespace vpTest {

inline std::string Env(const char* name) {
  return std::getenv(name) ? std::getenv(name) : ".";
}
inline const std::string kAssetsDir = Env("KX_SOURCE_DIR") + "/apps/vimra/assets";
inline const std::string kBinDir = Env("KX_BIN_DIR");
inline const std::string kPackPath = kBinDir + "/vimradata.bin";
inline const std::string kFontDir = VP_FONT_DIR;

inline std::vector<uint8_t> ReadFile(const std::string& path) {
  std::vector<uint8_t> out;
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return out;
  uint8_t buf[65536];
  for (size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) out.insert(out.end(), buf, buf + n);
  std::fclose(f);
  return out;
}

// The expanded entry; empty with *ok false when missing or not crunched.
inline std::vector<uint8_t> Expanded(const kxResource& pack, const std::string& name,
                                     bool* ok = nullptr) {
  std::vector<uint8_t> out;
  kxMemoryBlock* block = pack.Get(name.c_str());
  kxMemoryBlock* raw = block ? kxDecrunchMemoryBlock(block) : nullptr;
  if (ok) *ok = raw != nullptr;
  if (raw) out.assign(raw->data, raw->data + raw->size);
  kxFreeMemoryBlock(raw);
  return out;
}

// Stereo Ogg Vorbis decoded with libvorbisfile; false if not open or not stereo.
inline bool DecodeOgg(std::vector<uint8_t> ogg, long* rate, std::vector<float>* l,
                      std::vector<float>* r) {
  FILE* f = fmemopen(ogg.data(), ogg.size(), "rb");
  OggVorbis_File vf;
  if (f && ov_open(f, &vf, nullptr, 0) != 0) std::fclose(f), f = nullptr;
  if (!f) return false;
  const bool stereo = ov_info(&vf, -1)->channels == 2;
  *rate = ov_info(&vf, -1)->rate;
  float** pcm;
  int section;
  for (long got; stereo && (got = ov_read_float(&vf, &pcm, 4096, &section)) > 0;)
    for (long i = 0; i < got; ++i) l->push_back(pcm[0][i]), r->push_back(pcm[1][i]);
  ov_clear(&vf);  // closes f
  return stereo;
}

// A card mesh as a lit, turning card needs it: w x h, at most `depth` thick,
// centred, unit outward normals agreeing with the winding, and the picture
// upright, front in the texture's left half, back (seen from behind) right.
inline void CheckCard(const kxMeshLists& m, float w, float h, float depth, float tol) {
  ASSERT_GT(m.faceCount, 0u);
  float lo[3] = {1e9f, 1e9f, 1e9f}, hi[3] = {-1e9f, -1e9f, -1e9f};
  for (uint64_t i = 0; i < m.vertexCount; ++i)
    for (int k = 0; k < 3; ++k)
      lo[k] = std::fmin(lo[k], m.vertices[i][k]), hi[k] = std::fmax(hi[k], m.vertices[i][k]);
  EXPECT_NEAR(hi[0] - lo[0], w, tol);
  EXPECT_NEAR(hi[1] - lo[1], h, tol);
  EXPECT_LE(hi[2] - lo[2], depth + tol);
  EXPECT_TRUE(std::fabs(hi[0] + lo[0]) < 1e-5f && std::fabs(hi[1] + lo[1]) < 1e-5f);  // centred
  for (uint64_t f = 0; f < m.faceCount; ++f) {
    const TFace_s& face = m.faces[f];
    ASSERT_TRUE(kxFaceFits(&face, m.vertexCount, m.normalCount, m.texCoordCount)) << f;
    const float* p[3] = {m.vertices[face.vertex[0]], m.vertices[face.vertex[1]],
                         m.vertices[face.vertex[2]]};
    float mid[3], e1[3], e2[3];
    for (int k = 0; k < 3; ++k)
      mid[k] = (p[0][k] + p[1][k] + p[2][k]) / 3, e1[k] = p[1][k] - p[0][k],
      e2[k] = p[2][k] - p[0][k];
    const float cross[3] = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2],
                            e1[0] * e2[1] - e1[1] * e2[0]};
    for (int c = 0; c < 3; ++c) {
      SCOPED_TRACE("face " + std::to_string(f));
      const float *n = m.normals[face.normal[c]], *t = m.texCoords[face.texCoord[c]];
      EXPECT_NEAR(n[0] * n[0] + n[1] * n[1] + n[2] * n[2], 1.0f, 1e-5);
      EXPECT_GT(n[0] * mid[0] + n[1] * mid[1] + n[2] * mid[2], 0.0f);  // convex: outward
      EXPECT_GT(n[0] * cross[0] + n[1] * cross[1] + n[2] * cross[2], 0.0f);
      EXPECT_TRUE(t[0] >= 0 && t[0] <= 1 && t[1] >= 0 && t[1] <= 1);
      if (std::fabs(n[2]) > 0.99f) {
        const float u = p[c][0] / (hi[0] - lo[0]) + 0.5f;
        EXPECT_NEAR(t[1], p[c][1] / (hi[1] - lo[1]) + 0.5f, 1e-5);
        EXPECT_NEAR(t[0], n[2] > 0 ? 0.5f * u : 1.0f - 0.5f * u, 1e-5);
      }
    }
  }
}

}  // namespace vpTest
