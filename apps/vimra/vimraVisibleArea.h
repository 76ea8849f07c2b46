// The part of a picture that can show on screen, and the trimming of a
// textured box to that part. A cloud picture is mostly fully transparent
// margin; blended over the backdrop those texels change no pixel, yet a
// software renderer pays for sampling and blending every one of them. A box
// trimmed to its visible texels draws the same picture with fewer pixels.
#pragma once

#include <cstdint>

class kxTexturedBox;
class kxVertexArray;

// Inclusive texel bounds: columns x0..x1, rows y0..y1 (row 0 first in
// memory, as uploaded).
struct vimraTexelRect_s {
  int x0, y0, x1, y1;
};

// Bounds of the texels whose alpha is not 0 in a width x height alpha image
// stored row by row. False (out unchanged) when every texel is transparent
// or the size is not positive.
bool vimraVisibleTexels(const uint8_t* alpha, int width, int height, vimraTexelRect_s* out);

// Shrinks a box of the normal projection to the rectangle that can show the
// texels of `visible` in a width x height picture, keeping every point's
// texture coordinate: a margin of one texel on each side covers what linear
// filtering reaches. Width, height, position and scale of the box stay.
// False, and the box unchanged, for another projection, a box that is not
// the plain six-vertex quad, or bounds outside the picture.
bool vimraTrimBoxToTexels(kxTexturedBox* box, const vimraTexelRect_s& visible, int width,
                          int height);

// Reads back the alpha of the box's texture (needs the current GL context)
// and trims the box to it. False, box unchanged, when it has no texture or
// nothing of the picture is visible.
bool vimraTrimBoxToPicture(kxTexturedBox* box);

// True when the quad with `corners` (object space, in order around its
// edge), carried to clip space by the column-major matrices `projection`
// and `modelview`, covers the whole viewport with `margin` (normalised
// device units) to spare on every side. False when a corner lies on or
// behind the eye plane. An opaque quad that covers the viewport leaves
// nothing of the colour buffer's old content to clear.
bool vimraQuadCoversViewport(const float projection[16], const float modelview[16],
                             const float corners[4][3], float margin);

// True when every triangle of the mesh (its vertex and normal lists, three
// points a triangle) turns its counter-clockwise side the way its normals
// point: then a closed mesh shows only front faces, and culling the back
// faces leaves the picture as it was while sparing the hidden half of the
// fill. Triangles without area are not counted. False for a mesh without
// vertices or without a normal for each vertex.
bool vimraFacesPointOutward(kxVertexArray* mesh);
