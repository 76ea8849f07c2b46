/// \file
/// Declares kxGUIManager.

/// \class kxGUIManager
/// kxGUIManager: owns the top-level GUI controls, draws them over the scene,
/// routes the pointer to them and queues their click events until the frame
/// (the wrapper) collects them at the start of the next frame.
///
/// The manager owns its top-level controls; each control owns its children.
/// The manager also creates the engine-wide resource collection and deletes it
/// with itself. Nothing derives from it (its destructor is not virtual).
#pragma once

#include "data/kxString.h"
#include "kxExport.h"
#include "kxTypes.h"

class kxGUIClickReceiver;
class kxGUIObject;
class kxResource;

/// The engine-wide resource collection (built-in engine assets); created by
/// the kxGUIManager constructor, deleted by its destructor.
extern KX_API kxResource* engineResources;

/// The kinds of GUI events.
enum kxGUIEventType : uint32_t {
  /// A control was clicked.
  kxGUIEventClick = 0,
};

/// One queued click: what happened to which control.
struct kxGUIEvent_s {
  /// What happened (always a click).
  kxGUIEventType type;
  /// Null once the control was deleted while the record was queued.
  kxGUIObject* control;
};

/// The clicks queued since the frame last collected them.
struct kxGUIEventQueue_s {
  /// The records, oldest first; owned by the manager.
  kxGUIEvent_s* events;
  /// The number of records.
  uint64_t count;
};

class KX_API kxGUIManager final {
 public:
  /// Null when allocation fails.
  static kxGUIManager* Create(int width, int height);

  /// A manager for a window of width x height pixels, with no controls; makes
  /// engineResources its own collection (null when memory runs out).
  kxGUIManager(int width, int height);
  ~kxGUIManager();

  /// Not called by the toolkit.
  virtual void OnClick(kxGUIObject* object);

  /// Nothing to do: the constructor sets the manager up.
  void Init();
  /// The window's size in pixels. The controls live in logical pixels: the
  /// window size divided by the scale, truncated (GetWidth, GetHeight).
  void SetSize(int width, int height);
  /// The logical width the controls are laid out in.
  int GetWidth();
  /// The logical height the controls are laid out in.
  int GetHeight();
  /// GUI scale s: window pixels per logical pixel, so that one layout serves
  /// every screen. Controls are laid out, drawn and hit-tested in logical
  /// pixels; the pointer positions passed in (window pixels) are divided by s
  /// once, on entry. Values that are not positive and finite, or below 1/16,
  /// are refused (false, scale unchanged). 1 after construction.
  bool SetScale(float scale);
  /// The GUI scale.
  float GetScale();
  /// The window width in pixels as last given to SetSize.
  int GetPixelWidth();
  /// The window height in pixels as last given to SetSize.
  int GetPixelHeight();
  /// The receiver of the queued clicks (the application frame's); borrowed.
  /// Null keeps clicks queued until one is set.
  void SetWrapperPtr(kxGUIClickReceiver* wrapper);
  /// The receiver of the queued clicks; null when none is set.
  kxGUIClickReceiver* GetWrapperPtr();

  /// Takes ownership; false (control left to the caller) when the list
  /// cannot grow.
  bool AppendControl(kxGUIObject* control);
  /// The number of top-level controls.
  uint64_t GetControlCount();
  /// No bounds check: index must be below GetControlCount().
  kxGUIObject* GetControl(uint64_t index);

  /// False when the queue cannot grow (the event is lost).
  bool AppendEvent(kxGUIEventType type, kxGUIObject* control);
  /// The number of click events queued.
  uint64_t GetEventCount();
  /// Delivers the queued clicks of live controls in order to the wrapper's
  /// OnGUIClick, then empties the queue. Without a wrapper the queue is kept.
  /// A click queued for a control deleted since is never delivered.
  void HandleEvents();
  /// Every queued record of control is neutralised; deleted controls call it.
  void ForgetControl(kxGUIObject* control);

  /// Draws the visible controls in a projection of the logical size onto the
  /// window; nothing while frozen. The scale is published engine-wide
  /// (kxSetGUIScale) for the pass and set back to 1 after it.
  void Draw();
  /// Deletes every top-level control (queued records of them are dropped).
  void Clear();
  /// Stops drawing the controls (while a screen is rebuilt).
  void Freeze();
  /// Draws the controls again.
  void Thaw();
  /// Whether Freeze holds.
  bool IsFrozen();

  /// The pointer moved to (x, y): enter, leave and move calls to the controls under it.
  void OnMouse(int x, int y);
  /// A left press at (x, y), routed to the visible top-level controls and their children.
  void OnLMBDown(int x, int y);
  /// A left release at (x, y); a release on a pressed button queues its click.
  void OnLMBUp(int x, int y);
  /// Wheel notches at (x, y), routed like a press: for every visible
  /// top-level control with a nonzero ID, its direct children, then itself.
  /// The first of them that contains the point, is a kxGUIWheelTarget and
  /// takes the notches ends the routing. True when a control took them; the
  /// frame then leaves its own use of the wheel (the camera) alone.
  bool OnMouseWheel(int x, int y, int notches);
  /// True when the mouse is over a top-level control with a nonzero ID.
  bool IsMouseInControls();
  /// Calls SetValue(value) on every control, at any depth, whose ID is id.
  void SetValueByID(unsigned char id, kxString& value);

 private:
  KX_NO_COPY(kxGUIManager);

  void DrawChilds(kxGUIObject* parent);
  void SetValue(kxGUIObject* parent, unsigned int id, kxString& value);
  // Registers the built-in engine logo and its larger renderings in
  // engineResources.
  void AppendEngineLogo();

  // A window position in logical pixels (rounded down).
  int ToLogical(int pixels);

  // The window's size in pixels, and the scale it is divided by.
  int width, height;
  float scale;
  int mouseX, mouseY;
  int prevX, prevY;
  kxGUIObject** controls;
  uint64_t controlCount;
  bool frozen;
  kxGUIClickReceiver* wrapper;
  kxGUIEventQueue_s queue;
  // The collection this manager created; it deletes only its own.
  kxResource* resources;
};
