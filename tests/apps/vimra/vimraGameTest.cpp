// The game object: the trick's bookkeeping on a deck of textured cards, the
// settings file through construction and close, and, under a display with
// the real resource pack and disk audio, the state machine, menus, keys and
// failed starts of a fully initialised game.
#include <gtest/gtest.h>

#include <GL/glew.h>
#include <SDL.h>
#include <SDL_mixer.h>
#include <dlfcn.h>
#include <link.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "audio/kxMusic.h"
#include "audio/kxSampler.h"
#include "data/kxMemoryBlock.h"
#include "data/kxResource.h"
#include "data/kxString.h"
#include "data/kxStringArray.h"
#include "graphics/kxGeometry.h"
#include "graphics/kxVertexArray.h"
#include "gui/kxGIULabel.h"
#include "gui/kxGUIButton.h"
#include "gui/kxGUIManager.h"
#include "gui/kxGUIObject.h"
#include "vimraColorTable.h"
#include "vimraDeal.h"
#include "vimraGame.h"
#include "vimraLayout.h"

namespace fs = std::filesystem;

namespace {

// Opens the game's protected state to the tests.
class GameProbe : public vimraGame {
 public:
  using kxSDLWrapper::aspect;
  using kxSDLWrapper::DispatchEvent;
  using kxSDLWrapper::frameCounter;
  using kxSDLWrapper::quitRequested;
  using kxSDLWrapper::SetTickSource;
  using vimraGame::AdvanceState;
  using vimraGame::cards;
  using vimraGame::chosenRow;
  using vimraGame::clouds;
  using vimraGame::cornerClicked;
  using vimraGame::currentPositions;
  using vimraGame::dealCount;
  using vimraGame::highQuality;
  using vimraGame::hintsOn;
  using vimraGame::language;
  using vimraGame::messages;
  using vimraGame::music;
  using vimraGame::musicOn;
  using vimraGame::musicVolume;
  using vimraGame::pendingOrder;
  using vimraGame::rowY;
  using vimraGame::sampler;
  using vimraGame::sampleVolume;
  using vimraGame::shownSwap;
  using vimraGame::starsVisible;
  using vimraGame::state;
};

int RowOfSlot(int slot) {
  return slot >= 14 ? 1 : (slot >= 7 ? 2 : 3);
}

std::vector<unsigned> TexturesOf(kxGeometry* group) {
  std::vector<unsigned> ids;
  for (size_t i = 0; i < group->Length(); ++i) {
    kxVertexArray* card = group->GetVertexArray(i);
    ids.push_back(card != nullptr ? card->GetTextureID() : 0u);
  }
  return ids;
}

int SlotOfTexture(kxGeometry* group, unsigned texture) {
  for (size_t i = 0; i < group->Length(); ++i) {
    if (group->GetVertexArray(i) != nullptr && group->GetVertexArray(i)->GetTextureID() == texture) {
      return int(i);
    }
  }
  return -1;
}

std::string Utf8(const kxString& s) {
  if (s.GetString() == nullptr) return std::string();
  char* text = kxWcharToMBStr(s.GetString());
  std::string out = text != nullptr ? text : "";
  free(text);
  return out;
}

// Runs each test in a fresh, empty working directory.
class InTempDir : public ::testing::Test {
 protected:
  void SetUp() override {
    previous = fs::current_path();
    char pattern[] = "/tmp/vimra-test-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir = pattern;
    fs::current_path(dir);
    vimraResetBackdropColors();
  }
  void TearDown() override {
    fs::current_path(previous);
    std::error_code ignored;
    fs::remove_all(dir, ignored);
    vimraResetBackdropColors();
  }

  std::vector<uint8_t> ReadFile(const char* name) {
    std::ifstream in(dir / name, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
  }
  void WriteFile(const char* name, const std::vector<uint8_t>& bytes) {
    std::ofstream out(dir / name, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  }

  fs::path previous;
  fs::path dir;
};

// ---------------------------------------------------------------------------
// The trick on a deck whose cards are told apart by texture ids 1 to 21.

class TrickTest : public InTempDir {
 protected:
  void SetUp() override {
    InTempDir::SetUp();
    game = new GameProbe();
    game->aspect = 16.0f / 9.0f;
    game->cards = new kxGeometry();
    for (int i = 0; i < vimraCardCount; ++i) {
      game->cards->AppendVertexArray(4)->SetTextureID(unsigned(i + 1));
    }
  }
  void TearDown() override {
    delete game;
    InTempDir::TearDown();
  }

  // The deal animation's end: one more deal done, back to waiting.
  void FinishDeal() {
    ASSERT_EQ(game->state, StateDeal);
    ++game->dealCount;
    game->AdvanceState();
    ASSERT_EQ(game->state, StateAwaitRow);
  }

  // From the ring to the first question, as the animations would run it.
  void StartTrick() {
    game->state = StateRing;
    game->AdvanceState();
    ASSERT_EQ(game->state, StateGather);
    ASSERT_EQ(game->dealCount, 0);
    game->AdvanceState();
    FinishDeal();
  }

  // Answers with the row that shows `texture`.
  void Answer(unsigned texture) {
    int slot = SlotOfTexture(game->cards, texture);
    ASSERT_GE(slot, 0);
    game->chosenRow = RowOfSlot(slot);
    game->AdvanceState();
    if (game->state == StateGather) {
      game->AdvanceState();
      FinishDeal();
    } else {
      ASSERT_EQ(game->state, StateToReveal);
    }
  }

  void PlayTrick(unsigned texture) {
    StartTrick();
    for (int answer = 0; answer < 3; ++answer) Answer(texture);
    ASSERT_EQ(game->state, StateToReveal);
  }

  void ExpectPermutation() {
    std::vector<unsigned> ids = TexturesOf(game->cards);
    std::sort(ids.begin(), ids.end());
    for (int i = 0; i < vimraCardCount; ++i) ASSERT_EQ(ids[i], unsigned(i + 1));
  }

  GameProbe* game = nullptr;
};

TEST_F(TrickTest, EveryCardFromEverySlotEndsInSlotTen) {
  std::mt19937 generator(2024);
  for (int slot = 0; slot < vimraCardCount; ++slot) {
    for (int start = 0; start < 4; ++start) {
      // A shuffled start order.
      for (int i = vimraCardCount - 1; i > 0; --i) {
        game->cards->ChangeVertexArray(size_t(i), size_t(generator() % unsigned(i + 1)));
      }
      StartTrick();
      unsigned texture = game->cards->GetVertexArray(size_t(slot))->GetTextureID();
      for (int answer = 0; answer < 3; ++answer) Answer(texture);
      ASSERT_EQ(game->state, StateToReveal);
      EXPECT_EQ(SlotOfTexture(game->cards, texture), 10) << "slot " << slot << " start " << start;
      EXPECT_EQ(game->pendingOrder, nullptr);
      ExpectPermutation();
    }
  }
}

TEST_F(TrickTest, ShownSwapsAreAppliedAndUndoneBeforeTheGather) {
  srand(7);
  StartTrick();
  int swapsSeen = 0;
  for (int answer = 0; answer < 2; ++answer) {
    game->chosenRow = 1 + answer;
    game->AdvanceState();
    ASSERT_EQ(game->state, StateGather);
    ASSERT_NE(game->pendingOrder, nullptr);
    std::vector<unsigned> pending = TexturesOf(game->pendingOrder);
    game->AdvanceState();  // ApplyDeal
    ASSERT_EQ(game->pendingOrder, nullptr);
    // The dealt order is the pending one with the middle card of each row
    // shown at a random place of its row.
    std::vector<unsigned> shown = pending;
    for (int r = 0; r < 3; ++r) {
      ASSERT_GE(game->shownSwap[r], 7 * r);
      ASSERT_LT(game->shownSwap[r], 7 * r + 7);
      std::swap(shown[size_t(7 * r + 3)], shown[size_t(game->shownSwap[r])]);
      if (game->shownSwap[r] != 7 * r + 3) ++swapsSeen;
    }
    EXPECT_EQ(TexturesOf(game->cards), shown);
    FinishDeal();

    // The next gather starts from the unswapped order.
    std::vector<unsigned> unswapped = shown;
    for (int r = 0; r < 3; ++r) {
      std::swap(unswapped[size_t(7 * r + 3)], unswapped[size_t(game->shownSwap[r])]);
    }
    EXPECT_EQ(unswapped, pending);
    int order[vimraCardCount];
    vimraGatherOrder(3, order);
    game->GatherByRow(3);
    EXPECT_EQ(TexturesOf(game->cards), unswapped);
    std::vector<unsigned> expected;
    for (int s = 0; s < vimraCardCount; ++s) expected.push_back(unswapped[size_t(order[s])]);
    EXPECT_EQ(TexturesOf(game->pendingOrder), expected);
    // Show the swaps again, as they were before this check.
    for (int r = 0; r < 3; ++r) {
      game->cards->ChangeVertexArray(size_t(7 * r + 3), size_t(game->shownSwap[r]));
    }
    EXPECT_EQ(TexturesOf(game->cards), shown);
  }
  // With six rows drawn at random, at least one card was really moved.
  EXPECT_GT(swapsSeen, 0);
}

TEST_F(TrickTest, FinalDealDrawsSwapsWithoutShowingThem) {
  srand(11);
  unsigned texture = game->cards->GetVertexArray(15)->GetTextureID();
  StartTrick();
  Answer(texture);
  Answer(texture);
  // Third answer: gather and deal at once, no swap applied.
  int slot = SlotOfTexture(game->cards, texture);
  game->chosenRow = RowOfSlot(slot);
  game->AdvanceState();
  ASSERT_EQ(game->state, StateToReveal);
  EXPECT_EQ(game->cards->GetVertexArray(10)->GetTextureID(), texture);
  EXPECT_TRUE(game->starsVisible);
}

TEST_F(TrickTest, SecondTrickStillFindsTheCard) {
  for (int seed = 1; seed <= 40; ++seed) {
    srand(unsigned(seed));
    unsigned first = game->cards->GetVertexArray(size_t(seed % 21))->GetTextureID();
    PlayTrick(first);
    ASSERT_EQ(SlotOfTexture(game->cards, first), 10);
    // The reveal ends and the ring is up again; the swaps drawn by the final
    // deal are still pending and are "undone" by the next gather.
    game->state = StateReveal;
    game->AdvanceState();
    ASSERT_EQ(game->state, StateRevealEnd);
    unsigned second = game->cards->GetVertexArray(size_t((seed * 7) % 21))->GetTextureID();
    PlayTrick(second);
    EXPECT_EQ(SlotOfTexture(game->cards, second), 10) << "seed " << seed;
    ExpectPermutation();
  }
}

TEST_F(TrickTest, RebuildingTheDeckDropsAPendingOrder) {
  StartTrick();
  game->chosenRow = 2;
  game->AdvanceState();
  ASSERT_EQ(game->state, StateGather);
  ASSERT_NE(game->pendingOrder, nullptr);
  // Escape and a quality switch in the menu rebuild the deck mid-gather.
  game->BuildDeck();
  EXPECT_EQ(game->pendingOrder, nullptr);
  ASSERT_NE(game->cards, nullptr);
  ASSERT_EQ(game->cards->Length(), size_t(vimraCardCount));
  kxVertexArray* before[vimraCardCount];
  for (int i = 0; i < vimraCardCount; ++i) before[i] = game->cards->GetVertexArray(size_t(i));
  game->AdvanceState();  // ApplyDeal with nothing pending
  for (int i = 0; i < vimraCardCount; ++i) {
    EXPECT_EQ(game->cards->GetVertexArray(size_t(i)), before[i]);
    EXPECT_EQ(game->cards->GetVertexArray(size_t(i))->GetScale(), 5.0f);
  }
}

TEST_F(TrickTest, CardsKeepTheirScreenPositionsAcrossADeal) {
  StartTrick();
  game->chosenRow = 1;
  game->AdvanceState();
  ASSERT_EQ(game->state, StateGather);
  // Give every card a position that names it.
  for (int i = 0; i < vimraCardCount; ++i) {
    unsigned id = game->cards->GetVertexArray(size_t(i))->GetTextureID();
    game->currentPositions[i][0] = float(id);
    game->currentPositions[i][1] = 0.0f;
    game->currentPositions[i][2] = 0.0f;
  }
  game->dealCount = 3;  // no shown swaps: positions only follow the cards
  game->ApplyDeal();
  for (int i = 0; i < vimraCardCount; ++i) {
    EXPECT_EQ(game->currentPositions[i][0],
              float(game->cards->GetVertexArray(size_t(i))->GetTextureID()))
        << "slot " << i;
  }
}

// ---------------------------------------------------------------------------
// Settings through construction and close.

class SettingsTest : public InTempDir {};

TEST_F(SettingsTest, NoFileGivesTheDefaults) {
  GameProbe game;
  EXPECT_EQ(game.language, 0);
  EXPECT_TRUE(game.highQuality);
  EXPECT_TRUE(game.musicOn);
  EXPECT_TRUE(game.hintsOn);
  EXPECT_EQ(game.musicVolume, 64);
  EXPECT_EQ(game.sampleVolume, 64);
  EXPECT_EQ(game.state, StateMenu);
  EXPECT_FALSE(fs::exists(dir / "vimraconfig.bin"));
}

TEST_F(SettingsTest, ChoicesSurviveARestart) {
  {
    GameProbe game;
    game.language = 1;
    game.highQuality = false;
    game.musicOn = false;
    game.hintsOn = false;
    game.musicVolume = 5;
    game.sampleVolume = 120;
    vimraBackdropColor(bcBottom)[1] = 0.25f;
    vimraBackdropColor(bcTop)[2] = 0.5f;
    game.SaveSettings();
  }
  EXPECT_EQ(ReadFile("vimraconfig.bin").size(), 48u);
  vimraResetBackdropColors();
  GameProbe again;
  EXPECT_EQ(again.language, 1);
  EXPECT_FALSE(again.highQuality);
  EXPECT_FALSE(again.musicOn);
  EXPECT_FALSE(again.hintsOn);
  EXPECT_EQ(again.musicVolume, 5);
  EXPECT_EQ(again.sampleVolume, 120);
  EXPECT_EQ(vimraBackdropColor(bcBottom)[1], 0.25f);
  EXPECT_EQ(vimraBackdropColor(bcTop)[2], 0.5f);
  EXPECT_FLOAT_EQ(vimraBackdropColor(bcBottom)[0], 0.889129638671875f);
}

// ---------------------------------------------------------------------------
// A fully initialised game under a display, with the real pack and disk audio.

// Closing the game shuts SDL down, which unloads the GL driver; what the
// driver keeps for the process would then be reported as leaks of no named
// module, out of reach of the suppressions. Pinning the libraries loaded by a
// start keeps them mapped and named.
int PinLibrary(struct dl_phdr_info* info, size_t, void*) {
  if (info->dlpi_name != nullptr && info->dlpi_name[0] != '\0') {
    dlopen(info->dlpi_name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
  }
  return 0;
}

bool InitPinned(vimraGame* game) {
  bool started = game->Init();
  dl_iterate_phdr(PinLibrary, nullptr);
  return started;
}

uint32_t fakeTicks = 1000;
uint32_t FakeTicks() {
  return fakeTicks;
}

std::string PackPath() {
  const char* bin = getenv("KX_BIN_DIR");
  return std::string(bin != nullptr ? bin : ".") + "/vimradata.bin";
}

class LiveGame : public InTempDir {
 protected:
  void SetUp() override {
    InTempDir::SetUp();
    pack = previous / PackPath();
    ASSERT_TRUE(fs::exists(pack)) << "the resource pack is needed: " << pack;
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", (dir / "audio.raw").c_str(), 1);
  }
  void TearDown() override {
    if (game != nullptr) {
      if (initialised && !ran) game->OnBeforeClose();
      delete game;
    }
    InTempDir::TearDown();
  }

  void InstallPack() { fs::copy_file(pack, dir / "vimradata.bin"); }

  // A copy of the pack with some entries removed and others replaced.
  void InstallEditedPack(const std::vector<std::string>& removed,
                         const std::vector<std::pair<std::string, std::string>>& texts = {}) {
    kxResource resource;
    ASSERT_TRUE(resource.ReadFromFile(pack.c_str()));
    // Entries the pack does not have are absent already.
    for (const std::string& name : removed) resource.Remove(name.c_str());
    for (const auto& text : texts) {
      kxMemoryBlock* plain = kxAllocMemoryBlock(text.second.size());
      std::memcpy(plain->data, text.second.data(), text.second.size());
      kxMemoryBlock* crunched = kxCrunchMemoryBlock(plain);
      ASSERT_NE(crunched, nullptr);
      resource.Change(crunched, text.first.c_str());
      kxFreeMemoryBlock(plain);
      kxFreeMemoryBlock(crunched);
    }
    ASSERT_TRUE(resource.WriteToFile((dir / "vimradata.bin").c_str()));
  }

  void Start() {
    game = new GameProbe();
    initialised = InitPinned(game);
    ASSERT_TRUE(initialised);
    // Clicks run on a clock of their own (after the splash, which is paced
    // by the same clock).
    game->SetTickSource(FakeTicks);
    game->quitRequested = false;
    // The state machine does not depend on how many pixels are filled: draw
    // into a corner of the window to keep software rendering quick.
    glViewport(0, 0, 128, 72);
    gui = game->GetGUIManager();
    ASSERT_NE(gui, nullptr);
  }

  // One iteration of the main loop without input: queued clicks, then a frame.
  void Step() {
    gui->HandleEvents();
    game->Refresh();
  }

  // Steps until the game reaches `target`; false after `limit` frames.
  bool StepUntil(int target, int limit) {
    for (int i = 0; i < limit && game->state != target; ++i) Step();
    return game->state == target;
  }

  void Dispatch(SDL_Event event) { game->DispatchEvent(event); }

  void MouseTo(int x, int y) {
    SDL_Event e{};
    e.type = SDL_MOUSEMOTION;
    e.motion.x = x;
    e.motion.y = y;
    Dispatch(e);
  }
  void Button(bool down) {
    SDL_Event e{};
    e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    e.button.button = SDL_BUTTON_LEFT;
    Dispatch(e);
  }
  // A single click, well apart from the previous one.
  void ClickAt(int x, int y) {
    fakeTicks += 1000;
    MouseTo(x, y);
    Button(true);
    Button(false);
  }
  void DoubleClickAt(int x, int y) {
    ClickAt(x, y);
    fakeTicks += 50;
    Button(true);
    Button(false);
  }
  void Key(SDL_Keycode key) {
    SDL_Event e{};
    e.type = SDL_KEYDOWN;
    e.key.keysym.sym = key;
    Dispatch(e);
    e.type = SDL_KEYUP;
    Dispatch(e);
  }

  // First control with `id`, top level or below.
  kxGUIObject* Find(unsigned id, kxGUIObject* parent = nullptr) {
    uint64_t n = parent != nullptr ? parent->GetChildCount() : gui->GetControlCount();
    for (uint64_t i = 0; i < n; ++i) {
      kxGUIObject* c = parent != nullptr ? parent->GetChild(i) : gui->GetControl(i);
      if (c == nullptr) continue;
      if (c->GetID() == id) return c;
      if (kxGUIObject* below = Find(id, c)) return below;
    }
    return nullptr;
  }
  int Count(unsigned id, kxGUIObject* parent = nullptr) {
    int found = 0;
    uint64_t n = parent != nullptr ? parent->GetChildCount() : gui->GetControlCount();
    for (uint64_t i = 0; i < n; ++i) {
      kxGUIObject* c = parent != nullptr ? parent->GetChild(i) : gui->GetControl(i);
      if (c == nullptr) continue;
      found += (c->GetID() == id) + Count(id, c);
    }
    return found;
  }
  // Clicks the middle of the last control with `id` (the button, not the
  // logo picture, for 100) and runs the frame that delivers the click.
  void ClickControl(unsigned id) {
    kxGUIObject* target = nullptr;
    for (uint64_t i = 0; i < gui->GetControlCount(); ++i) {
      kxGUIObject* c = gui->GetControl(i);
      if (c->GetID() == id) target = c;
      for (uint64_t k = 0; k < c->GetChildCount(); ++k) {
        if (c->GetChild(k)->GetID() == id) target = c->GetChild(k);
      }
    }
    ASSERT_NE(target, nullptr) << "no control " << id;
    ClickAt(target->GetLeft() + target->GetWidth() / 2, target->GetTop() + target->GetHeight() / 2);
    Step();
  }
  std::string CaptionOf(unsigned id) {
    kxGUIButton* button = dynamic_cast<kxGUIButton*>(Find(id));
    return button != nullptr ? Utf8(button->GetCaption()) : std::string("<none>");
  }
  std::vector<std::string> LabelTexts() {
    std::vector<std::string> texts;
    kxGUIObject* box = Find(idBox);
    if (box == nullptr) return texts;
    for (uint64_t i = 0; i < box->GetChildCount(); ++i) {
      if (auto* label = dynamic_cast<kxGIULabel*>(box->GetChild(i))) {
        texts.push_back(Utf8(label->GetText()));
      }
    }
    return texts;
  }

  // Height of a click on `row`, from the click mapping: v = (H/2 - y) / (H/2),
  // and a row is the middle one while |z v / 1.72| < 1.2.
  int RowHeight(int row) {
    int h = game->GetHeight();
    if (row == 2) return h / 2;
    return row == 1 ? h / 2 - int(0.4f * float(h)) : h / 2 + int(0.4f * float(h));
  }

  // Answers the row that holds `texture`, from state 1.
  void AnswerFor(unsigned texture) {
    ASSERT_EQ(game->state, StateAwaitRow);
    int row = RowOfSlot(SlotOfTexture(game->cards, texture));
    ClickAt(game->GetWidth() / 2, RowHeight(row));
    EXPECT_EQ(game->chosenRow, row);
  }

  struct Snapshot {
    int state, dealCount;
    std::vector<unsigned> order;
    bool operator==(const Snapshot& o) const {
      return state == o.state && dealCount == o.dealCount && order == o.order;
    }
  };
  Snapshot Take() { return {game->state, game->dealCount, TexturesOf(game->cards)}; }

  // A click during an animation moves only chosenRow and rowY.
  void ExpectClickOnlyMovesTheRow() {
    Snapshot before = Take();
    int row = game->chosenRow == 1 ? 3 : 1;
    ClickAt(game->GetWidth() / 2, RowHeight(row));
    EXPECT_EQ(game->chosenRow, row) << "state " << before.state;
    EXPECT_FLOAT_EQ(game->rowY, row == 1 ? 2.2f : -2.8f);
    EXPECT_TRUE(Take() == before) << "state " << before.state;
  }

  fs::path pack;
  GameProbe* game = nullptr;
  kxGUIManager* gui = nullptr;
  bool initialised = false;
  bool ran = false;
};

TEST_F(LiveGame, WholeTrickFromTheMenuFindsTheCard) {
  InstallPack();
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_EQ(game->state, StateMenu);
  EXPECT_EQ(Count(idStart), 2);  // logo and button
  EXPECT_EQ(Count(idQuit), 1);
  EXPECT_EQ(Count(idAbout), 1);
  EXPECT_EQ(Count(idHowToPlay), 1);
  EXPECT_EQ(Count(idSettings), 1);

  // A click in the menu outside the controls answers nothing.
  ClickAt(game->GetWidth() / 2, game->GetHeight() - 20);
  Step();
  EXPECT_EQ(game->state, StateMenu);

  ClickControl(idStart);
  ASSERT_EQ(game->state, StateRing);
  EXPECT_EQ(Count(idStart), 0);
  EXPECT_EQ(Count(idHintScroll), 1);

  ClickAt(game->GetWidth() / 2, game->GetHeight() / 2);
  ASSERT_EQ(game->state, StateGather);
  for (int i = 0; i < 20; ++i) Step();
  ExpectClickOnlyMovesTheRow();
  ASSERT_TRUE(StepUntil(StateDeal, 200));
  ExpectClickOnlyMovesTheRow();
  ASSERT_TRUE(StepUntil(StateAwaitRow, 100));
  EXPECT_EQ(game->dealCount, 1);
  float camera[3];
  game->GetCamPosition(camera);
  EXPECT_FLOAT_EQ(camera[0], 0.0f);
  EXPECT_FLOAT_EQ(camera[1], 0.0f);
  EXPECT_FLOAT_EQ(camera[2], (1.0f / game->GetAspect()) * 20.0f);

  // The top-right corner answers nothing.
  Snapshot waiting = Take();
  int row = game->chosenRow;
  ClickAt(game->GetWidth() - 5, 5);
  Step();
  EXPECT_TRUE(game->cornerClicked);
  EXPECT_TRUE(Take() == waiting);
  EXPECT_EQ(game->chosenRow, row);

  const unsigned chosen = game->cards->GetVertexArray(4)->GetTextureID();
  for (int answer = 0; answer < 3; ++answer) {
    AnswerFor(chosen);
    if (answer < 2) {
      ASSERT_EQ(game->state, StateGather);
      ASSERT_TRUE(StepUntil(StateAwaitRow, 400)) << "answer " << answer;
    }
  }
  ASSERT_EQ(game->state, StateToReveal);
  EXPECT_EQ(SlotOfTexture(game->cards, chosen), 10);
  for (int i = 0; i < 70; ++i) Step();
  ExpectClickOnlyMovesTheRow();
  ASSERT_TRUE(StepUntil(StateReveal, 300));
  EXPECT_TRUE(game->starsVisible);
  for (int i = 0; i < 100; ++i) Step();
  EXPECT_GT(game->cards->GetVertexArray(10)->GetScale(), 5.0f);
  EXPECT_EQ(game->cards->GetVertexArray(10)->GetTextureID(), chosen);

  ClickAt(game->GetWidth() / 2, game->GetHeight() / 2);
  ASSERT_EQ(game->state, StateRevealEnd);
  for (int i = 0; i < 10; ++i) Step();
  ExpectClickOnlyMovesTheRow();
  ASSERT_TRUE(StepUntil(StateRing, 200));
  EXPECT_FALSE(game->starsVisible);
  EXPECT_EQ(game->cards->GetVertexArray(10)->GetScale(), 5.0f);

  // From the ring the next click starts another trick.
  ClickAt(game->GetWidth() / 2, game->GetHeight() / 2);
  EXPECT_EQ(game->state, StateGather);
  EXPECT_EQ(game->dealCount, 0);
}

TEST_F(LiveGame, EscapeLeadsBackAndEnds) {
  InstallPack();
  ASSERT_NO_FATAL_FAILURE(Start());
  ClickControl(idStart);
  ASSERT_EQ(game->state, StateRing);
  Key(SDLK_ESCAPE);
  EXPECT_EQ(game->state, StateMenu);
  EXPECT_FALSE(game->quitRequested);
  EXPECT_EQ(Count(idQuit), 1);
  EXPECT_EQ(Count(idHintScroll), 0);
  Step();

  // During a gather: back to the menu view from where the cards are drawn.
  ClickControl(idStart);
  ClickAt(game->GetWidth() / 2, game->GetHeight() / 2);
  ASSERT_EQ(game->state, StateGather);
  for (int i = 0; i < 30; ++i) Step();
  Key(SDLK_ESCAPE);
  ASSERT_EQ(game->state, StateBackToMenu);
  EXPECT_FALSE(game->quitRequested);
  EXPECT_FALSE(game->starsVisible);
  EXPECT_EQ(Count(idQuit), 1);
  for (int i = 0; i < vimraCardCount; ++i) {
    float centre[3];
    game->cards->GetVertexArray(size_t(i))->GetCenter(centre);
    for (int k = 0; k < 3; ++k) EXPECT_EQ(game->currentPositions[i][k], centre[k]);
  }
  int frames = 0;
  while (game->state == StateBackToMenu && frames < 200) {
    Step();
    ++frames;
  }
  EXPECT_EQ(game->state, StateMenu);
  EXPECT_EQ(frames, 122);
  // 122 steps of a 120-step flight: the camera ends next to the menu view.
  float camera[3];
  game->GetCamPosition(camera);
  EXPECT_NEAR(camera[0], -4.056069f, 0.1f);
  EXPECT_NEAR(camera[1], -7.2544f, 0.1f);
  EXPECT_NEAR(camera[2], 11.639397f, 0.1f);

  // A second Escape during the return ends the program.
  ClickControl(idStart);
  ClickAt(game->GetWidth() / 2, game->GetHeight() / 2);
  Step();
  Key(SDLK_ESCAPE);
  ASSERT_EQ(game->state, StateBackToMenu);
  EXPECT_FALSE(game->quitRequested);
  Key(SDLK_AC_BACK);
  EXPECT_TRUE(game->quitRequested);
}

TEST_F(LiveGame, EscapeInTheMenuEnds) {
  InstallPack();
  ASSERT_NO_FATAL_FAILURE(Start());
  Key(SDLK_ESCAPE);
  EXPECT_TRUE(game->quitRequested);
  EXPECT_EQ(game->state, StateMenu);
}

TEST_F(LiveGame, VolumeKeysThroughTheMainLoopReachTheSettingsFile) {
  InstallPack();
  ASSERT_NO_FATAL_FAILURE(Start());
  game->SetTickSource(nullptr);
  const SDL_Keycode keys[] = {SDLK_UP, SDLK_UP, SDLK_VOLUMEUP, SDLK_DOWN};
  for (SDL_Keycode key : keys) {
    SDL_Event e{};
    e.type = SDL_KEYDOWN;
    e.key.keysym.sym = key;
    ASSERT_EQ(SDL_PushEvent(&e), 1);
    e.type = SDL_KEYUP;
    ASSERT_EQ(SDL_PushEvent(&e), 1);
  }
  SDL_Event e{};
  e.type = SDL_KEYDOWN;
  e.key.keysym.sym = SDLK_ESCAPE;
  ASSERT_EQ(SDL_PushEvent(&e), 1);
  e.type = SDL_KEYUP;
  ASSERT_EQ(SDL_PushEvent(&e), 1);
  ran = true;
  EXPECT_EQ(game->Run(0, nullptr), 0);
  // Three raising keys and one lowering key, two steps per press and release.
  std::vector<uint8_t> image = ReadFile("vimraconfig.bin");
  ASSERT_EQ(image.size(), 48u);
  int32_t musicVolume;
  int32_t sampleVolume;
  std::memcpy(&musicVolume, &image[40], 4);
  std::memcpy(&sampleVolume, &image[44], 4);
  EXPECT_EQ(musicVolume, 64 + 6 - 2);
  EXPECT_EQ(sampleVolume, 64 + 6 - 2);
  EXPECT_EQ(game->music, nullptr);  // released by the close
}

TEST_F(LiveGame, CornerDoubleClickRecoloursAndSaves) {
  InstallPack();
  ASSERT_NO_FATAL_FAILURE(Start());
  const float bottom = vimraBackdropColor(bcBottom)[0];
  const float top = vimraBackdropColor(bcTop)[2];
  // A double click elsewhere changes nothing.
  DoubleClickAt(200, 600);
  EXPECT_EQ(vimraBackdropColor(bcBottom)[0], bottom);
  EXPECT_FALSE(game->cornerClicked);

  DoubleClickAt(game->GetWidth() - 3, 3);
  EXPECT_FALSE(game->cornerClicked);
  EXPECT_EQ(game->state, StateMenu);
  float colours[6];
  for (int k = 0; k < 3; ++k) {
    colours[k] = vimraBackdropColor(bcBottom)[k];
    colours[3 + k] = vimraBackdropColor(bcTop)[k];
    EXPECT_GE(colours[k], 0.0f);
    EXPECT_LT(colours[k], 1.0f);
  }
  EXPECT_TRUE(colours[0] != bottom || colours[5] != top);
  Step();
  game->OnBeforeClose();
  ran = true;
  std::vector<uint8_t> image = ReadFile("vimraconfig.bin");
  ASSERT_EQ(image.size(), 48u);
  for (int k = 0; k < 3; ++k) {
    float stored;
    std::memcpy(&stored, &image[size_t(4 * k)], 4);
    EXPECT_EQ(stored, colours[k]);
    std::memcpy(&stored, &image[size_t(16 + 4 * k)], 4);
    EXPECT_EQ(stored, colours[3 + k]);
  }
}

TEST_F(LiveGame, MenuButtonsDoWhatTheirIdsSay) {
  InstallPack();
  ASSERT_NO_FATAL_FAILURE(Start());
  const std::string englishSettings = Utf8(game->Message(9));
  const std::string englishQuit = Utf8(game->Message(2));
  ASSERT_FALSE(englishSettings.empty());

  ClickControl(idAbout);
  ASSERT_NE(Find(idBox), nullptr);
  EXPECT_NE(Find(idTextViewer), nullptr);
  EXPECT_NE(Find(idOK), nullptr);
  EXPECT_EQ(Count(idQuit), 0);
  std::vector<std::string> about = LabelTexts();
  ASSERT_EQ(about.size(), 3u);
  EXPECT_EQ(about[0], Utf8(game->Message(3)));
  const std::string platform = SDL_GetPlatform();
  EXPECT_NE(about[1].find("1.1.209"), std::string::npos) << about[1];
  EXPECT_EQ(about[1].substr(about[1].size() - platform.size()), platform) << about[1];
  if (platform != "Windows") {
    EXPECT_EQ(about[1].find("Windows"), std::string::npos);
  }

  ClickControl(idOK);
  EXPECT_EQ(Find(idBox), nullptr);
  EXPECT_EQ(Count(idQuit), 1);

  ClickControl(idHowToPlay);
  ASSERT_NE(Find(idBox), nullptr);
  EXPECT_NE(Find(idTextViewer), nullptr);
  EXPECT_EQ(LabelTexts().at(0), Utf8(game->Message(8)));
  ClickControl(idOK);

  ClickControl(idSettings);
  ASSERT_NE(Find(idBox), nullptr);
  for (unsigned id : {idLanguage, idQuality, idMusic, idHints, idOK}) {
    EXPECT_NE(Find(id), nullptr) << id;
  }
  EXPECT_EQ(LabelTexts().at(0), englishSettings);
  EXPECT_EQ(CaptionOf(idLanguage), "Polski");
  EXPECT_EQ(CaptionOf(idQuality), Utf8(game->Message(14)));
  EXPECT_EQ(CaptionOf(idMusic), Utf8(game->Message(16)));

  // Language: English, Polski, English, each time rebuilding the box.
  ClickControl(idLanguage);
  EXPECT_EQ(game->language, 1);
  EXPECT_EQ(CaptionOf(idLanguage), "English");
  EXPECT_NE(Utf8(game->Message(9)), englishSettings);
  EXPECT_EQ(LabelTexts().at(0), Utf8(game->Message(9)));
  ClickControl(idLanguage);
  EXPECT_EQ(game->language, 0);
  EXPECT_EQ(CaptionOf(idLanguage), "Polski");
  EXPECT_EQ(LabelTexts().at(0), englishSettings);

  // Music off pauses the music, on plays it again.
  ASSERT_TRUE(game->musicOn);
  ClickControl(idMusic);
  EXPECT_FALSE(game->musicOn);
  EXPECT_EQ(Mix_PausedMusic(), 1);
  EXPECT_EQ(CaptionOf(idMusic), Utf8(game->Message(15)));
  game->OnLostFocus();
  game->OnSetFocus();
  EXPECT_EQ(Mix_PausedMusic(), 1);  // focus changes leave switched-off music alone
  ClickControl(idMusic);
  EXPECT_TRUE(game->musicOn);
  EXPECT_EQ(Mix_PlayingMusic(), 1);
  EXPECT_EQ(Mix_PausedMusic(), 0);
  game->OnLostFocus();
  EXPECT_EQ(Mix_PausedMusic(), 1);
  game->OnSetFocus();
  EXPECT_EQ(Mix_PausedMusic(), 0);

  // Hints off: the next trick starts without the hint bar.
  ClickControl(idHints);
  EXPECT_FALSE(game->hintsOn);
  EXPECT_EQ(CaptionOf(idHints), Utf8(game->Message(15)));
  ClickControl(idOK);
  EXPECT_EQ(Count(idQuit), 1);
  EXPECT_EQ(CaptionOf(idQuit), englishQuit);
  // The logo starts the trick like the Start button.
  kxGUIObject* logo = Find(idStart);
  ASSERT_NE(logo, nullptr);
  ASSERT_EQ(dynamic_cast<kxGUIButton*>(logo), nullptr);
  ClickAt(logo->GetLeft() + 10, logo->GetTop() + 10);
  Step();
  EXPECT_EQ(game->state, StateRing);
  EXPECT_EQ(Count(idHintScroll), 0);
  EXPECT_EQ(gui->GetControlCount(), 0u);
  // Start does nothing outside the menu.
  kxGUIObject start(idStart, 0, 0, 1, 1);
  game->OnGUIClick(&start);
  EXPECT_EQ(game->state, StateRing);
  Key(SDLK_ESCAPE);

  ClickControl(idQuit);
  EXPECT_TRUE(game->quitRequested);
}

TEST_F(LiveGame, MainMenuSitsWhereTheLayoutSays) {
  InstallPack();
  ASSERT_NO_FATAL_FAILURE(Start());
  const int w = game->GetWidth();
  const int h = game->GetHeight();
  vimraMainMenuLayout_s m = vimraMainMenuLayout(w, h);
  const struct {
    unsigned id;
    vimraRect_s r;
  } buttons[] = {{idQuit, m.quit}, {idAbout, m.about}, {idHowToPlay, m.howToPlay},
                 {idSettings, m.settings}};
  for (const auto& b : buttons) {
    kxGUIObject* c = Find(b.id);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->GetLeft(), b.r.x) << b.id;
    EXPECT_EQ(c->GetTop(), b.r.y) << b.id;
    EXPECT_EQ(c->GetWidth(), 128);
    EXPECT_EQ(c->GetHeight(), 32);
  }
  kxGUIObject* logo = Find(idStart);
  ASSERT_NE(logo, nullptr);
  EXPECT_EQ(logo->GetLeft(), m.logo.x);
  EXPECT_EQ(logo->GetWidth(), m.logo.w);
  EXPECT_EQ(logo->GetHeight(), m.logo.h);
  if (w == 1280 && h == 720) {
    EXPECT_EQ(logo->GetLeft(), 384);
    kxGUIObject* start = gui->GetControl(gui->GetControlCount() - 5);
    EXPECT_EQ(start->GetID(), unsigned(idStart));
    EXPECT_EQ(start->GetLeft(), 502);
    EXPECT_EQ(start->GetTop(), 286);
  }
}

TEST_F(LiveGame, TwoMenuClicksInOneFrameUseOnlyLiveControls) {
  InstallPack();
  ASSERT_NO_FATAL_FAILURE(Start());
  kxGUIObject* about = Find(idAbout);
  kxGUIObject* settings = Find(idSettings);
  ASSERT_NE(about, nullptr);
  ASSERT_NE(settings, nullptr);
  ClickAt(about->GetLeft() + 5, about->GetTop() + 5);
  ClickAt(settings->GetLeft() + 5, settings->GetTop() + 5);
  Step();
  // The first click rebuilt the screen; the second control died with it.
  ASSERT_NE(Find(idBox), nullptr);
  EXPECT_NE(Find(idTextViewer), nullptr);
  EXPECT_EQ(Find(idLanguage), nullptr);
  Step();
  // Clicks of later frames are handled again.
  ClickControl(idOK);
  EXPECT_EQ(Count(idQuit), 1);
}

TEST_F(LiveGame, MouseMovementAloneChangesNothing) {
  InstallPack();
  ASSERT_NO_FATAL_FAILURE(Start());
  ClickControl(idStart);
  ClickAt(game->GetWidth() / 2, game->GetHeight() / 2);
  ASSERT_TRUE(StepUntil(StateAwaitRow, 400));
  Snapshot before = Take();
  int row = game->chosenRow;
  float camera[3];
  game->GetCamPosition(camera);
  for (int i = 0; i < 20; ++i) {
    MouseTo(30 * i, 20 * i);
    Step();
  }
  EXPECT_TRUE(Take() == before);
  EXPECT_EQ(game->chosenRow, row);
  float after[3];
  game->GetCamPosition(after);
  for (int k = 0; k < 3; ++k) EXPECT_EQ(after[k], camera[k]);
}

TEST_F(LiveGame, QualitySwitchLoadsTheLowEntries) {
  // Without the reduced entries, the reduced deck shows what it came from.
  std::vector<std::string> removed = {"box_low", "vimra_logo_low", "cloud01_low", "cloud02_low",
                                      "cloud03_low"};
  for (int i = 0; i < vimraCardCount; ++i) removed.push_back("texture_" + std::to_string(i) + "_low");
  ASSERT_NO_FATAL_FAILURE(InstallEditedPack(removed));
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_TRUE(game->highQuality);
  for (int i = 0; i < vimraCardCount; ++i) {
    EXPECT_NE(game->cards->GetVertexArray(size_t(i))->GetTextureID(), 0u);
    EXPECT_GT(game->cards->GetVertexArray(size_t(i))->GetVertexArraySize(), 0u);
  }
  for (size_t i = 0; i < game->clouds->Length(); ++i) {
    EXPECT_NE(game->clouds->GetVertexArray(i)->GetTextureID(), 0u);
  }
  ClickControl(idSettings);
  ClickControl(idQuality);
  EXPECT_FALSE(game->highQuality);
  EXPECT_NE(Find(idQuality), nullptr);
  EXPECT_EQ(CaptionOf(idQuality), Utf8(game->Message(13)));
  ASSERT_EQ(game->cards->Length(), size_t(vimraCardCount));
  for (int i = 0; i < vimraCardCount; ++i) {
    EXPECT_EQ(game->cards->GetVertexArray(size_t(i))->GetTextureID(), 0u);
    EXPECT_EQ(game->cards->GetVertexArray(size_t(i))->GetVertexArraySize(), 0u);
  }
  ASSERT_EQ(game->clouds->Length(), size_t(vimraGame::kCloudCount));
  for (size_t i = 0; i < game->clouds->Length(); ++i) {
    EXPECT_EQ(game->clouds->GetVertexArray(i)->GetTextureID(), 0u);
  }
  for (int i = 0; i < 10; ++i) Step();
  // The menu comes back without its (missing) reduced logo.
  ClickControl(idOK);
  EXPECT_EQ(Count(idStart), 1);
  EXPECT_NE(dynamic_cast<kxGUIButton*>(Find(idStart)), nullptr);
  // And back to full quality.
  ClickControl(idSettings);
  ClickControl(idQuality);
  EXPECT_TRUE(game->highQuality);
  EXPECT_NE(game->cards->GetVertexArray(0)->GetTextureID(), 0u);
}

TEST_F(LiveGame, MissingEntriesDoNotStopTheGame) {
  ASSERT_NO_FATAL_FAILURE(InstallEditedPack({"bkgsnd03", "choicesnd02", "texture_5", "howtoplay_english"},
                    {{"msg_english", "Only\r\nthree\r\nlines"}}));
  ASSERT_NO_FATAL_FAILURE(Start());
  EXPECT_FALSE(game->music->IsLoaded());
  EXPECT_EQ(game->sampler->GetCount(), 0u);
  int untextured = 0;
  for (int i = 0; i < vimraCardCount; ++i) {
    untextured += game->cards->GetVertexArray(size_t(i))->GetTextureID() == 0u;
  }
  EXPECT_EQ(untextured, 1);
  EXPECT_EQ(Utf8(game->Message(2)), "lines");
  EXPECT_EQ(Utf8(game->Message(3)), "");
  EXPECT_EQ(Utf8(game->Message(21)), "");
  EXPECT_EQ(game->Message(-1).Length(), 0u);

  ClickControl(idAbout);
  EXPECT_NE(Find(idBox), nullptr);
  ClickControl(idOK);
  ClickControl(idHowToPlay);
  EXPECT_NE(Find(idTextViewer), nullptr);
  for (int i = 0; i < 5; ++i) Step();
  ClickControl(idOK);

  // A whole trick plays the sound that is not there at four points.
  ClickControl(idStart);
  ClickAt(game->GetWidth() / 2, game->GetHeight() / 2);
  ASSERT_TRUE(StepUntil(StateAwaitRow, 400));
  for (int answer = 0; answer < 3; ++answer) {
    ClickAt(game->GetWidth() / 2, game->GetHeight() / 2);
    if (answer < 2) {
      ASSERT_TRUE(StepUntil(StateAwaitRow, 400));
    }
  }
  ASSERT_TRUE(StepUntil(StateReveal, 400));
  ClickAt(game->GetWidth() / 2, game->GetHeight() / 2);
  ASSERT_TRUE(StepUntil(StateRing, 300));
  Key(SDLK_UP);
  Key(SDLK_ESCAPE);
  EXPECT_EQ(game->state, StateMenu);
}

// Failed starts: Init reports false, the cause is known, no settings are written.

TEST_F(LiveGame, NoPackFailsTheStart) {
  game = new GameProbe();
  EXPECT_FALSE(InitPinned(game));
  EXPECT_TRUE(game->ReachedWindow());
  EXPECT_EQ(game->GetInitFailure(), ifPack);
  delete game;
  game = nullptr;
  EXPECT_FALSE(fs::exists(dir / "vimraconfig.bin"));
}

TEST_F(LiveGame, NoDisplayFailsTheStart) {
  InstallPack();
  std::string display = getenv("DISPLAY") != nullptr ? getenv("DISPLAY") : "";
  unsetenv("DISPLAY");
  unsetenv("WAYLAND_DISPLAY");
  game = new GameProbe();
  bool started = InitPinned(game);
  if (!display.empty()) setenv("DISPLAY", display.c_str(), 1);
  EXPECT_FALSE(started);
  EXPECT_FALSE(game->ReachedWindow());
  // Either SDL found no video driver at all, or only one that shows nothing.
  if (game->GetInitFailure() != ifNone) {
    EXPECT_EQ(game->GetInitFailure(), ifNoDisplay);
  }
  delete game;
  game = nullptr;
  EXPECT_FALSE(fs::exists(dir / "vimraconfig.bin"));
}

TEST_F(LiveGame, CorruptPackFailsTheStart) {
  std::ifstream in(pack, std::ios::binary);
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
  ASSERT_GT(bytes.size(), 100u);
  for (size_t i = bytes.size() / 2; i < bytes.size() / 2 + 16; ++i) bytes[i] ^= 0x5A;
  WriteFile("vimradata.bin", bytes);
  game = new GameProbe();
  EXPECT_FALSE(InitPinned(game));
  EXPECT_EQ(game->GetInitFailure(), ifPack);
  delete game;
  game = nullptr;
  EXPECT_FALSE(fs::exists(dir / "vimraconfig.bin"));
}

TEST_F(LiveGame, MissingFontsFailTheStart) {
  ASSERT_NO_FATAL_FAILURE(InstallEditedPack({"arial"}));
  game = new GameProbe();
  EXPECT_FALSE(InitPinned(game));
  EXPECT_EQ(game->GetInitFailure(), ifFontLarge);
  delete game;
  game = nullptr;

  fs::remove(dir / "vimradata.bin");
  ASSERT_NO_FATAL_FAILURE(InstallEditedPack({"ss10"}));
  game = new GameProbe();
  EXPECT_FALSE(InitPinned(game));
  EXPECT_EQ(game->GetInitFailure(), ifFontSmall);
  delete game;
  game = nullptr;
  EXPECT_FALSE(fs::exists(dir / "vimraconfig.bin"));
}

}  // namespace
