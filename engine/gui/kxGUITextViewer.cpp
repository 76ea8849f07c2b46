#include "gui/kxGUITextViewer.h"

#include <GL/glew.h>

#include <new>

#include "data/kxStringArray.h"
#include "frame/kxScreen.h"
#include "graphics/kxFont.h"
#include "gui/kxGUIPanel.h"

namespace {
// 1.4 font heights; a line that would truncate to 0 pixels is 1 pixel, since
// the whole-pixel height divides the scroll offset.
float LineHeightOf(kxFont* font) {
  float h = font ? static_cast<float>(font->GetHeight() * 1.4) : 0.0f;
  return h >= 1.0f ? h : 1.0f;
}
}  // namespace

kxGUITextViewer* kxGUITextViewer::Create(unsigned int id, kxStringArray* lines, kxFont* font,
                                         int left, int top, int width, int height) {
  return new (std::nothrow) kxGUITextViewer(id, lines, font, left, top, width, height);
}

kxGUITextViewer::kxGUITextViewer(unsigned int id, kxStringArray* lines, kxFont* font, int left,
                                 int top, int width, int height)
    : kxGUIObject(id, left, top, width, height),
      lines(lines),
      font(font),
      color{0.0f, 0.0f, 0.0f, 1.0f},
      firstLine(0),
      offset(0),
      velocity(0),
      dragging(false),
      lineHeight(LineHeightOf(font)),
      background(nullptr) {
  CreateTextViewerGeometry();
}

kxGUITextViewer::~kxGUITextViewer() { delete background; }

uint64_t kxGUITextViewer::LineCount() { return lines ? lines->GetLinesCounf() : 0; }

int kxGUITextViewer::LineHeightPixels() {
  int lhi = static_cast<int>(lineHeight);
  return lhi >= 1 ? lhi : 1;
}

void kxGUITextViewer::CreateTextViewerGeometry() {
  background = kxGUIPanel::Create(0, Left, Top, Width, Height);
  if (background) background->SetBackgroundColor(1.0f, 1.0f, 1.0f, 0.8f);
}

void kxGUITextViewer::OnAfterSetParent(kxGUIObject*) {
  delete background;
  background = nullptr;
  CreateTextViewerGeometry();
}

void kxGUITextViewer::OnLMBDown() {
  velocity = 0;
  // Whole lines that fit, by float division here (Draw divides by whole
  // pixels, which can give one line more).
  const int visible = static_cast<int>(static_cast<float>(Height) / lineHeight);
  dragging = LineCount() > static_cast<uint64_t>(static_cast<int64_t>(visible));
}

void kxGUITextViewer::OnMouseMove(int, int dy) {
  if (!dragging) return;
  offset += dy;
  if (offset > 0) {  // pulled past the top
    velocity = dy;
    firstLine = 0;
    offset = 0;
    return;
  }
  firstLine = -(offset / LineHeightPixels());
  const int visible = static_cast<int>(static_cast<float>(Height) / lineHeight);
  // Unsigned on purpose: a text shorter than the view never clamps.
  const uint64_t last = LineCount() - static_cast<uint64_t>(static_cast<int64_t>(visible));
  if (static_cast<uint64_t>(firstLine) > last) {
    offset -= dy;
    firstLine = static_cast<int>(last);
  }
  velocity = dy;
}

void kxGUITextViewer::OnLMBUp() { dragging = false; }

void kxGUITextViewer::OnMouseLeave() { dragging = false; }

void kxGUITextViewer::Draw() {
  const int lhi = LineHeightPixels();
  const uint64_t count = LineCount();
  const int visible = Height / lhi;

  // Coasting: the last drag step repeats every frame until an end is reached.
  if (!dragging && velocity != 0) {
    offset += velocity;
    if (offset > 0) {
      firstLine = 0;
      offset = 0;
      velocity = 0;
    } else {
      firstLine = -(offset / lhi);
      const uint64_t last = count - static_cast<uint64_t>(static_cast<int64_t>(visible));
      if (static_cast<uint64_t>(firstLine) > last) {
        offset -= velocity;
        velocity = 0;
        firstLine = static_cast<int>(last);
      }
    }
  }

  glLineWidth(0.5f);
  if (background) background->Draw();
  glColor4f(color[0], color[1], color[2], color[3]);
  if (!font || !lines) return;

  const int round = background ? background->GetRound() : 10;
  const float h = font->GetHeight();
  const float x = static_cast<float>(Left) + static_cast<float>(round) * 0.5f;
  float y = static_cast<float>(Top) + lineHeight +
            static_cast<float>(lhi * firstLine - static_cast<int>(h * 0.4) + offset);

  // The viewer's rectangle less half a corner radius on the right.
  const int clipWidth = Width - static_cast<int>(round * 0.5);
  glEnable(GL_SCISSOR_TEST);
  glScissor(Left, kxGetScreenHeight() - Top - Height, clipWidth > 0 ? clipWidth : 0,
            Height > 0 ? Height : 0);
  const float bottom = static_cast<float>(Top + Height) + lineHeight;
  for (uint64_t i = static_cast<uint64_t>(firstLine); i < count; ++i) {
    font->Print(x, y, 0.0f, lines->GetLine(i).GetString());
    y += lineHeight;
    if (y > bottom) break;
  }
  glDisable(GL_SCISSOR_TEST);
}

void kxGUITextViewer::SetColor(float r, float g, float b, float a) {
  color[0] = r;
  color[1] = g;
  color[2] = b;
  color[3] = a;
}

int kxGUITextViewer::GetFirstLine() { return firstLine; }
int kxGUITextViewer::GetOffset() { return offset; }
int kxGUITextViewer::GetVelocity() { return velocity; }
bool kxGUITextViewer::IsDragging() { return dragging; }
float kxGUITextViewer::GetLineHeight() { return lineHeight; }
kxGUIPanel* kxGUITextViewer::GetBackground() { return background; }
