/// \file
/// Declares kxGUITextScroll.

/// \class kxGUITextScroll
/// kxGUITextScroll: a one-line ticker. The text enters at the right edge,
/// runs left one pixel per drawn frame and starts again at the right once its
/// end has passed the left edge; a new value fades the old text out (101
/// frames from full opacity) and the new one in. Clipped to its columns with
/// the scissor test, using the engine-wide window height.
///
/// Ownership: the ticker owns its two strings; the font belongs to the
/// caller and must outlive the ticker.
#pragma once

#include "data/kxString.h"
#include "gui/kxGUIObject.h"
#include "kxExport.h"

class kxFont;

class KX_API kxGUITextScroll : public kxGUIObject {
 public:
  /// Null when allocation fails.
  static kxGUITextScroll* Create(unsigned int id, kxFont* font, int left, int top, int width,
                                 const kxString& text);
  /// Height is the font's height; the text is copied and measured.
  kxGUITextScroll(unsigned int id, kxFont* font, int left, int top, int width,
                  const kxString& text);
  ~kxGUITextScroll() override;

  /// Draws one frame and advances the scroll and any fade by one step.
  void Draw() override;
  /// Queues value and starts (or continues) the fade-out; the swap measures
  /// the new text, so it wraps when its own end has left the view.
  void SetValue(kxString& value) override;
  /// Sets the colour; alpha jumps to a (a running fade goes on from there).
  void SetColor(float r, float g, float b, float a);
  /// Pixels the text has moved left from the right edge.
  void SetVx(int vx);
  int GetVx();  ///< see SetVx

  /// The text on view (the queued value replaces it at the fade's midpoint).
  const kxString& GetText();
  /// Width in pixels of the text on view.
  int GetTextWidth();
  /// The opacity the text is drawn with now.
  float GetAlpha();
  /// Whether a fade (out, then in) is running.
  bool IsFading();
  /// Whether the running fade is still in its fade-out half.
  bool IsFadingOut();

 private:
  KX_NO_COPY(kxGUITextScroll);

  float color[4];
  kxString text;
  kxString nextText;
  kxFont* font;
  int Vx;
  int textWidth;
  bool fading;
  float alpha;
  float fadeStep;
  bool fadingOut;
};
