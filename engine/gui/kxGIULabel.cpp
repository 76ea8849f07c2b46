#include "gui/kxGIULabel.h"

#include <new>

#include "graphics/kxFont.h"
#include "gui/kxGUIColor.h"
#include "gui/kxTextMetrics.h"
#include "render/kxRenderer.h"

kxGIULabel* kxGIULabel::Create(unsigned int id, kxFont* font, int left, int top,
                               const kxString& text) {
  return new (std::nothrow) kxGIULabel(id, font, left, top, text);
}

kxGIULabel::kxGIULabel(unsigned int id, kxFont* font, int left, int top, const kxString& text)
    : kxGUIObject(id, left, top, kxTextWidth(font, text), kxFontHeight(font)),
      text(text),
      font(font),
      color{1.0f, 1.0f, 1.0f, 1.0f} {}

kxGIULabel::~kxGIULabel() {}

void kxGIULabel::Draw() {
  kxGetRenderer()->SetColor(color[0], color[1], color[2], color[3]);
  if (!font || !text.GetString()) return;
  font->Print(static_cast<float>(Left), static_cast<float>(Top) + font->GetHeight(), 0.0f,
              text.GetString());
}

void kxGIULabel::SetValue(kxString& value) {
  text = value;
}

void kxGIULabel::SetColor(float r, float g, float b, float a) {
  kxStoreColor(color, r, g, b, a);
}

const kxString& kxGIULabel::GetText() {
  return text;
}

const float* kxGIULabel::GetColor() {
  return color;
}
