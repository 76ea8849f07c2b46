// Pictures of the two drawing paths compared pixel by pixel, and the files
// they are kept in.
//
// The fixed-function picture is the reference. A pixel differs when one of
// its colour channels (alpha is not compared: the window has none to show)
// is more than kChannelTolerance away from the reference; a pair passes when
// at most kShareTolerance of its pixels differ. The tolerances cover the
// rounding of the two matrix and colour computations and edge pixels whose
// coverage falls the other way, nothing more.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kxTest {

const int kChannelTolerance = 6;
const double kShareTolerance = 0.005;

// A picture in memory: RGB or RGBA bytes (`channels` per pixel), rows in
// whichever order the caller keeps, the same for both sides of a comparison.
struct Picture {
  int width = 0, height = 0, channels = 3;
  std::vector<uint8_t> bytes;
};

struct PictureDifference {
  bool sameSize = false;
  size_t pixels = 0;     // pixels compared
  size_t differing = 0;  // pixels beyond the channel tolerance
  size_t lit = 0;        // pixels of the reference that are not black
  int worst = 0;         // the largest channel difference seen
  double Share() const { return pixels ? double(differing) / double(pixels) : 1.0; }
  double LitShare() const { return pixels ? double(lit) / double(pixels) : 0.0; }
  // Within the tolerance (pictures of different sizes never are).
  bool Passes() const { return sameSize && pixels > 0 && Share() <= kShareTolerance; }
  // One line: the pixels that differ, their share and the worst channel.
  std::string Describe() const;
};

PictureDifference ComparePictures(const Picture& reference, const Picture& other);

// Binary PPM (P6, maxval 255). WritePPM takes RGB or RGBA rows bottom first,
// as ReadPixels gives them, and stores them top first, as viewers show them.
bool WritePPM(const std::string& path, const Picture& bottomUp);
// False for anything but a well-formed P6 of at most 16384 x 16384 pixels
// with maxval 255; the picture comes back RGB, top row first.
bool ReadPPM(const std::string& path, Picture* out);

}  // namespace kxTest
