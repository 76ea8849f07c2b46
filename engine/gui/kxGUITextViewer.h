/// \file
/// Declares kxGUITextViewer.

/// \class kxGUITextViewer
/// kxGUITextViewer: a list of lines on a white translucent rounded panel. The
/// left button drags the text up and down; after release the last drag step
/// goes on moving it every frame until it reaches the top or the end. The
/// mouse wheel scrolls it by whole lines within the same limits. When there
/// is more text than fits, a thin bar at the right edge shows which part is
/// on view. The text is clipped to the viewer with the scissor test, using
/// the engine-wide window height.
///
/// Ownership: the viewer owns its background panel (not a child). The lines
/// and the font belong to the caller and must outlive the viewer.
#pragma once

#include "gui/kxGUIObject.h"
#include "gui/kxGUIWheelTarget.h"
#include "kxExport.h"

class kxFont;
class kxGUIPanel;
class kxStringArray;

class KX_API kxGUITextViewer : public kxGUIObject, public kxGUIWheelTarget {
 public:
  /// Lines scrolled per wheel notch.
  static constexpr int linesPerNotch = 3;
  /// Width of the scroll bar and its distance from the right edge, in pixels:
  /// it sits in the strip the text's clip rectangle leaves free.
  static constexpr int scrollBarWidth = 2;
  static constexpr int scrollBarMargin = 1;  ///< see scrollBarWidth

  /// Null when allocation fails.
  static kxGUITextViewer* Create(unsigned int id, kxStringArray* lines, kxFont* font, int left,
                                 int top, int width, int height);
  /// The line height is 1.4 font heights, at least one pixel.
  kxGUITextViewer(unsigned int id, kxStringArray* lines, kxFont* font, int left, int top, int width,
                  int height);
  ~kxGUITextViewer() override;

  /// Applies the coasting step, then draws the background and the lines.
  void Draw() override;
  /// Both end a drag; the last step keeps the text coasting.
  void OnMouseLeave() override;
  void OnLMBUp() override;
  /// Stops coasting; starts a drag when the text is longer than the view.
  void OnLMBDown() override;
  /// Drags by dy while dragging (dx is ignored).
  void OnMouseMove(int dx, int dy) override;
  /// Rebuilds the background at the new absolute position.
  void OnAfterSetParent(kxGUIObject* parent) override;
  /// Only a text longer than the view takes the wheel: it stops coasting and
  /// moves linesPerNotch lines a notch (notches > 0 towards the top), never
  /// past the top nor further down than a drag may go.
  bool OnMouseWheel(int notches) override;

  /// The colour of the lines (black at first).
  void SetColor(float r, float g, float b, float a);

  /// Index of the first line on view.
  int GetFirstLine();
  /// Scroll offset in pixels: 0 at the top, negative further down.
  int GetOffset();
  /// Pixels the text moves per frame while coasting; 0 at rest.
  int GetVelocity();
  /// Whether a left-button drag is in progress.
  bool IsDragging();
  /// Line spacing in pixels (1.4 font heights).
  float GetLineHeight();
  /// The background panel, owned by the viewer; null if it was not made.
  kxGUIPanel* GetBackground();

 private:
  KX_NO_COPY(kxGUITextViewer);

  void CreateTextViewerGeometry();
  uint64_t LineCount();
  // Whole lines that fit by float division, as presses and moves count them.
  int FittingLines();
  // True when the text is longer than the view, so it can be dragged.
  bool Overflows();
  // The track and the thumb at the right edge, when the text overflows.
  void DrawScrollBar();
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
