#include "vpCardMesh.h"

#include <cmath>
#include <vector>

namespace {

struct RimPoint {
  float x, y;    // position on the outline
  float nx, ny;  // outward normal of the rim there (rounded corners only)
};

// The outline counter-clockwise seen from +z, starting at the bottom right.
std::vector<RimPoint> Outline(const vpCardShape& s) {
  const float hw = s.width * 0.5f, hh = s.height * 0.5f;
  std::vector<RimPoint> pts;
  if (s.cornerSegments <= 0) {
    pts = {{hw, -hh, 0, 0}, {hw, hh, 0, 0}, {-hw, hh, 0, 0}, {-hw, -hh, 0, 0}};
    return pts;
  }
  const float r = s.radius;
  const float cx[4] = {hw - r, hw - r, -hw + r, -hw + r};
  const float cy[4] = {-hh + r, hh - r, hh - r, -hh + r};
  const double pi = 3.14159265358979323846;
  for (int corner = 0; corner < 4; ++corner) {
    const double start = -pi / 2 + corner * pi / 2;
    for (int k = 0; k <= s.cornerSegments; ++k) {
      const double a = start + (pi / 2) * k / s.cornerSegments;
      const float nx = float(std::cos(a)), ny = float(std::sin(a));
      pts.push_back({cx[corner] + r * nx, cy[corner] + r * ny, nx, ny});
    }
  }
  return pts;
}

}  // namespace

vpMesh vpBuildCardMesh(const vpCardShape& s) {
  vpMesh mesh;
  const float hz = s.thickness * 0.5f;
  const std::vector<RimPoint> rim = Outline(s);
  const size_t n = rim.size();

  const uint32_t front = mesh.AddNormal(0, 0, 1);
  const uint32_t back = mesh.AddNormal(0, 0, -1);
  // The rim takes the colour of the border at the front's left edge.
  const uint32_t rimTex = mesh.AddTexCoord(0.004f, 0.5f);

  auto frontTex = [&](float x, float y) {
    return mesh.AddTexCoord(0.5f * (x / s.width + 0.5f), y / s.height + 0.5f);
  };
  auto backTex = [&](float x, float y) {
    return mesh.AddTexCoord(0.5f + 0.5f * (0.5f - x / s.width), y / s.height + 0.5f);
  };

  // Faces: a fan around the centre on each side.
  const uint32_t fc = mesh.AddPosition(0, 0, hz), fct = frontTex(0, 0);
  const uint32_t bc = mesh.AddPosition(0, 0, -hz), bct = backTex(0, 0);
  std::vector<uint32_t> fp(n), bp(n), ft(n), bt(n);
  for (size_t i = 0; i < n; ++i) {
    fp[i] = mesh.AddPosition(rim[i].x, rim[i].y, hz);
    bp[i] = mesh.AddPosition(rim[i].x, rim[i].y, -hz);
    ft[i] = frontTex(rim[i].x, rim[i].y);
    bt[i] = backTex(rim[i].x, rim[i].y);
  }
  for (size_t i = 0; i < n; ++i) {
    const size_t j = (i + 1) % n;
    mesh.AddFace({fc, fp[i], fp[j]}, {front, front, front}, {fct, ft[i], ft[j]});
    mesh.AddFace({bc, bp[j], bp[i]}, {back, back, back}, {bct, bt[j], bt[i]});
  }

  // Rim: one quad per outline edge; rounded corners get smooth normals,
  // square ones the flat normal of each edge.
  for (size_t i = 0; i < n; ++i) {
    const size_t j = (i + 1) % n;
    uint32_t ni, nj;
    if (s.cornerSegments > 0) {
      ni = mesh.AddNormal(rim[i].nx, rim[i].ny, 0);
      nj = mesh.AddNormal(rim[j].nx, rim[j].ny, 0);
    } else {
      const float dx = rim[j].x - rim[i].x, dy = rim[j].y - rim[i].y;
      const float len = std::sqrt(dx * dx + dy * dy);
      ni = nj = mesh.AddNormal(dy / len, -dx / len, 0);
    }
    mesh.AddFace({fp[i], bp[i], bp[j]}, {ni, ni, nj}, {rimTex, rimTex, rimTex});
    mesh.AddFace({fp[i], bp[j], fp[j]}, {ni, nj, nj}, {rimTex, rimTex, rimTex});
  }
  return mesh;
}
