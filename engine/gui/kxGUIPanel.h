/// \file
/// Declares kxGUIPanel.

/// \class kxGUIPanel
/// kxGUIPanel: a translucent rectangle with rounded corners (radius 10), built
/// once as a coloured triangle mesh of 78 vertices in a vertex buffer. Menus
/// use it as a frame holding other controls as children.
///
/// Ownership: the panel owns its geometry (one vertex array).
#pragma once

#include "gui/kxGUIObject.h"
#include "kxExport.h"

class kxGeometry;
class kxVertexArray;

class KX_API kxGUIPanel : public kxGUIObject {
 public:
  /// Null when allocation fails.
  static kxGUIPanel* Create(unsigned int id, int left, int top, int width, int height);
  /// Builds the mesh at once, in (0, 0, 0, 0.8); without memory the panel
  /// has no geometry and draws nothing.
  kxGUIPanel(unsigned int id, int left, int top, int width, int height);
  ~kxGUIPanel() override;

  /// Per-vertex colours; the caller (the manager) enables blending.
  void Draw() override;
  /// Recolours every vertex in place (one buffer upload) and keeps the colour
  /// for later rebuilds.
  void SetBackgroundColor(float r, float g, float b, float a);
  /// The corner radius: always 10.
  int GetRound();
  /// Rebuilds the mesh at the new absolute position in the stored colour.
  void OnAfterSetParent(kxGUIObject* parent) override;

  /// The mesh (null only if it could not be allocated).
  kxGeometry* GetGeometry();
  /// Four floats r, g, b, a; starts (0, 0, 0, 0.8).
  const float* GetBackgroundColor();

 private:
  KX_NO_COPY(kxGUIPanel);

  void CreatePanelGeometry();
  // Three bands of two triangles each, then the four corner fans.
  void CreateRoundedBox(kxVertexArray* array, int left, int top, int width, int height, int radius,
                        float (*color)[4]);
  // A fan of separate triangles from angle a0 to a1 (radians) around
  // (cx, cy); nothing when a1 <= a0 or segments < 1.
  void CreateCorner(kxVertexArray* array, float cx, float cy, float radius, float a0, float a1,
                    int segments);

  kxGeometry* geometry;
  int round;
  float color[4];
};
