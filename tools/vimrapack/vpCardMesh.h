// The card mesh of the deck: a thin rounded (or square) slab whose front
// (+z) shows the left half of the card texture upright and whose back (-z)
// shows the right half upright when seen from behind; the rim samples the
// card's border. Texture rows are stored bottom-up, so t grows with y.
#pragma once

#include "vpMesh.h"

struct vpCardShape {
  float width = 0.32f;       // x extent in mesh units (the game scales by 5)
  float height = 0.46f;      // y extent
  float thickness = 0.012f;  // z extent
  float radius = 0.03f;      // corner radius; ignored without segments
  int cornerSegments = 6;    // 0 gives square corners
};

// Centred on the origin; every triangle winds counter-clockwise seen from
// outside and every normal points outwards with unit length.
vpMesh vpBuildCardMesh(const vpCardShape& shape);
