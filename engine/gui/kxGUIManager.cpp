#include "gui/kxGUIManager.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <new>

#include "data/kxResource.h"
#include "graphics/kxScreen.h"
#include "gui/kxEngineLogo.h"
#include "gui/kxGUIClickReceiver.h"
#include "gui/kxGUIControlList.h"
#include "gui/kxGUIObject.h"
#include "gui/kxGUIWheelTarget.h"
#include "kxSaturate.h"
#include "render/kxRenderer.h"

kxResource* engineResources = nullptr;

namespace {
// The top-level controls the pointer reaches: visible, and with an id.
bool TakesPointer(kxGUIObject* control) {
  return control && control->GetVisible() && control->GetID() != 0;
}

// Calls route(control) for each top-level control the pointer reaches, in
// order. The list is read afresh at every step: a routed event may run a
// callback that changes it.
template <typename Route>
void RouteToControls(kxGUIObject** const& controls, const uint64_t& count, Route route) {
  for (uint64_t i = 0; i < count; ++i) {
    kxGUIObject* control = controls[i];
    if (TakesPointer(control)) route(control);
  }
}
}  // namespace

kxGUIManager* kxGUIManager::Create(int width, int height) {
  kxGUIManager* manager = new (std::nothrow) kxGUIManager(width, height);
  if (manager && !manager->resources) {
    delete manager;
    return nullptr;
  }
  return manager;
}

kxGUIManager::kxGUIManager(int width, int height)
    : width(width),
      height(height),
      scale(1.0f),
      mouseX(0),
      mouseY(0),
      prevX(0),
      prevY(0),
      controls(nullptr),
      controlCount(0),
      frozen(false),
      wrapper(nullptr),
      queue{nullptr, 0},
      resources(new (std::nothrow) kxResource()) {
  // A newer manager takes over the engine-wide pointer; each manager deletes
  // only the collection it made, so two managers neither leak nor double free.
  engineResources = resources;
  AppendEngineLogo();
}

kxGUIManager::~kxGUIManager() {
  free(queue.events);
  queue.events = nullptr;
  queue.count = 0;
  Clear();
  if (resources) {
    resources->Clear();
    if (engineResources == resources) engineResources = nullptr;
    delete resources;
  }
}

void kxGUIManager::AppendEngineLogo() {
  // The larger renderings only sharpen the splash on large screens: without
  // them it magnifies the plain picture.
  if (resources && ::AppendEngineLogo(resources)) (void)AppendEngineLogoRenderings(resources);
}

void kxGUIManager::OnClick(kxGUIObject*) {}

void kxGUIManager::Init() {}

void kxGUIManager::SetSize(int width, int height) {
  this->width = width;
  this->height = height;
}

int kxGUIManager::GetWidth() {
  return static_cast<int>(static_cast<double>(width) / scale);
}
int kxGUIManager::GetHeight() {
  return static_cast<int>(static_cast<double>(height) / scale);
}
int kxGUIManager::GetPixelWidth() {
  return width;
}
int kxGUIManager::GetPixelHeight() {
  return height;
}

bool kxGUIManager::SetScale(float scale) {
  if (!(scale >= 1.0f / 16.0f) || !std::isfinite(scale)) return false;
  this->scale = scale;
  return true;
}

float kxGUIManager::GetScale() {
  return scale;
}

int kxGUIManager::ToLogical(int pixels) {
  if (scale == 1.0f) return pixels;
  // Rounded down, so that a logical pixel answers for all the window pixels
  // it covers; the quotient of an int by s >= 1/16 always fits once saturated.
  return kxSaturateToInt(static_cast<int64_t>(std::floor(static_cast<double>(pixels) / scale)));
}

void kxGUIManager::SetWrapperPtr(kxGUIClickReceiver* wrapper) {
  this->wrapper = wrapper;
}
kxGUIClickReceiver* kxGUIManager::GetWrapperPtr() {
  return wrapper;
}

bool kxGUIManager::AppendControl(kxGUIObject* control) {
  if (!control) return false;
  if (!kxAppendControlTo(&controls, &controlCount, control)) return false;
  control->SetGUIManagerPtr(this);
  return true;
}

uint64_t kxGUIManager::GetControlCount() {
  return controlCount;
}
kxGUIObject* kxGUIManager::GetControl(uint64_t index) {
  return controls[index];
}

bool kxGUIManager::AppendEvent(kxGUIEventType type, kxGUIObject* control) {
  kxGUIEvent_s* grown = static_cast<kxGUIEvent_s*>(
      realloc(queue.events, sizeof(kxGUIEvent_s) * static_cast<size_t>(queue.count + 1)));
  if (!grown) return false;
  queue.events = grown;
  queue.events[queue.count].type = type;
  queue.events[queue.count].control = control;
  ++queue.count;
  return true;
}

uint64_t kxGUIManager::GetEventCount() {
  return queue.count;
}

void kxGUIManager::HandleEvents() {
  if (!wrapper || queue.count == 0) return;
  // The count is read anew on every step: handlers may queue further events
  // (delivered in this pass) or delete controls (their records become null).
  // The array itself may move, so records are read by index each time.
  for (uint64_t i = 0; i < queue.count; ++i) {
    kxGUIEvent_s event = queue.events[i];
    if (event.type == kxGUIEventClick && event.control) wrapper->OnGUIClick(event.control);
  }
  free(queue.events);
  queue.events = nullptr;
  queue.count = 0;
}

void kxGUIManager::ForgetControl(kxGUIObject* control) {
  for (uint64_t i = 0; i < queue.count; ++i) {
    if (queue.events[i].control == control) queue.events[i].control = nullptr;
  }
}

void kxGUIManager::Draw() {
  if (frozen) return;
  kxRenderer* r = kxGetRenderer();
  r->LoadIdentity();
  r->SetMatrixMode(mmProjection);
  r->LoadIdentity();
  r->Ortho(0, static_cast<double>(width) / scale, static_cast<double>(height) / scale, 0, 0, 1);
  kxSetGUIScale(scale);
  r->Enable(rsBlend);
  r->Disable(rsDepthTest);
  for (uint64_t i = 0; i < controlCount; ++i) {
    kxGUIObject* control = controls[i];
    if (!control || !control->GetVisible()) continue;
    control->Draw();
    for (uint64_t c = 0; c < control->GetChildCount(); ++c) {
      kxGUIObject* child = control->GetChild(c);
      if (!child) continue;
      if (child->GetChildCount() > 0) DrawChilds(child);
      child->Draw();
    }
  }
  r->Disable(rsBlend);
  r->Enable(rsDepthTest);
  kxSetGUIScale(1.0f);
}

void kxGUIManager::DrawChilds(kxGUIObject* parent) {
  for (uint64_t c = 0; c < parent->GetChildCount(); ++c) {
    kxGUIObject* child = parent->GetChild(c);
    if (!child) continue;
    if (child->GetChildCount() > 0) DrawChilds(child);
    child->Draw();
  }
}

void kxGUIManager::Clear() {
  // Each control's destructor reaches back here (ForgetControl).
  kxDeleteControlsOf(&controls, &controlCount);
}

void kxGUIManager::Freeze() {
  frozen = true;
}
void kxGUIManager::Thaw() {
  frozen = false;
}
bool kxGUIManager::IsFrozen() {
  return frozen;
}

void kxGUIManager::OnMouse(int x, int y) {
  x = ToLogical(x);
  y = ToLogical(y);
  mouseX = x;
  mouseY = y;
  const int dx = kxSaturatedDifference(x, prevX);
  const int dy = kxSaturatedDifference(y, prevY);
  if (dx != 0 || dy != 0) {
    RouteToControls(controls, controlCount,
                    [&](kxGUIObject* control) { control->MouseMove(x, y, dx, dy); });
  }
  prevX = x;
  prevY = y;
}

void kxGUIManager::OnLMBDown(int x, int y) {
  x = ToLogical(x);
  y = ToLogical(y);
  RouteToControls(controls, controlCount, [&](kxGUIObject* control) { control->LMBDown(x, y); });
}

void kxGUIManager::OnLMBUp(int x, int y) {
  x = ToLogical(x);
  y = ToLogical(y);
  RouteToControls(controls, controlCount, [&](kxGUIObject* control) { control->LMBUp(x, y); });
}

namespace {
// The control as a wheel target when the point is inside it.
kxGUIWheelTarget* WheelTargetAt(kxGUIObject* control, int x, int y) {
  if (!control || !control->Contains(x, y)) return nullptr;
  return dynamic_cast<kxGUIWheelTarget*>(control);
}
}  // namespace

bool kxGUIManager::OnMouseWheel(int x, int y, int notches) {
  if (notches == 0) return false;
  x = ToLogical(x);
  y = ToLogical(y);
  for (uint64_t i = 0; i < controlCount; ++i) {
    kxGUIObject* control = controls[i];
    if (!TakesPointer(control)) continue;
    for (uint64_t c = 0; c < control->GetChildCount(); ++c) {
      kxGUIWheelTarget* target = WheelTargetAt(control->GetChild(c), x, y);
      if (target && target->OnMouseWheel(notches)) return true;
    }
    kxGUIWheelTarget* target = WheelTargetAt(control, x, y);
    if (target && target->OnMouseWheel(notches)) return true;
  }
  return false;
}

bool kxGUIManager::IsMouseInControls() {
  for (uint64_t i = 0; i < controlCount; ++i) {
    kxGUIObject* control = controls[i];
    if (control && control->GetIsMouseInside() && control->GetID() != 0) return true;
  }
  return false;
}

void kxGUIManager::SetValueByID(unsigned char id, kxString& value) {
  unsigned int wanted = id;
  for (uint64_t i = 0; i < controlCount; ++i) {
    kxGUIObject* control = controls[i];
    if (!control) continue;
    SetValue(control, wanted, value);
    if (control->GetID() == wanted) control->SetValue(value);
  }
}

void kxGUIManager::SetValue(kxGUIObject* parent, unsigned int id, kxString& value) {
  for (uint64_t c = 0; c < parent->GetChildCount(); ++c) {
    kxGUIObject* child = parent->GetChild(c);
    if (!child) continue;
    if (child->GetID() == id) child->SetValue(value);
    if (child->GetChildCount() > 0) SetValue(child, id, value);
  }
}
