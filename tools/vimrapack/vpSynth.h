// vpSynth: renders a vpScore to stereo samples with a handful of small
// instruments (additive pad, bass, FM electric piano and bell, soft flute)
// and a reverb. Everything is computed from the score alone: no clocks and
// no library randomness, so the same score gives the same samples.
//
// A looping score is rendered circularly: sound that rings past the end of
// the last bar is added at the start, and the reverb runs over the piece
// twice and keeps the second pass, so the end flows into the beginning
// without a seam. A score played once gets a two-second tail that fades to
// silence.
#pragma once

#include <vector>

#include "vpScore.h"

struct vpStereo {
  std::vector<float> left, right;
};

// Samples in -1..1, peak normalised to `peak`. Empty when the score has
// nothing to play.
vpStereo vpRenderScore(const vpScore& score, int sampleRate, float peak);
