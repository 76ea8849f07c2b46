#include "kxPictureCompare.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace kxTest {

std::string PictureDifference::Describe() const {
  if (!sameSize) return "the pictures differ in size";
  char line[160];
  snprintf(line, sizeof line,
           "%zu of %zu pixels differ (%.3f %%, at most %.3f %%), worst channel %d", differing,
           pixels, Share() * 100.0, kShareTolerance * 100.0, worst);
  return line;
}

PictureDifference ComparePictures(const Picture& reference, const Picture& other) {
  PictureDifference d;
  d.sameSize = reference.width == other.width && reference.height == other.height &&
               reference.width > 0 && reference.height > 0;
  const size_t count = size_t(reference.width) * size_t(reference.height);
  const size_t rc = size_t(reference.channels), oc = size_t(other.channels);
  if (!d.sameSize || rc < 3 || oc < 3 || reference.bytes.size() < count * rc ||
      other.bytes.size() < count * oc) {
    d.sameSize = false;
    return d;
  }
  d.pixels = count;
  for (size_t i = 0; i < count; ++i) {
    const uint8_t* a = &reference.bytes[i * rc];
    const uint8_t* b = &other.bytes[i * oc];
    int worst = 0;
    for (int c = 0; c < 3; ++c) worst = std::max(worst, std::abs(int(a[c]) - int(b[c])));
    d.worst = std::max(d.worst, worst);
    if (worst > kChannelTolerance) ++d.differing;
    if (a[0] || a[1] || a[2]) ++d.lit;
  }
  return d;
}

namespace {

struct FileCloser {
  void operator()(FILE* f) const { fclose(f); }
};
using File = std::unique_ptr<FILE, FileCloser>;

// The next header number of a PPM, after white space and # comments.
bool ReadHeaderNumber(FILE* f, long* value) {
  int c = fgetc(f);
  while (c == '#' || c == ' ' || c == '\t' || c == '\n' || c == '\r') {
    if (c == '#') {
      while (c != '\n' && c != EOF) c = fgetc(f);
    }
    c = fgetc(f);
  }
  long v = 0;
  int digits = 0;
  while (c >= '0' && c <= '9' && digits < 9) {
    v = v * 10 + (c - '0');
    ++digits;
    c = fgetc(f);
  }
  *value = v;
  // Exactly one white-space byte ends a number; more digits are too many.
  return digits > 0 && (c == ' ' || c == '\t' || c == '\n' || c == '\r');
}

}  // namespace

bool WritePPM(const std::string& path, const Picture& bottomUp) {
  const size_t channels = size_t(bottomUp.channels), w = size_t(bottomUp.width);
  if (channels < 3 || bottomUp.width <= 0 || bottomUp.height <= 0 ||
      bottomUp.bytes.size() < w * size_t(bottomUp.height) * channels)
    return false;
  File f(fopen(path.c_str(), "wb"));
  if (!f) return false;
  fprintf(f.get(), "P6\n%d %d\n255\n", bottomUp.width, bottomUp.height);
  std::vector<uint8_t> row(w * 3);
  for (int y = bottomUp.height - 1; y >= 0; --y) {
    const uint8_t* from = &bottomUp.bytes[size_t(y) * w * channels];
    for (size_t x = 0; x < w; ++x)
      for (size_t c = 0; c < 3; ++c) row[x * 3 + c] = from[x * channels + c];
    if (fwrite(row.data(), 1, row.size(), f.get()) != row.size()) return false;
  }
  return fflush(f.get()) == 0;
}

bool ReadPPM(const std::string& path, Picture* out) {
  File f(fopen(path.c_str(), "rb"));
  if (!f || fgetc(f.get()) != 'P' || fgetc(f.get()) != '6') return false;
  long w = 0, h = 0, maxval = 0;
  if (!ReadHeaderNumber(f.get(), &w) || !ReadHeaderNumber(f.get(), &h) ||
      !ReadHeaderNumber(f.get(), &maxval))
    return false;
  if (w <= 0 || h <= 0 || w > 16384 || h > 16384 || maxval != 255) return false;
  Picture p;
  p.width = int(w);
  p.height = int(h);
  p.channels = 3;
  p.bytes.resize(size_t(w) * size_t(h) * 3);
  if (fread(p.bytes.data(), 1, p.bytes.size(), f.get()) != p.bytes.size()) return false;
  *out = std::move(p);
  return true;
}

}  // namespace kxTest
