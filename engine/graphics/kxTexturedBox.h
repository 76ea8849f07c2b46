/// \file
/// Declares kxTexturedBox.

/// \class kxTexturedBox
/// kxTexturedBox: a flat textured rectangle with a corner at the origin in
/// the plane z = 0, drawn like any vertex array or, with Draw2, turned to face
/// a camera. Owns what a kxVertexArray owns.
#pragma once

#include "graphics/kxVertexArray.h"
#include "kxExport.h"

/// How a box's texture coordinates map the image onto it.
enum TTextureBoxProjection : int32_t {
  tbpNormal = 0,   ///< image row 0 at y = 0 (upright where y points up)
  tbpFlipped = 1,  ///< image row 0 at y = height (upright where y points down)
};

class KX_API kxTexturedBox : public kxVertexArray {
 public:
  KX_NO_COPY(kxTexturedBox);

  /// Any projection other than the two above gives a box without texture
  /// coordinates: Draw then leaves the texture-coordinate array disabled and
  /// the whole box shows the texel at the current texture coordinate.
  kxTexturedBox(float width, float height, bool flag, TTextureBoxProjection projection);
  /// Null when allocation fails.
  [[nodiscard]] static kxTexturedBox* Create(float width, float height, bool flag,
                                             TTextureBoxProjection projection);
  virtual ~kxTexturedBox();

  /// Size given at construction; the scale does not change it.
  float GetWidth();
  float GetHeight();  ///< see GetWidth

  /// Draws the box turned towards cameraPosition (three floats) and spun by
  /// `angle` degrees about its own z axis. The box's own angles are not used.
  void Draw2(float* const cameraPosition, float angle);

 protected:
  /// \privatesection
  float width;
  float height;
  bool userFlag;
  TTextureBoxProjection projection;
};
