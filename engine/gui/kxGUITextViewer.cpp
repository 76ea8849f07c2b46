#include "gui/kxGUITextViewer.h"

#include <climits>
#include <new>

#include "data/kxStringArray.h"
#include "graphics/kxFont.h"
#include "graphics/kxScreen.h"
#include "gui/kxGUIColor.h"
#include "gui/kxGUIPanel.h"
#include "kxSaturate.h"
#include "render/kxRenderer.h"

namespace {
// 1.4 font heights; a line that would truncate to 0 pixels is 1 pixel, since
// the whole-pixel height divides the scroll offset.
float LineHeightOf(kxFont* font) {
  float h = font ? static_cast<float>(font->GetHeight() * 1.4) : 0.0f;
  return h >= 1.0f ? h : 1.0f;
}

// The line shown first at a scroll offset (0 or below); formed wide, since
// negating the lowest int would overflow.
int FirstLineOf(int offset, int lineHeightPixels) {
  return kxSaturateToInt(-(static_cast<int64_t>(offset) / lineHeightPixels));
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

kxGUITextViewer::~kxGUITextViewer() {
  delete background;
}

uint64_t kxGUITextViewer::LineCount() {
  return lines ? lines->GetLinesCounf() : 0;
}

int kxGUITextViewer::LineHeightPixels() {
  int lhi = static_cast<int>(lineHeight);
  return lhi >= 1 ? lhi : 1;
}

float kxGUITextViewer::GetLineHeight() {
  return lineHeight;
}

int kxGUITextViewer::FittingLines() {
  return static_cast<int>(static_cast<float>(Height) / lineHeight);
}

bool kxGUITextViewer::Overflows() {
  // Unsigned on purpose: a negative count of fitting lines never overflows.
  return LineCount() > static_cast<uint64_t>(static_cast<int64_t>(FittingLines()));
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

kxGUIPanel* kxGUITextViewer::GetBackground() {
  return background;
}

void kxGUITextViewer::OnLMBDown() {
  velocity = 0;
  // Whole lines that fit, by float division here (Draw divides by whole
  // pixels, which can give one line more).
  dragging = Overflows();
}

void kxGUITextViewer::OnMouseMove(int, int dy) {
  if (!dragging) return;
  const int before = offset;
  offset = kxSaturatedSum(offset, dy);
  if (offset > 0) {  // pulled past the top
    velocity = dy;
    firstLine = 0;
    offset = 0;
    return;
  }
  firstLine = FirstLineOf(offset, LineHeightPixels());
  const int visible = FittingLines();
  // Unsigned on purpose: a text shorter than the view never clamps.
  const uint64_t last = LineCount() - static_cast<uint64_t>(static_cast<int64_t>(visible));
  if (static_cast<uint64_t>(firstLine) > last) {
    offset = before;
    firstLine = static_cast<int>(last);
  }
  velocity = dy;
}

int kxGUITextViewer::GetFirstLine() {
  return firstLine;
}

int kxGUITextViewer::GetOffset() {
  return offset;
}

void kxGUITextViewer::OnLMBUp() {
  dragging = false;
}

bool kxGUITextViewer::IsDragging() {
  return dragging;
}

bool kxGUITextViewer::OnMouseWheel(int notches) {
  if (notches == 0 || !Overflows()) return false;
  velocity = 0;
  // No real wheel reports more in one event; the bound keeps the products
  // below in range.
  const int64_t limit = 1000;
  const int64_t turns = notches > limit ? limit : (notches < -limit ? -limit : notches);
  const int64_t lhi = LineHeightPixels();
  int64_t target = offset + turns * linesPerNotch * lhi;
  // The lowest offset a drag settles on: the last line a drag may make first.
  uint64_t last = LineCount() - static_cast<uint64_t>(static_cast<int64_t>(FittingLines()));
  if (last > static_cast<uint64_t>(INT_MAX)) last = INT_MAX;
  const int64_t lowest = -static_cast<int64_t>(last) * lhi;
  if (target > 0) target = 0;
  // Past the end the text stops, without moving back against the wheel
  // should a drag have left it a little further.
  if (target < lowest) target = offset < lowest ? offset : lowest;
  offset = kxSaturateToInt(target);
  firstLine = FirstLineOf(offset, LineHeightPixels());
  return true;
}

void kxGUITextViewer::OnMouseLeave() {
  dragging = false;
}

void kxGUITextViewer::Draw() {
  const int lhi = LineHeightPixels();
  const uint64_t count = LineCount();
  const int visible = Height / lhi;

  // Coasting: the last drag step repeats every frame until an end is reached.
  if (!dragging && velocity != 0) {
    const int before = offset;
    offset = kxSaturatedSum(offset, velocity);
    if (offset > 0) {
      firstLine = 0;
      offset = 0;
      velocity = 0;
    } else {
      firstLine = FirstLineOf(offset, lhi);
      const uint64_t last = count - static_cast<uint64_t>(static_cast<int64_t>(visible));
      if (static_cast<uint64_t>(firstLine) > last) {
        offset = before;
        velocity = 0;
        firstLine = static_cast<int>(last);
      }
    }
  }

  kxRenderer* r = kxGetRenderer();
  r->SetLineWidth(0.5f);
  if (background) background->Draw();
  DrawScrollBar();
  r->SetColor(color[0], color[1], color[2], color[3]);
  if (!font || !lines) return;

  const int round = background ? background->GetRound() : 10;
  const float h = font->GetHeight();
  const float x = static_cast<float>(Left) + static_cast<float>(round) * 0.5f;
  // The bracket in wide integers: a viewer near the end of int stays defined.
  float y = static_cast<float>(Top) + lineHeight +
            static_cast<float>(static_cast<int64_t>(lhi) * firstLine -
                               static_cast<int64_t>(h * 0.4) + offset);

  // The viewer's rectangle less half a corner radius on the right.
  const int clipWidth = kxSaturatedDifference(Width, static_cast<int>(round * 0.5));
  r->Enable(rsScissorTest);
  const kxScreenRect_s clip = kxGUIRectToScreen(Left, Top, clipWidth, Height);
  r->SetScissor(clip.x, clip.y, clip.width, clip.height);
  const float bottom = static_cast<float>(static_cast<int64_t>(Top) + Height) + lineHeight;
  for (uint64_t i = static_cast<uint64_t>(firstLine); i < count; ++i) {
    font->Print(x, y, 0.0f, lines->GetLine(i).GetString());
    y += lineHeight;
    if (y > bottom) break;
  }
  r->Disable(rsScissorTest);
}

int kxGUITextViewer::GetVelocity() {
  return velocity;
}

void kxGUITextViewer::DrawScrollBar() {
  if (!Overflows()) return;
  // The track runs half a corner radius inside the upper and lower edges,
  // where the rounded corners leave the panel whole next to the right edge.
  const int round = background ? background->GetRound() : 10;
  const float inset = static_cast<float>(round) * 0.5f;
  const float trackTop = static_cast<float>(Top) + inset;
  const float trackLength = static_cast<float>(Height) - 2.0f * inset;
  if (!(trackLength >= 4.0f)) return;
  const float right = static_cast<float>(static_cast<int64_t>(Left) + Width - scrollBarMargin);
  const float left = right - static_cast<float>(scrollBarWidth);

  // The thumb is as long as the share of lines on view and travels down the
  // track as the offset goes from the top to the end a drag can reach.
  const uint64_t count = LineCount();
  const int fitting = FittingLines() > 0 ? FittingLines() : 0;
  float thumbLength = trackLength * static_cast<float>(fitting) / static_cast<float>(count);
  const float shortest = trackLength < 8.0f ? trackLength : 8.0f;
  if (thumbLength < shortest) thumbLength = shortest;
  const float travel = static_cast<float>(count - static_cast<uint64_t>(fitting)) *
                       static_cast<float>(LineHeightPixels());
  float share = -static_cast<float>(offset) / travel;
  if (share < 0.0f) share = 0.0f;
  if (share > 1.0f) share = 1.0f;
  const float thumbTop = trackTop + (trackLength - thumbLength) * share;

  kxRenderer* r = kxGetRenderer();
  r->SetColor(color[0], color[1], color[2], color[3] * 0.15f);
  r->FillRect(left, trackTop, right, trackTop + trackLength);
  r->SetColor(color[0], color[1], color[2], color[3] * 0.55f);
  r->FillRect(left, thumbTop, right, thumbTop + thumbLength);
}

void kxGUITextViewer::SetColor(float r, float g, float b, float a) {
  kxStoreColor(color, r, g, b, a);
}
