// What the game's tests share: a probe that opens the game's protected
// state, helpers that tell cards apart by texture, a fresh working directory
// per test, and a fully initialised game under a display with the real
// resource pack and disk audio.
#pragma once

#include <GL/glew.h>
#include <SDL.h>
#include <SDL_mixer.h>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <link.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
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
#include "vimraDriver.h"
#include "vimraGame.h"
#include "vimraLayout.h"

namespace fs = std::filesystem;

// Opens the game's protected state to the tests.
class GameProbe : public vimraGame {
 public:
  using kxSDLWrapper::aspect;
  using kxSDLWrapper::DispatchEvent;
  using kxSDLWrapper::frameCounter;
  using kxSDLWrapper::quitRequested;
  using kxSDLWrapper::SetTickSource;
  using vimraGame::AdvanceState;
  using vimraGame::arialFont;
  using vimraGame::cards;
  using vimraGame::chosenRow;
  using vimraGame::clouds;
  using vimraGame::cornerClicked;
  using vimraGame::currentPositions;
  using vimraGame::dealCount;
  using vimraGame::GetEntry;
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

// Queues a press and a release of key for the next Run; false when SDL's
// queue refuses either.
inline bool PushKeyPressAndRelease(SDL_Keycode key) {
  SDL_Event e{};
  e.type = SDL_KEYDOWN;
  e.key.keysym.sym = key;
  if (SDL_PushEvent(&e) != 1) return false;
  e.type = SDL_KEYUP;
  return SDL_PushEvent(&e) == 1;
}

inline int RowOfSlot(int slot) {
  return slot >= 14 ? 1 : (slot >= 7 ? 2 : 3);
}

inline std::vector<unsigned> TexturesOf(kxGeometry* group) {
  std::vector<unsigned> ids;
  for (size_t i = 0; i < group->Length(); ++i) {
    kxVertexArray* card = group->GetVertexArray(i);
    ids.push_back(card != nullptr ? card->GetTextureID() : 0u);
  }
  return ids;
}

inline int SlotOfTexture(kxGeometry* group, unsigned texture) {
  for (size_t i = 0; i < group->Length(); ++i) {
    if (group->GetVertexArray(i) != nullptr &&
        group->GetVertexArray(i)->GetTextureID() == texture) {
      return int(i);
    }
  }
  return -1;
}

inline std::string Utf8(const kxString& s) {
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

// A fully initialised game under a display, with the real pack and disk audio.

// Closing the game shuts SDL down, which unloads the GL driver; what the
// driver keeps for the process would then be reported as leaks of no named
// module, out of reach of the suppressions. Pinning the libraries loaded by a
// start keeps them mapped and named.
inline int PinLibrary(struct dl_phdr_info* info, size_t, void*) {
  if (info->dlpi_name != nullptr && info->dlpi_name[0] != '\0') {
    dlopen(info->dlpi_name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
  }
  return 0;
}

inline bool InitPinned(vimraGame* game) {
  bool started = game->Init();
  dl_iterate_phdr(PinLibrary, nullptr);
  return started;
}

inline std::string PackPath() {
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

  // Starts `made` (a GameProbe of a kind the test needs), or a plain probe.
  void Start(GameProbe* made = nullptr) {
    game = made != nullptr ? made : new GameProbe();
    initialised = InitPinned(game);
    ASSERT_TRUE(initialised);
    // Clicks run on the driver's clock (after the splash, which is paced by
    // the frame's).
    driver = std::make_unique<vimraDriver>(game);
    driver->Attach();
    // The state machine does not depend on how many pixels are filled: draw
    // into a corner of the window to keep software rendering quick.
    glViewport(0, 0, 128, 72);
    gui = game->GetGUIManager();
    ASSERT_NE(gui, nullptr);
  }

  void Step() { driver->Step(); }
  bool StepUntil(int target, int limit) { return driver->StepUntil(target, limit); }
  void MouseTo(int x, int y) { driver->MouseTo(x, y); }
  void Button(bool down) { driver->Button(down); }
  void ClickAt(int x, int y) { driver->ClickAt(x, y); }
  void DoubleClickAt(int x, int y) {
    ClickAt(x, y);
    vimraDriver::clock += 50;
    Button(true);
    Button(false);
  }
  void Key(SDL_Keycode key) { driver->PressKey(key); }

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
    ASSERT_TRUE(driver->ClickControl(id)) << "no control " << id;
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

  int RowHeight(int row) { return driver->RowHeight(row); }

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
  std::unique_ptr<vimraDriver> driver;
  kxGUIManager* gui = nullptr;
  bool initialised = false;
  bool ran = false;
};
