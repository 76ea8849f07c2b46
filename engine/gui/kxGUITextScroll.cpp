#include "gui/kxGUITextScroll.h"

#include <new>

#include "graphics/kxFont.h"
#include "graphics/kxScreen.h"
#include "gui/kxGUIColor.h"
#include "gui/kxTextMetrics.h"
#include "kxSaturate.h"
#include "render/kxRenderer.h"

kxGUITextScroll* kxGUITextScroll::Create(unsigned int id, kxFont* font, int left, int top,
                                         int width, const kxString& text) {
  return new (std::nothrow) kxGUITextScroll(id, font, left, top, width, text);
}

kxGUITextScroll::kxGUITextScroll(unsigned int id, kxFont* font, int left, int top, int width,
                                 const kxString& text)
    : kxGUIObject(id, left, top, width, kxFontHeight(font)),
      color{1.0f, 1.0f, 1.0f, 1.0f},
      text(text),
      nextText(),
      font(font),
      Vx(0),
      textWidth(kxTextWidth(font, text)),
      fading(false),
      alpha(1.0f),
      fadeStep(0.01f),
      fadingOut(false) {}

kxGUITextScroll::~kxGUITextScroll() {}

void kxGUITextScroll::Draw() {
  const float y = static_cast<float>(Top) + (font ? font->GetHeight() : 0.0f);
  // Wide sums: positions near the ends of int stay defined.
  const float x = static_cast<float>(static_cast<int64_t>(Width) + Left - Vx);
  kxRenderer* r = kxGetRenderer();
  r->SetColor(color[0], color[1], color[2], alpha);

  // Cut at the control's left and right edges only: the box starts 5 pixels
  // below the lower edge (descenders) and reaches far above it.
  r->Enable(rsScissorTest);
  const kxScreenRect_s clip = kxGUIRectToScreen(
      Left, kxSaturateToInt(static_cast<int64_t>(Top) + Height + 5 - 1000), Width, 1000);
  r->SetScissor(clip.x, clip.y, clip.width, clip.height);
  if (font) font->Print(x, y, 0.0f, text.GetString());
  r->Disable(rsScissorTest);

  Vx = kxSaturatedSum(Vx, 1);
  // The end of the text has passed the left edge: start again at the right.
  if (static_cast<float>(Left) > static_cast<float>(textWidth) + x) Vx = 0;

  if (!fading) return;
  if (fadingOut) {
    alpha -= fadeStep;
    if (alpha < 0.0f) {
      alpha = 0.0f;
      fadingOut = false;
      text = nextText;
      textWidth = kxTextWidth(font, text);
      Vx = 0;
    }
  } else {
    alpha += fadeStep;
    if (alpha > color[3]) {
      alpha = color[3];
      fading = false;
    }
  }
}

void kxGUITextScroll::SetVx(int vx) {
  Vx = vx;
}

int kxGUITextScroll::GetVx() {
  return Vx;
}

// The text on view and its width: Draw swaps the queued value in.
const kxString& kxGUITextScroll::GetText() {
  return text;
}

int kxGUITextScroll::GetTextWidth() {
  return textWidth;
}

void kxGUITextScroll::SetValue(kxString& value) {
  nextText = value;
  fading = true;
  fadingOut = true;
}

bool kxGUITextScroll::IsFading() {
  return fading;
}

bool kxGUITextScroll::IsFadingOut() {
  return fadingOut;
}

void kxGUITextScroll::SetColor(float r, float g, float b, float a) {
  kxStoreColor(color, r, g, b, a);
  alpha = a;
}

float kxGUITextScroll::GetAlpha() {
  return alpha;
}
