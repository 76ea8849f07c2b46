/// \file
/// Declares kxGIULabel.

/// \class kxGIULabel
/// kxGIULabel: one line of text in a chosen colour; takes no part in input.
/// Its Width and Height are the first text's size and never change.
///
/// Ownership: the label owns its copy of the text; the font belongs to the
/// caller and must outlive the label.
#pragma once

#include "data/kxString.h"
#include "gui/kxGUIObject.h"
#include "kxExport.h"

class kxFont;

class KX_API kxGIULabel : public kxGUIObject {
 public:
  /// Null when allocation fails.
  static kxGIULabel* Create(unsigned int id, kxFont* font, int left, int top, const kxString& text);
  /// A white label at (left, top) sized to the text; as Create, on the stack or with new.
  kxGIULabel(unsigned int id, kxFont* font, int left, int top, const kxString& text);
  ~kxGIULabel() override;

  /// Sets the colour, then prints the text with its baseline one font height
  /// below Top (nothing to print for an empty text).
  void Draw() override;
  /// Replaces the text; Width and Height keep the first text's size.
  void SetValue(kxString& text) override;
  /// The colour of the text from the next Draw on (white at first).
  void SetColor(float r, float g, float b, float a);

  /// The label's own copy of the current text.
  const kxString& GetText();
  /// Four floats r, g, b, a.
  const float* GetColor();

 private:
  KX_NO_COPY(kxGIULabel);

  kxString text;
  kxFont* font;
  float color[4];
};
