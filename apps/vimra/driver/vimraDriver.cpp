#include "vimraDriver.h"

#include "gui/kxGUIManager.h"
#include "gui/kxGUIObject.h"
#include "vimraGame.h"

namespace {

// The last control with `id` among the children of `parent`, or among the
// GUI's top-level controls when `parent` is null, looking below each one too.
kxGUIObject* LastWithId(kxGUIManager* gui, kxGUIObject* parent, unsigned int id) {
  kxGUIObject* found = nullptr;
  const uint64_t count = parent != nullptr ? parent->GetChildCount() : gui->GetControlCount();
  for (uint64_t i = 0; i < count; ++i) {
    kxGUIObject* c = parent != nullptr ? parent->GetChild(i) : gui->GetControl(i);
    if (c == nullptr) continue;
    if (c->GetID() == id) found = c;
    kxGUIObject* below = LastWithId(gui, c, id);
    if (below != nullptr) found = below;
  }
  return found;
}

}  // namespace

uint32_t vimraDriver::clock = 1000;

uint32_t vimraDriver::StillClock() {
  return clock;
}

uint32_t vimraDriver::RunningClock() {
  return clock += 17;
}

vimraDriver::vimraDriver(vimraGame* game, bool queued) : game(game), queued(queued) {}

void vimraDriver::Attach(uint32_t (*tickSource)()) {
  game->SetTickSource(tickSource);
  game->quitRequested = false;
}

int vimraDriver::State() const {
  return game->state;
}

const char* vimraDriver::SceneName() const {
  switch (game->state) {
    case StateMenu:
      return "menu";
    case StateRing:
      return "ring";
    case StateGather:
      if (game->dealCount == 0) return "first_gather";
      return game->starsVisible ? "row_stars" : "later_gather";
    case StateDeal:
      return "deal";
    case StateAwaitRow:
      return "table";
    case StateToReveal:
      return "to_reveal";
    case StateReveal:
      return "reveal";
    case StateRevealEnd:
      return "return";
    case StateBackToMenu:
      return "back_to_menu";
    default:
      return "other";
  }
}

void vimraDriver::Step() {
  game->GetGUIManager()->HandleEvents();
  if (!pending.empty()) {
    SDL_Event event = pending.front();
    pending.pop_front();
    game->DispatchEvent(event);
  }
  game->Refresh();
}

bool vimraDriver::StepUntil(int target, int limit) {
  for (int i = 0; i < limit && game->state != target; ++i) Step();
  return game->state == target;
}

void vimraDriver::StepWhile(int current, int limit) {
  for (int i = 0; i < limit && (game->state == current || !pending.empty()); ++i) Step();
}

void vimraDriver::Deliver(const SDL_Event& event) {
  if (queued) {
    pending.push_back(event);
  } else {
    game->DispatchEvent(event);
  }
}

void vimraDriver::MouseTo(int x, int y) {
  SDL_Event e{};
  e.type = SDL_MOUSEMOTION;
  e.motion.x = x;
  e.motion.y = y;
  Deliver(e);
}

void vimraDriver::Button(bool down) {
  SDL_Event e{};
  e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
  e.button.button = SDL_BUTTON_LEFT;
  Deliver(e);
}

void vimraDriver::ClickAt(int x, int y) {
  clock += 1000;
  MouseTo(x, y);
  Button(true);
  Button(false);
}

void vimraDriver::PressKey(SDL_Keycode key) {
  SDL_Event e{};
  e.type = SDL_KEYDOWN;
  e.key.keysym.sym = key;
  Deliver(e);
  e.type = SDL_KEYUP;
  Deliver(e);
}

kxGUIObject* vimraDriver::FindControl(unsigned int id) const {
  kxGUIManager* gui = game->GetGUIManager();
  if (gui == nullptr) return nullptr;
  return LastWithId(gui, nullptr, id);
}

bool vimraDriver::ClickControl(unsigned int id) {
  kxGUIObject* target = FindControl(id);
  if (target == nullptr) return false;
  // Controls live in logical pixels; the pointer arrives in window pixels.
  const float scale = game->GetGUIManager()->GetScale();
  const float x = float(target->GetLeft()) + float(target->GetWidth()) / 2.0f;
  const float y = float(target->GetTop()) + float(target->GetHeight()) / 2.0f;
  ClickAt(int(x * scale), int(y * scale));
  return true;
}

int vimraDriver::RowHeight(int row) const {
  // A click's height maps to a row through the camera's depth (see
  // vimraRowFromClick): four tenths of the height off the middle is well
  // inside the top or bottom row, the middle itself in the middle row.
  const int h = game->GetHeight();
  if (row == 2) return h / 2;
  return row == 1 ? h / 2 - int(0.4f * float(h)) : h / 2 + int(0.4f * float(h));
}
