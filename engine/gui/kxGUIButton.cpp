#include "gui/kxGUIButton.h"

#include <new>

#include "data/kxMemoryBlock.h"
#include "graphics/kxFont.h"
#include "graphics/kxGeometry.h"
#include "graphics/kxTexturedBox.h"
#include "gui/kxGUIButtonStates.h"
#include "kxSaturate.h"
#include "render/kxRenderer.h"

namespace {
int MeasureText(kxFont* font, const kxString& text) {
  return font ? static_cast<int>(font->GetWidth(text.GetString())) : 0;
}
}  // namespace

kxGUIButton* kxGUIButton::Create(unsigned int id, kxFont* font, kxGUIButtonStates* states, int left,
                                 int top, int width, int height, const kxString& text) {
  return new (std::nothrow) kxGUIButton(id, font, states, left, top, width, height, text);
}

kxGUIButton::kxGUIButton(unsigned int id, kxFont* font, kxGUIButtonStates* states, int left,
                         int top, int width, int height, const kxString& text)
    : kxGUIObject(id, left, top, width, height),
      geometry(nullptr),
      caption(text),
      captionWidth(MeasureText(font, text)),
      font(font),
      state(statePassive),
      states(states) {
  CreateButtonGeometry();
}

kxGUIButton::~kxGUIButton() {
  delete geometry;
}

void kxGUIButton::CreateButtonGeometry() {
  delete geometry;
  geometry = new (std::nothrow) kxGeometry();
  if (Width < minimumWidth) Width = minimumWidth;
  if (!geometry) return;

  kxMemoryBlock* images[3] = {nullptr, nullptr, nullptr};
  if (states) {
    images[0] = states->GetPassiveTexture();
    images[1] = states->GetActiveTexture();
    images[2] = states->GetPushedTexture();
  }
  for (kxMemoryBlock* image : images) {
    kxTexturedBox* box = kxTexturedBox::Create(static_cast<float>(Width),
                                               static_cast<float>(Height), false, tbpFlipped);
    // A missing box still takes its slot, so the state keeps indexing the
    // right look; drawing skips the hole.
    if (box) {
      if (image) box->TextureFromCrunchedMemoryBlock(image);
      box->SetPosition(static_cast<float>(Left), static_cast<float>(Top), 0.0f);
    }
    geometry->AppendVertexArray(box);
  }
}

kxGeometry* kxGUIButton::GetGeometry() {
  return geometry;
}

void kxGUIButton::Draw() {
  if (geometry) {
    kxVertexArray* box = geometry->GetVertexArray(static_cast<size_t>(state));
    if (box) box->Draw();
  }
  if (!font) return;
  float h = font->GetHeight();
  // Single precision throughout; both truncations go towards zero, so a
  // caption wider than the button spills out equally on both sides.
  // The sums saturate, so a button near the end of int stays defined.
  const float freeWidth = static_cast<float>(static_cast<int64_t>(Width) - captionWidth);
  const int down = static_cast<int>((static_cast<float>(Height) - h) * 0.5f + (h - 2.0f));
  int y = kxSaturatedSum(Top, down);
  int x = kxSaturatedDifference(Left, static_cast<int>(freeWidth * -0.5f));
  kxGetRenderer()->SetColor(0.0f, 0.0f, 0.0f, 1.0f);
  font->Print(static_cast<float>(kxSaturatedSum(x, 1)), static_cast<float>(kxSaturatedSum(y, 1)),
              0.0f, caption.GetString());
  kxGetRenderer()->SetColor(1.0f, 1.0f, 1.0f, 1.0f);
  font->Print(static_cast<float>(x), static_cast<float>(y), 0.0f, caption.GetString());
}

void kxGUIButton::OnMouseEnter() {
  state = stateActive;
}

void kxGUIButton::OnMouseLeave() {
  state = statePassive;
}

void kxGUIButton::OnLMBDown() {
  state = statePushed;
}

void kxGUIButton::OnLMBUp() {
  state = stateActive;
  OnClick();
}

int kxGUIButton::GetState() {
  return state;
}

void kxGUIButton::OnAfterSetParent(kxGUIObject*) {
  CreateButtonGeometry();
}

void kxGUIButton::OnClick() {}

const kxString& kxGUIButton::GetCaption() {
  return caption;
}

int kxGUIButton::GetCaptionWidth() {
  return captionWidth;
}
