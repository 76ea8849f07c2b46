// Loading from the resource pack: the start-up sequence, the deck of cards
// (rebuilt when the texture quality changes), the texts of a language, and
// the release of everything the game owns.
#include <cstdio>
#include <cstdlib>
#include <new>

#include "audio/kxMusic.h"
#include "audio/kxSampler.h"
#include "data/kxMemoryBlock.h"
#include "data/kxResource.h"
#include "data/kxStringArray.h"
#include "graphics/kxFont.h"
#include "graphics/kxGeometry.h"
#include "graphics/kxVertexArray.h"
#include "gui/kxGUIButtonStates.h"
#include "gui/kxGUIManager.h"
#include "render/kxRenderer.h"
#include "vimraGame.h"
#include "vimraLanguages.h"
#include "vimraPackKeys.h"
#include "vimraVisibleArea.h"

namespace {

const char* const kPackFile = "vimradata.bin";

}  // namespace

kxFont* vimraLoadFont(kxMemoryBlock* entry) {
  if (entry == nullptr) return nullptr;
  kxFont* font = new (std::nothrow) kxFont(ftTopDown);
  if (font == nullptr) return nullptr;
  if (!font->LoadFromCrunchedMemoryBlock(entry) ||
      !(font->GetWidth(u"0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz") > 0.0f)) {
    delete font;
    return nullptr;
  }
  return font;
}

kxMemoryBlock* vimraGame::GetEntry(const char* key) {
  return resources != nullptr ? resources->Get(key) : nullptr;
}

kxMemoryBlock* vimraGame::GetQualityEntry(const char* key) {
  if (highQuality) return GetEntry(key);
  char name[64];
  snprintf(name, sizeof name, "%s%s", key, vimraKeyLowSuffix);
  return GetEntry(name);
}

bool vimraGame::OnAfterInit() {
  initFailure = ifNone;
  resources = new (std::nothrow) kxResource();
  if (resources == nullptr || !resources->ReadFromFile(kPackFile)) {
    initFailure = ifPack;
    return false;
  }

  music = new (std::nothrow) kxMusic();
  if (music != nullptr) {
    kxMemoryBlock* block = GetEntry(vimraKeyMusic);
    // Music is not essential: a piece that does not load plays nothing.
    if (block != nullptr) (void)music->LoadFromCrunchedMemoryBlock(block);
    music->SetVolume(musicVolume);
    if (musicOn) music->Play();
  }

  BuildDeck();

  // Without its fonts the game could show no text: both are essential.
  arialFont = vimraLoadFont(GetEntry(vimraKeyLargeFont));
  if (arialFont == nullptr) {
    initFailure = ifFontLarge;
    return false;
  }
  smallFont = vimraLoadFont(GetEntry(vimraKeySmallFont));
  if (smallFont == nullptr) {
    initFailure = ifFontSmall;
    return false;
  }
  LoadFontVariants(arialFont, vimraKeyLargeFont);
  LoadFontVariants(smallFont, vimraKeySmallFont);

  BuildBackground();
  BuildClouds();
  BuildStars();
  SetLanguage(language);

  sampler = new (std::nothrow) kxSampler();
  if (sampler != nullptr) {
    kxMemoryBlock* block = GetEntry(vimraKeyChoiceSound);
    // Nor is the sound: PlaySample skips a number that holds none.
    if (block != nullptr) (void)sampler->AppendSampleFromCrunchedMemoryBlock(block);
    sampler->SetVolume(sampleVolume);
  }

  // The window's shape is known now: the menu view that suits it.
  RestAtMenuView();
  ApplyGUIScale();
  LoadButtonLooks();
  ShowMainMenu();
  SetupLighting();

  kxRenderer* r = kxGetRenderer();
  r->SetAlphaBlending();
  r->Enable(rsNormalize);
  r->Disable(rsLighting);
  return true;
}

void vimraGame::BuildDeck() {
  delete cards;
  cards = nullptr;
  // A pending order refers to the cards just deleted.
  delete pendingOrder;
  pendingOrder = nullptr;
  cards = new (std::nothrow) kxGeometry();
  if (cards == nullptr) return;

  // Which picture sits on which card changes with every build (builds within
  // the same second repeat a placement). The pictures are shuffled before
  // they are loaded, so every card owns the texture it shows and deletes it
  // with the deck, also when some picture is missing from the pack.
  srand(ShuffleSeed());
  int picture[vimraCardCount];
  vimraPictureOrder(picture);

  kxVertexArray* first = nullptr;
  for (int i = 0; i < vimraCardCount; ++i) {
    kxVertexArray* card = cards->AppendVertexArray(4);
    if (card == nullptr) continue;
    card->SetMoveToCenter(true);
    // Card 0 loads the mesh; the others share its buffers.
    if (i == 0) {
      first = card;
      kxMemoryBlock* mesh = GetQualityEntry(vimraKeyCardMesh);
      // A card mesh that does not load leaves the cards without shape.
      if (mesh != nullptr) (void)card->LoadFromCrunchedMemoryBlock(mesh);
      cardsCullable = vimraFacesPointOutward(card);
    } else if (first != nullptr) {
      card->AssignGeometry(first);
    }
    char key[32];
    snprintf(key, sizeof key, "%s%d", vimraKeyCardPicturePrefix, picture[i]);
    kxMemoryBlock* texture = GetQualityEntry(key);
    if (texture != nullptr) card->TextureFromCrunchedMemoryBlock(texture);
    card->SetScale(5.0f);
  }
  cards->SetPositions(gridPositions);
}

void vimraGame::SetLanguage(int index) {
  if (index < 0 || index >= vimraLanguageCount()) index = 0;
  delete messages;
  delete licenses;
  delete howToPlay;
  messages = licenses = howToPlay = nullptr;
  const char* prefixes[3] = {vimraKeyMessagesPrefix, vimraKeyLicensesPrefix,
                             vimraKeyHowToPlayPrefix};
  kxStringArray** targets[3] = {&messages, &licenses, &howToPlay};
  for (int k = 0; k < 3; ++k) {
    char key[64];
    snprintf(key, sizeof key, "%s%s", prefixes[k], vimraLanguageTable[index].key);
    kxStringArray* lines = new (std::nothrow) kxStringArray();
    kxMemoryBlock* block = GetEntry(key);
    // Texts that do not load stay empty; Message gives an empty line then.
    if (lines != nullptr && block != nullptr) (void)lines->LoadFromCrunchedMemoryBlock(block);
    *targets[k] = lines;
  }
}

kxString& vimraGame::Message(int n) {
  if (messages != nullptr && n >= 0 && uint64_t(n) < messages->GetLinesCounf()) {
    return messages->GetLine(uint64_t(n));
  }
  return emptyLine;
}

void vimraGame::ReleaseAssets() {
  // The controls refer to the fonts, texts and button images released below.
  if (GetGUIManager() != nullptr) GetGUIManager()->Clear();
  delete arialFont;
  delete smallFont;
  delete pendingOrder;
  delete cards;
  delete background;
  delete stars;
  delete clouds;
  delete messages;
  delete licenses;
  delete howToPlay;
  delete sampler;
  delete blueButton;
  delete greenButton;
  delete redButton;
  delete resources;
  delete music;
  arialFont = smallFont = nullptr;
  pendingOrder = cards = stars = clouds = nullptr;
  background = nullptr;
  messages = licenses = howToPlay = nullptr;
  sampler = nullptr;
  blueButton = greenButton = redButton = nullptr;
  resources = nullptr;
  music = nullptr;
}
