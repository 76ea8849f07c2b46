// Pictures: the image upright and stretched over the rectangle, clicks as a
// top-level control, images that give no texture, texture ownership.

#include "gui/kxGUIPicture.h"

#include <gtest/gtest.h>

#include "graphics/kxTexturedBox.h"
#include "gui/kxGUIManager.h"
#include "gui/kxGUIPanel.h"
#include "kxGUITestKit.h"

using namespace kxGUITest;
using kxTest::RGBA;

namespace {

class PictureTest : public kxTest::GLTest {};

TEST_F(PictureTest, ShowsTheImageUprightStretchedOverItsRectangle) {
  // Top half red, bottom half blue, the two left columns green; 8 x 4
  // texels become 5 x 5 pixels each, so the samples below sit between
  // texels of one colour whatever the filtering.
  Block image = MakeCrunchedTGA(8, 4, [](int x, int y) {
    if (x < 2) return kGreen;
    return y < 2 ? kRed : kBlue;
  });
  std::unique_ptr<kxGUIPicture> picture(kxGUIPicture::Create(0, 10, 5, 40, 20, image.get()));
  ASSERT_TRUE(picture);
  EXPECT_TRUE(picture->HasTexture());
  EXPECT_FLOAT_EQ(40.0f, picture->GetBox()->GetWidth());

  kxTest::Framebuffer fb(64, 32);
  BeginGUIDrawing(fb);
  picture->Draw();
  EXPECT_EQ(kRed, At(fb, 40, 10));
  EXPECT_EQ(kBlue, At(fb, 40, 19));
  EXPECT_EQ(kGreen, At(fb, 15, 10));
  EXPECT_EQ(kGreen, At(fb, 15, 19));
  EXPECT_EQ(kBlack, At(fb, 9, 10));
  EXPECT_EQ(kBlack, At(fb, 40, 4));
  EXPECT_EQ(kBlack, At(fb, 40, 25));
  EXPECT_EQ(kBlack, At(fb, 50, 10));
}

TEST_F(PictureTest, PictureWithAnIDIsClickableAtTopLevel) {
  Block image = MakeSolidTGA(2, 2, kRed);
  kxGUIManager manager(200, 100);
  kxGUIPicture* picture = kxGUIPicture::Create(100, 20, 10, 64, 32, image.get());
  ASSERT_TRUE(manager.AppendControl(picture));
  manager.OnLMBDown(84, 42);  // far corner, inclusive
  manager.OnLMBUp(84, 42);
  EXPECT_EQ(1u, manager.GetEventCount());
  manager.OnLMBDown(85, 42);
  manager.OnLMBUp(85, 42);
  EXPECT_EQ(1u, manager.GetEventCount());
}

TEST_F(PictureTest, AsAChildItIsDrawnWhereItAnswersTheMouse) {
  Block image = MakeSolidTGA(2, 2, kGreen);
  kxTest::Framebuffer fb(200, 100);
  kxGUIManager manager(200, 100);
  kxGUIPanel* panel = kxGUIPanel::Create(1, 100, 40, 90, 50);
  panel->SetBackgroundColor(0, 0, 0, 0);
  ASSERT_TRUE(manager.AppendControl(panel));
  kxGUIPicture* picture = kxGUIPicture::Create(2, 10, 5, 20, 10, image.get());
  unsigned int texture = picture->GetBox()->GetTextureID();
  ASSERT_TRUE(panel->AppendChild(picture));
  EXPECT_EQ(texture, picture->GetBox()->GetTextureID()) << "moved, not rebuilt";
  float at[3];
  picture->GetBox()->GetCenter(at);
  EXPECT_FLOAT_EQ(110.0f, at[0]);
  EXPECT_FLOAT_EQ(45.0f, at[1]);
  manager.Draw();
  EXPECT_EQ(kGreen, At(fb, 115, 50));
  EXPECT_EQ(kBlack, At(fb, 15, 10));
  manager.OnLMBDown(115, 50);
  manager.OnLMBUp(115, 50);
  EXPECT_EQ(1u, manager.GetEventCount()) << "the child answers where it is drawn";
}

TEST_F(PictureTest, ImagesThatGiveNoTextureAreReported) {
  Block junk = MakeGarbageBlock();
  uint8_t three[3] = {1, 2, 3};
  kxMemoryBlock shortBlock{three, 3};
  kxMemoryBlock* images[] = {nullptr, junk.get(), &shortBlock};
  for (kxMemoryBlock* image : images) {
    std::unique_ptr<kxGUIPicture> picture(kxGUIPicture::Create(0, 0, 0, 16, 16, image));
    ASSERT_TRUE(picture);
    EXPECT_FALSE(picture->HasTexture());
    EXPECT_EQ(0u, picture->GetBox()->GetTextureID());
  }
}

TEST_F(PictureTest, TheCallerKeepsTheBlockAndThePictureItsTexture) {
  Block image = MakeSolidTGA(2, 2, kBlue);
  std::vector<uint8_t> before(image->data, image->data + image->size);
  kxGUIPicture* picture = kxGUIPicture::Create(0, 0, 0, 8, 8, image.get());
  unsigned int texture = picture->GetBox()->GetTextureID();
  EXPECT_TRUE(kxTest::IsTexture(texture));
  EXPECT_EQ(before, std::vector<uint8_t>(image->data, image->data + image->size));
  delete picture;
  EXPECT_FALSE(kxTest::IsTexture(texture));
}

}  // namespace
