/// \file
/// Declares kxGUIPicture.

/// \class kxGUIPicture
/// kxGUIPicture: one TGA image stretched over the control's rectangle. The box
/// is placed at the constructor's coordinates and, when the picture becomes a
/// child, moved with it, so it is drawn where it answers the mouse.
///
/// Ownership: the picture owns its box and the box its texture; the caller
/// keeps the image block it passed in.
#pragma once

#include "gui/kxGUIObject.h"
#include "kxExport.h"

struct kxMemoryBlock;
class kxTexturedBox;

class KX_API kxGUIPicture : public kxGUIObject {
 public:
  /// Null when allocation fails.
  static kxGUIPicture* Create(unsigned int id, int left, int top, int width, int height,
                              kxMemoryBlock* image);
  /// image: a crunched TGA block. A null, unexpandable or undecodable block
  /// leaves the box without texture (see HasTexture).
  kxGUIPicture(unsigned int id, int left, int top, int width, int height, kxMemoryBlock* image);
  ~kxGUIPicture() override;

  void Draw() override;
  /// Moves the box to the new absolute position (the texture is kept).
  void OnAfterSetParent(kxGUIObject* parent) override;

  /// False when the image did not give a texture.
  bool HasTexture();
  /// The box (null only if it could not be allocated).
  kxTexturedBox* GetBox();

 private:
  KX_NO_COPY(kxGUIPicture);

  kxTexturedBox* box;
};
