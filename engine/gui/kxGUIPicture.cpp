#include "gui/kxGUIPicture.h"

#include <new>

#include "data/kxMemoryBlock.h"
#include "graphics/kxTexturedBox.h"

kxGUIPicture* kxGUIPicture::Create(unsigned int id, int left, int top, int width, int height,
                                   kxMemoryBlock* image) {
  return new (std::nothrow) kxGUIPicture(id, left, top, width, height, image);
}

kxGUIPicture::kxGUIPicture(unsigned int id, int left, int top, int width, int height,
                           kxMemoryBlock* image)
    : kxGUIObject(id, left, top, width, height),
      box(kxTexturedBox::Create(static_cast<float>(width), static_cast<float>(height), false,
                                tbpFlipped)) {
  if (!box) return;
  if (image) box->TextureFromCrunchedMemoryBlock(image);
  box->SetPosition(static_cast<float>(Left), static_cast<float>(Top), 0.0f);
}

kxGUIPicture::~kxGUIPicture() {
  delete box;
}

void kxGUIPicture::Draw() {
  if (box) box->Draw();
}

void kxGUIPicture::OnAfterSetParent(kxGUIObject*) {
  if (box) box->SetPosition(static_cast<float>(Left), static_cast<float>(Top), 0.0f);
}

bool kxGUIPicture::HasTexture() {
  return box && box->GetTextureID() != 0;
}

kxTexturedBox* kxGUIPicture::GetBox() {
  return box;
}
