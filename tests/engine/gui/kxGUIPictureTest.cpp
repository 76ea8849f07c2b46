// Pictures: the image upright and stretched over the rectangle, clicks where
// it is drawn, images that give no texture, texture ownership.
#include <gtest/gtest.h>

#include "graphics/kxTexturedBox.h"
#include "gui/kxGUIManager.h"
#include "gui/kxGUIPanel.h"
#include "gui/kxGUIPicture.h"
#include "kxGUITestKit.h"

using namespace kxGUITest;

namespace {

class PictureTest : public kxTest::GLTest {};

TEST_F(PictureTest, ShowsTheImageUprightStretchedOverItsRectangle) {
  // Top half red, bottom blue, two left columns green: 8 x 4 texels become
  // 5 x 5 pixels each, so the samples sit inside one colour whatever the filter.
  Block image = MakeCrunchedTGA(8, 4, [](int x, int y) {
    return x < 2 ? kGreen : y < 2 ? kRed : kBlue;
  });
  std::vector<uint8_t> before(image->data, image->data + image->size);
  kxGUIPicture* picture = kxGUIPicture::Create(0, 10, 5, 40, 20, image.get());
  ASSERT_TRUE(picture && picture->HasTexture());
  EXPECT_EQ(before, std::vector<uint8_t>(image->data, image->data + image->size));
  kxTest::Framebuffer fb(64, 32);
  BeginGUIDrawing(fb);
  picture->Draw();
  struct {
    int x, y;
    kxTest::RGBA c;
  } probes[] = {{40, 10, kRed},  {40, 19, kBlue}, {15, 10, kGreen}, {15, 19, kGreen},
                {9, 10, kBlack}, {40, 4, kBlack}, {40, 25, kBlack}, {50, 10, kBlack}};
  for (auto& p : probes) EXPECT_EQ(p.c, At(fb, p.x, p.y)) << p.x << "," << p.y;
  unsigned int texture = picture->GetBox()->GetTextureID();
  EXPECT_TRUE(kxTest::IsTexture(texture));
  delete picture;
  EXPECT_FALSE(kxTest::IsTexture(texture)) << "the picture owns its texture";
}

TEST_F(PictureTest, ClicksLandWhereItIsDrawnAtTopLevelAndAsAChild) {
  Block image = MakeSolidTGA(2, 2, kGreen);
  kxTest::Framebuffer fb(200, 100);
  kxGUIManager manager(200, 100);
  ASSERT_TRUE(manager.AppendControl(kxGUIPicture::Create(100, 20, 10, 64, 32, image.get())));
  kxGUIPanel* panel = kxGUIPanel::Create(1, 100, 40, 90, 50);
  panel->SetBackgroundColor(0, 0, 0, 0);
  ASSERT_TRUE(manager.AppendControl(panel));
  kxGUIPicture* child = kxGUIPicture::Create(2, 10, 5, 20, 10, image.get());
  unsigned int texture = child->GetBox()->GetTextureID();
  ASSERT_TRUE(panel->AppendChild(child));
  EXPECT_EQ(texture, child->GetBox()->GetTextureID()) << "moved, not rebuilt";
  manager.Draw();
  EXPECT_EQ(kGreen, At(fb, 115, 50));
  EXPECT_EQ(kBlack, At(fb, 15, 60)) << "nothing at the relative position";
  // Top-level far corner inclusive, one past it not; the child where drawn.
  int clicks[3][2] = {{84, 42}, {85, 42}, {115, 50}};
  for (auto& c : clicks) {
    manager.OnLMBDown(c[0], c[1]);
    manager.OnLMBUp(c[0], c[1]);
  }
  EXPECT_EQ(2u, manager.GetEventCount());
}

TEST_F(PictureTest, ImagesThatGiveNoTextureAreReported) {
  Block junk = MakeGarbageBlock();
  uint8_t three[3] = {1, 2, 3};
  kxMemoryBlock shortBlock{three, 3};
  for (kxMemoryBlock* image : {static_cast<kxMemoryBlock*>(nullptr), junk.get(), &shortBlock}) {
    std::unique_ptr<kxGUIPicture> picture(kxGUIPicture::Create(0, 0, 0, 16, 16, image));
    ASSERT_TRUE(picture);
    EXPECT_FALSE(picture->HasTexture());
    EXPECT_EQ(0u, picture->GetBox()->GetTextureID());
  }
}

}  // namespace
