/// \file
/// Declares kxGUIButton.

/// \class kxGUIButton
/// kxGUIButton: a clickable image button with a centred, shadowed caption.
/// Its three looks come from a kxGUIButtonStates; the click reaches the
/// application through the manager's event queue (OnGUIClick), not OnClick.
///
/// Ownership: the button owns its geometry (three boxes and their textures)
/// and its caption copy; the font and the states belong to the caller and
/// must outlive the button.
#pragma once

#include "data/kxString.h"
#include "gui/kxGUIObject.h"
#include "kxExport.h"

class kxFont;
class kxGeometry;
class kxGUIButtonStates;

class KX_API kxGUIButton : public kxGUIObject {
 public:
  enum { statePassive = 0, stateActive = 1, statePushed = 2 };
  /// Buttons are never narrower than this; the hit rectangle grows too.
  static const int minimumWidth = 48;

  /// Null when allocation fails.
  static kxGUIButton* Create(unsigned int id, kxFont* font, kxGUIButtonStates* states, int left,
                             int top, int width, int height, const kxString& text);
  /// A button at (left, top), at least minimumWidth wide, with the caption centred; as Create.
  kxGUIButton(unsigned int id, kxFont* font, kxGUIButtonStates* states, int left, int top,
              int width, int height, const kxString& text);
  ~kxGUIButton() override;

  /// (Re)builds the three boxes at the current Left/Top, decoding the three
  /// state images anew. A state image that does not decode gives a box
  /// without texture.
  void CreateButtonGeometry();

  void Draw() override;
  void OnMouseEnter() override;
  void OnMouseLeave() override;
  void OnLMBDown() override;
  void OnLMBUp() override;
  void OnAfterSetParent(kxGUIObject* parent) override;
  /// Hook called after every release on the button; does nothing here.
  virtual void OnClick();

  /// 0 passive, 1 active, 2 pushed: the index of the box drawn.
  int GetState();
  /// The button's own copy of the caption.
  const kxString& GetCaption();
  /// The caption's width as measured at construction.
  int GetCaptionWidth();
  /// The three boxes, passive, active, pushed (null while none is built).
  kxGeometry* GetGeometry();

 private:
  KX_NO_COPY(kxGUIButton);

  kxGeometry* geometry;
  kxString caption;
  int captionWidth;
  kxFont* font;
  int state;
  kxGUIButtonStates* states;
};
