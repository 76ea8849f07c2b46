// What the game's animations share: the camera poses it flies between and
// the point-list moves its updates are built from. Point lists are arrays of
// float[3]; angles of poses and turns are in degrees.
#pragma once

struct vimraPose_s {
  float position[3];
  float angle[3];
};

// The menu view: where the game starts, and where Escape during a trick
// flies back to.
inline constexpr vimraPose_s vimraMenuPose = {{-4.056069f, -7.2544f, 11.639397f},
                                              {0.0f, 22.209955f, -34.696114f}};

// The narrowest window (width / height) the menu view shows the whole ring
// on with room to spare; narrower ones back the camera away.
inline constexpr float vimraRingFitAspect = 4.0f / 3.0f;

// The table, reveal and return views look straight at the cards from
// (0, 0, depth / aspect) with the aspect of the window at start-up.
inline constexpr float vimraTableDepth = 20.0f;
// Closer than this the 60-degree view no longer shows the three rows (and the
// table's breathing) top to bottom with room to spare: it matters only for
// windows wider than about 2.6 : 1.
inline constexpr float vimraTableMinDepth = 7.6f;
inline constexpr float vimraRevealDepth = 22.240955f;
inline constexpr float vimraRevealEndDepth = 18.62288f;
// The flight to the reveal drifts by fixed steps per frame: x, y and the
// angle about z.
inline constexpr float vimraRevealStepX = 0.0009337917f;
inline constexpr float vimraRevealStepY = 0.10518643f;
inline constexpr float vimraRevealStepAngleZ = 0.2787445f;

// A camera flight is planned in this many equal steps, one a frame; the
// state that flies ends once its counter has passed the last step.
inline constexpr int vimraFlightFrames = 120;
inline constexpr float vimraFlightSteps = float(vimraFlightFrames);

// Degrees to radians for the game's circles, which run clockwise.
inline constexpr float vimraMinusPi = -3.1415927f;

// Eases every point of p one tenth of the way toward the same point of q.
void vimraEase(float (*p)[3], const float (*q)[3], int n);

// Turns a point list about the point (0, 0, pivotZ): moves it by -pivotZ,
// applies the turns in order (axis 'x', 'y' or 'z' and degrees about that
// axis) and moves it back.
struct vimraTurn_s {
  char axis;
  float degrees;
};
void vimraSpinAbout(float (*p)[3], int n, float pivotZ, const vimraTurn_s* turns, int turnCount);
