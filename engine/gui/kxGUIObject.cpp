#include "gui/kxGUIObject.h"

#include "gui/kxGUIControlList.h"
#include "gui/kxGUIManager.h"
#include "kxSaturate.h"

kxGUIObject::kxGUIObject(unsigned int id, int left, int top, int width, int height)
    : children(nullptr),
      childCount(0),
      ID(id),
      Visible(true),
      IsMouseInside(false),
      wasInside(false),
      pressed(false),
      guiManager(nullptr),
      Top(top),
      Left(left),
      Width(width),
      Height(height) {}

kxGUIObject::~kxGUIObject() {
  Clear();
  if (guiManager) guiManager->ForgetControl(this);
}

void kxGUIObject::Draw() {}
void kxGUIObject::Update() {}
void kxGUIObject::SetValue(kxString&) {}
void kxGUIObject::OnMouseEnter() {}
void kxGUIObject::OnMouseLeave() {}
void kxGUIObject::OnLMBDown() {}
void kxGUIObject::OnLMBUp() {}
void kxGUIObject::OnMouseMove(int, int) {}
void kxGUIObject::OnAfterSetParent(kxGUIObject*) {}

bool kxGUIObject::AppendChild(kxGUIObject* child) {
  if (!child) return false;
  if (!kxAppendControlTo(&children, &childCount, child)) return false;
  child->Left = kxSaturatedSum(child->Left, Left);
  child->Top = kxSaturatedSum(child->Top, Top);
  child->SetGUIManagerPtr(guiManager);
  child->OnAfterSetParent(this);
  return true;
}

void kxGUIObject::Clear() {
  kxDeleteControlsOf(&children, &childCount);
}

kxGUIObject* kxGUIObject::GetChild(uint64_t index) {
  return children[index];
}
uint64_t kxGUIObject::GetChildCount() {
  return childCount;
}

// The rectangle: read,
int kxGUIObject::GetTop() {
  return Top;
}
int kxGUIObject::GetLeft() {
  return Left;
}
int kxGUIObject::GetWidth() {
  return Width;
}
int kxGUIObject::GetHeight() {
  return Height;
}

// and set one edge or extent at a time (children stay where they are).
void kxGUIObject::SetTop(int top) {
  Top = top;
}
void kxGUIObject::SetLeft(int left) {
  Left = left;
}
void kxGUIObject::SetWidth(int width) {
  Width = width;
}
void kxGUIObject::SetHeight(int height) {
  Height = height;
}
unsigned int kxGUIObject::GetID() {
  return ID;
}
void kxGUIObject::SetID(unsigned int id) {
  ID = id;
}
bool kxGUIObject::GetVisible() {
  return Visible;
}
void kxGUIObject::SetVisible(bool visible) {
  Visible = visible;
}

bool kxGUIObject::GetIsMouseInside() {
  return IsMouseInside;
}

void kxGUIObject::SetIsMouseInside(bool inside) {
  IsMouseInside = inside;
  if (inside) {
    OnMouseEnter();
  } else if (wasInside) {
    OnMouseLeave();
  }
  wasInside = IsMouseInside;
}

void kxGUIObject::SetGUIManagerPtr(kxGUIManager* manager) {
  guiManager = manager;
  for (uint64_t i = 0; i < childCount; ++i) {
    if (children[i]) children[i]->SetGUIManagerPtr(manager);
  }
}

kxGUIManager* kxGUIObject::GetGUIManagerPtr() {
  return guiManager;
}

bool kxGUIObject::Contains(int x, int y) {
  // Widened so that rectangles near the int range cannot overflow.
  int64_t left = Left, top = Top;
  return x >= left && x <= left + Width && y >= top && y <= top + Height;
}

void kxGUIObject::RouteMove(kxGUIObject* target, int x, int y, int dx, int dy) {
  if (target->Contains(x, y)) {
    target->SetIsMouseInside(true);
    target->OnMouseMove(dx, dy);
  } else {
    target->SetIsMouseInside(false);
  }
}

void kxGUIObject::MouseMove(int x, int y, int dx, int dy) {
  for (uint64_t i = 0; i < childCount; ++i) RouteMove(children[i], x, y, dx, dy);
  RouteMove(this, x, y, dx, dy);
}

void kxGUIObject::LMBDown(int x, int y) {
  for (uint64_t i = 0; i < childCount; ++i) {
    if (children[i]->Contains(x, y)) children[i]->OnLMBDown();
  }
  if (Contains(x, y)) {
    OnLMBDown();
    pressed = true;
  }
}

void kxGUIObject::LMBUp(int x, int y) {
  kxGUIManager* manager = guiManager;
  for (uint64_t i = 0; i < childCount; ++i) {
    kxGUIObject* child = children[i];
    if (child->ID != 0 && child->Contains(x, y)) {
      child->OnLMBUp();
      if (manager) manager->AppendEvent(kxGUIEventClick, child);
      return;
    }
  }
  if (Contains(x, y)) {
    OnLMBUp();
    if (pressed && manager) manager->AppendEvent(kxGUIEventClick, this);
    pressed = false;
  }
}

bool kxGUIObject::GetPressed() {
  return pressed;
}

void kxGUIObject::DrawChilds() {}
