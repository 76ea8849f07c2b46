// The small pictures of the pack: clouds, the star, the button faces and the
// title logo. All are RGBA with soft alpha edges that fall to zero at the
// picture's border (the textures repeat, and linear filtering would
// otherwise pull in the opposite edge).
#pragma once

#include <cstdint>
#include <vector>

#include "vpFontFace.h"
#include "vpImage.h"

// A cloud of w x h texels meant for a box of boxWidth x boxHeight units; the
// shape is drawn in the box's proportions and fills it. `seed` fixes it.
vpImage vpDrawCloud(int w, int h, float boxWidth, float boxHeight, uint32_t seed);

// A white sparkle with a soft core and eight rays, size x size texels.
vpImage vpDrawStar(int size);

enum class vpButtonState { passive, active, pushed };
// A button face in the given base colour with rounded corners: 128 x 32
// times `density` texels, for a button of 128 x 32 shown that much larger.
vpImage vpDrawButton(const vpColor& base, vpButtonState state, int density = 1);

// The 512 x 256 title: a fan of the given card faces behind the name.
// `faces` are card-face images (any size, card proportions).
bool vpDrawLogo(const vpFontFace& bold, const std::vector<vpImage>& faces, vpImage* logo);
// The same title drawn directly at 1024 f x 512 f texels (vpDrawLogo is the
// f = 1 drawing halved).
bool vpDrawLogoAt(const vpFontFace& bold, const std::vector<vpImage>& faces, float f,
                  vpImage* logo);

// Draws `src` centred on (cx, cy), scaled by sx and sy and turned by `angle`
// radians (clockwise on screen), with bilinear sampling.
void vpDrawTransformed(vpImage* dst, const vpImage& src, float cx, float cy, float sx, float sy,
                       float angle);
