/// \file
/// Declares kxGUIObject.

/// \class kxGUIObject
/// kxGUIObject: the base of every GUI control. Controls form a tree: a control
/// owns its children (deleting a control deletes its subtree) and the
/// top-level controls belong to one kxGUIManager. Rectangles are absolute
/// window pixels, origin top-left, y down; both far edges count as inside.
#pragma once

#include "data/kxString.h"
#include "kxExport.h"
#include "kxTypes.h"

class kxGUIManager;

class KX_API kxGUIObject {
 public:
  /// Children empty, visible, mouse flags clear, no manager yet.
  kxGUIObject(unsigned int id, int left, int top, int width, int height);
  /// Deletes the children. A control that belongs to a manager also drops the
  /// click events queued for it, so they are never delivered.
  virtual ~kxGUIObject();

  /// Draws the control (nothing here); the manager calls it for visible controls.
  virtual void Draw();
  /// Hook for derived controls; nothing in the toolkit calls it.
  virtual void Update();
  /// Takes a new value (text); ignored here. The manager's SetValueByID calls it.
  virtual void SetValue(kxString& value);
  /// The pointer came over the control; nothing here.
  virtual void OnMouseEnter();
  /// The pointer left the control; nothing here.
  virtual void OnMouseLeave();
  /// A left press on the control; nothing here.
  virtual void OnLMBDown();
  /// A left release on the control; nothing here.
  virtual void OnLMBUp();
  /// dx, dy: movement since the manager's previous OnMouse call.
  virtual void OnMouseMove(int dx, int dy);
  /// Called last by AppendChild, once the child sits at its absolute position.
  virtual void OnAfterSetParent(kxGUIObject* parent);

  /// Takes ownership of child; shifts it once by this control's Left/Top
  /// (saturating at the ends of int) and gives it and its whole subtree this
  /// control's manager. Returns false, leaving the child to the caller, only
  /// when the children array cannot grow.
  bool AppendChild(kxGUIObject* child);
  /// Deletes every child.
  void Clear();
  /// No bounds check: index must be below GetChildCount().
  kxGUIObject* GetChild(uint64_t index);
  /// The number of children.
  uint64_t GetChildCount();

  /// Top edge, absolute window pixels.
  int GetTop();
  /// Moves the top edge (children are not moved).
  void SetTop(int top);
  /// Left edge, absolute window pixels.
  int GetLeft();
  /// Moves the left edge (children are not moved).
  void SetLeft(int left);
  /// Width in pixels.
  int GetWidth();
  /// Sets the width in pixels.
  void SetWidth(int width);
  /// Height in pixels.
  int GetHeight();
  /// Sets the height in pixels.
  void SetHeight(int height);
  /// The id clicks and SetValueByID know the control by; 0 takes no input.
  unsigned int GetID();
  /// Sets the id.
  void SetID(unsigned int id);
  /// Whether the manager draws the control and routes the pointer to it.
  bool GetVisible();
  /// Shows or hides the control.
  void SetVisible(bool visible);
  /// Whether the pointer is over the control.
  bool GetIsMouseInside();
  /// True calls OnMouseEnter; false calls OnMouseLeave only when the mouse
  /// was inside before.
  void SetIsMouseInside(bool inside);
  /// Sets the manager of this control and of every descendant: a subtree
  /// built before it joins a manager must route its clicks to, and drop its
  /// queued events from, the manager it joins.
  void SetGUIManagerPtr(kxGUIManager* manager);
  /// The manager the control belongs to; null before it joins one.
  kxGUIManager* GetGUIManagerPtr();

  /// Inclusive hit test in window pixels.
  bool Contains(int x, int y);

  /// Routing steps of the manager for this control and its direct children.
  void MouseMove(int x, int y, int dx, int dy);
  /// A left press at (x, y): routed to this control and its direct children.
  void LMBDown(int x, int y);
  /// A left release at (x, y): routed to this control and its direct children.
  void LMBUp(int x, int y);
  /// The manager draws children itself; kept for derived controls.
  void DrawChilds();

  /// A left press landed on this control (top level only) and no click has
  /// consumed it yet.
  bool GetPressed();

 protected:
  /// \privatesection
  kxGUIObject** children;
  uint64_t childCount;
  unsigned int ID;
  bool Visible;
  bool IsMouseInside;
  bool wasInside;
  bool pressed;
  kxGUIManager* guiManager;
  int Top;
  int Left;
  int Width;
  int Height;

 private:
  KX_NO_COPY(kxGUIObject);

  // Enter/move or leave for one control of a routed move.
  void RouteMove(kxGUIObject* target, int x, int y, int dx, int dy);
};
