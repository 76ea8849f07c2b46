// kxGUITextViewer: a list of lines on a white translucent rounded panel. The
// left button drags the text up and down; after release the last drag step
// goes on moving it every frame until it reaches the top or the end. The
// text is clipped to the viewer with the scissor test, using the engine-wide
// window height.
//
// Ownership: the viewer owns its background panel (not a child). The lines
// and the font belong to the caller and must outlive the viewer.
#pragma once

#include "gui/kxGUIObject.h"
#include "kxExport.h"

class kxFont;
class kxGUIPanel;
class kxStringArray;

class KX_API kxGUITextViewer : public kxGUIObject {
 public:
  // Null when allocation fails.
  static kxGUITextViewer* Create(unsigned int id, kxStringArray* lines, kxFont* font, int left,
                                 int top, int width, int height);
  // The line height is 1.4 font heights, at least one pixel.
  kxGUITextViewer(unsigned int id, kxStringArray* lines, kxFont* font, int left, int top,
                  int width, int height);
  ~kxGUITextViewer() override;

  // Applies the coasting step, then draws the background and the lines.
  void Draw() override;
  // Both end a drag; the last step keeps the text coasting.
  void OnMouseLeave() override;
  void OnLMBUp() override;
  // Stops coasting; starts a drag when the text is longer than the view.
  void OnLMBDown() override;
  // Drags by dy while dragging (dx is ignored).
  void OnMouseMove(int dx, int dy) override;
  // Rebuilds the background at the new absolute position.
  void OnAfterSetParent(kxGUIObject* parent) override;

  void SetColor(float r, float g, float b, float a);

  int GetFirstLine();
  int GetOffset();
  int GetVelocity();
  bool IsDragging();
  float GetLineHeight();
  kxGUIPanel* GetBackground();

 private:
  KX_NO_COPY(kxGUITextViewer);

  void CreateTextViewerGeometry();
  uint64_t LineCount();
  // Whole pixels per line, never 0.
  int LineHeightPixels();

  kxStringArray* lines;
  kxFont* font;
  float color[4];
  int firstLine;
  int offset;
  int velocity;
  bool dragging;
  float lineHeight;
  kxGUIPanel* background;
};
