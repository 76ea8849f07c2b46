// vimraDriver: plays a started game without a person, for the game's tests,
// the soak test and the frame benchmark. It hands the game the clicks and
// keys a player would give, through the frame's own event dispatch, runs the
// main loop's frames without pacing, and reads the trick's state.
//
// Input reaches the game at once, or (queued) one event a frame, as the main
// loop takes it from SDL. Clicks run on the driver's clock, which moves a
// second with every click so that no two clicks make a double click.
//
// The driver owns nothing: the game and its GUI stay the caller's.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <deque>

class vimraGame;
class kxGUIObject;

class vimraDriver {
 public:
  explicit vimraDriver(vimraGame* game, bool queued = false);

  // The clock clicks run on: StillClock moves only with clicks, RunningClock
  // also 17 ms with every reading (a splash or a wait then ends by itself).
  // One of them is the game's tick source from Attach on.
  static uint32_t clock;
  static uint32_t StillClock();
  static uint32_t RunningClock();

  // After a successful Init: the game runs on `tickSource` and a quit asked
  // for during the start is forgotten.
  void Attach(uint32_t (*tickSource)() = StillClock);

  // The trick's state (a TVimraState).
  int State() const;
  // The scene the next frame belongs to, as the frame benchmark reports
  // them: "menu", "ring", "first_gather", "deal", "table", "row_stars",
  // "later_gather", "to_reveal", "reveal", "return", "back_to_menu", or
  // "other" between them.
  const char* SceneName() const;

  // One iteration of the main loop without its sleep: the GUI's queued
  // clicks, at most one queued input event, then the frame.
  void Step();
  // Steps until the state is `target`; false after `limit` frames.
  bool StepUntil(int target, int limit);
  // Steps while the state is `current` or input is still queued, at most
  // `limit` frames.
  void StepWhile(int current, int limit);
  bool InputPending() const { return !pending.empty(); }

  void Deliver(const SDL_Event& event);
  void MouseTo(int x, int y);
  void Button(bool down);
  // A single click at (x, y), a second after anything before it.
  void ClickAt(int x, int y);
  void PressKey(SDL_Keycode key);

  // The last control with `id` at any depth (for the Start id, the button
  // rather than the logo picture); null when there is none.
  kxGUIObject* FindControl(unsigned int id) const;
  // Clicks the middle of FindControl(id), at any GUI scale; false when
  // there is none.
  bool ClickControl(unsigned int id);

  // The height of a click that answers `row` (1 top, 2 middle, 3 bottom) on
  // the table seen from the front.
  int RowHeight(int row) const;

 private:
  vimraGame* game;
  bool queued;
  std::deque<SDL_Event> pending;
};
