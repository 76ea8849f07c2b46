// vimraGame: the twenty-one card trick as a full-screen application. It
// derives from the engine's frame, loads every asset from the resource pack
// "vimradata.bin", keeps the player's choices in "vimraconfig.bin", runs the
// trick's state machine and draws the scene under the menus.
//
// Ownership: the game owns every asset object it creates in OnAfterInit
// (pack, music, sampler, fonts, cards, backdrop, stars, clouds, texts, button
// images) and releases them all in OnBeforeClose. GUI controls it builds are
// handed to the frame's GUI manager, which deletes them.
//
// One class, its implementation spread over files by aspect; the groups of
// declarations below follow the same order:
//   vimraGame.cpp           construction, the per-frame dispatch, state changes
//   vimraGameAssets.cpp     loading from the pack, the deck, languages, release
//   vimraGameSettings.cpp   the settings file
//   vimraGameScene.cpp      backdrop, clouds, stars, light and drawing
//   vimraGameAnimation.cpp  per-state updates and the moves they prepare
//   vimraGameTrick.cpp      AdvanceState, gathering and dealing
//   vimraGameInput.cpp      the row click, keys, focus, the corner switch,
//                           menu clicks
//   vimraGameScreens.cpp    main menu, boxes, hint bar, clearing the screen
//   vimraGameWindow.cpp     the GUI scale, resizing and full screen
#pragma once

#include <string>

#include "data/kxString.h"
#include "frame/kxSDLWrapper.h"
#include "vimraDeal.h"
#include "vimraGameIds.h"

class kxResource;
class kxMusic;
class kxSampler;
class kxFont;
class kxGeometry;
class kxVertexArray;
class kxStringArray;
class kxGUIButtonStates;
class kxGUIObject;
class kxGUIPanel;
class vimraSettings;
struct kxMemoryBlock;

// Why the last OnAfterInit failed; reported by the entry point.
enum TVimraInitFailure {
  ifNone = 0,
  ifPack,       // "vimradata.bin" missing or unreadable
  ifFontLarge,  // the large font's entry does not load
  ifFontSmall,  // the small font's entry does not load
  ifNoDisplay,  // SDL fell back to a video driver that shows nothing
};

// A new font from the crunched font `entry`, or null when the entry is
// missing, does not load, or yields a font that cannot draw a single letter
// or digit (an empty entry, or something other than a font under the key).
kxFont* vimraLoadFont(kxMemoryBlock* entry);

class vimraGame : public kxSDLWrapper {
  // Plays the game without a person (tests, benchmark): reads the state and
  // hands input to the frame's dispatch as the main loop does.
  friend class vimraDriver;

 public:
  KX_NO_COPY(vimraGame);

  static const int kStarCount = 50;
  static const int kCloudCount = 3;
  // Lines of the messages text the game reads.
  static const int kMessageLines = mlCount;

  // Full screen at the desktop mode; reads the settings file.
  vimraGame();
  ~vimraGame() override;

  // Frame callbacks: the dispatch and the close (vimraGame.cpp), the loading
  // (vimraGameAssets.cpp), the player's input (vimraGameInput.cpp).
  void Render() override;
  bool OnBeforeInit() override;
  void OnBeforeClose() override;
  bool OnAfterInit() override;
  void OnLMBUp(int x, int y) override;
  void OnMouseMotion(int x, int y, int dx, int dy) override;
  void OnKeyUp(unsigned int key) override;
  void OnDblClick() override;
  void OnLostFocus() override;
  void OnSetFocus() override;
  void OnGUIClick(kxGUIObject* object) override;
  void OnKeyDown(unsigned int key) override;
  // Lays the GUI (scale, screen) and the scene (aspect, table view) out
  // again for the new size before the frame drawn at once.
  void OnResizeWindow(int width, int height) override;

  // The GUI scale to use instead of the one chosen from the window's size;
  // 0 (the default) chooses. Takes effect at once when the GUI exists.
  void SetUIScale(float scale);

  // From now on every shuffle draws from `seed` instead of the clock: the
  // deck's pictures at each build, the deals, the stars and the clouds. Two
  // runs given the same seed and the same input draw the same frames.
  void SetSeed(unsigned int seed);

  // Assets and languages.
  void BuildDeck();
  void SetLanguage(int index);
  // Line n of the interface texts; an empty string when the language's text
  // has no such line.
  kxString& Message(int n);

  // Settings.
  void LoadSettings();
  // Writes the settings file; when it cannot, says so in one line on
  // stderr and carries on.
  void SaveSettings();
  // The choices as SaveSettings would write them now.
  void GetSettings(vimraSettings* out);

  // The trick.
  void AdvanceState();
  void GatherByRow(int row);
  void ApplyDeal();

  // Screens; none clears the GUI first.
  void ShowMainMenu();
  void ShowAbout();
  void ShowHowToPlay();
  void ShowSettings();
  void ShowHintBar();

  // True once the window and its GL context came up on a real display
  // during Init.
  bool ReachedWindow() const { return windowReady; }
  TVimraInitFailure GetInitFailure() const { return initFailure; }

 protected:
  // The one place `state` changes.
  void EnterState(TVimraState next);

  // Assets.
  // The pack entry `key`; null when there is no pack or no such entry. Every
  // request of the game to the pack passes here; a derived game may watch
  // them.
  virtual kxMemoryBlock* GetEntry(const char* key);
  // The pack entry `key`, or `key` with "_low" appended when not
  // highQuality; null when the pack has no such entry.
  kxMemoryBlock* GetQualityEntry(const char* key);
  // Deletes every asset object; safe to call again.
  void ReleaseAssets();

  // Scene; BackdropCoversWindow and DrawScene run every frame and so neither
  // allocate nor load.
  void BuildBackground();
  void RecolourBackground();
  void BuildClouds();
  void BuildStars();
  void ScatterStars();
  void PlaceRowStars();
  void PlayChoiceSound();
  void SetupLighting();
  // True when the backdrop, under the current matrices, covers the window.
  bool BackdropCoversWindow();
  void DrawScene(float* position, float* angle);

  // Animation: one update per state, and the moves AdvanceState and Escape
  // prepare.
  void FillGridPositions();
  void FillRingPositions();
  void UpdateRing();
  void UpdatePulse();
  void UpdateGather();
  void UpdateDeal();
  void UpdateToReveal();
  void UpdateReveal();
  void UpdateRevealEnd();
  void UpdateBackToMenu();
  // Rolls and fades the row's stars, the first frames of a gather or of
  // the move to the reveal.
  void UpdateRowStars();
  void PrepareGather();
  void PrepareReveal();
  void PrepareRevealEnd();
  void PrepareBackToMenu();
  // The camera to the menu view that suits the window's current shape.
  void RestAtMenuView();

  // Screens and the trick's hint line.
  // The screen the Show... functions built last, so that a new window size
  // can build it again.
  enum TShownScreen { ssNone = 0, ssMainMenu, ssAbout, ssSettings, ssHowToPlay, ssHintBar };
  // Makes `screen` the one shown and places its box (panel id idBox) of
  // w x h with its title from line `titleLine`; null when the box cannot be
  // built. CloseBox adds the OK button every box ends with.
  kxGUIPanel* OpenBox(TShownScreen screen, int w, int h, int titleLine);
  void CloseBox(kxGUIPanel* box);
  void SetHint(int line);
  // Empties the GUI from inside a click handler; later clicks of the same
  // delivery pass refer to controls that no longer exist and are dropped.
  void ClearScreen();
  // Sets the GUI manager's scale for the current window (or the one asked
  // for with SetUIScale).
  void ApplyGUIScale();
  // Builds the screen that is up again at the current size.
  void RebuildScreen();
  // Adds to `font` the renderings of its pack entry `key` at larger
  // densities that the pack holds.
  void LoadFontVariants(kxFont* font, const char* key);
  // Which rendering of the button and title pictures suits the GUI scale:
  // 0 the plain one, i the one of vimraPictureDensities[i - 1].
  int PictureDensity();
  // `key` with the suffix of that rendering.
  std::string PictureKey(const std::string& key);
  // (Re)makes the button looks at PictureDensity, each from the pictures of
  // that density where the pack has them and from the plain ones where not.
  // Only while no button refers to them (the GUI is empty).
  void LoadButtonLooks();
  // The pack entry of picture `key` for the quality and picture density:
  // the density's rendering when highQuality and the pack has it.
  kxMemoryBlock* GetPictureEntry(const char* key);
  // The GUI's logical size: the layout space of every screen.
  int GUIWidth();
  int GUIHeight();

  kxResource* resources;
  kxMusic* music;
  kxSampler* sampler;
  kxFont* arialFont;
  kxFont* smallFont;
  kxGeometry* cards;
  kxGeometry* pendingOrder;
  kxVertexArray* background;
  kxGeometry* stars;
  kxGeometry* clouds;
  kxStringArray* messages;
  kxStringArray* licenses;
  kxStringArray* howToPlay;
  kxGUIButtonStates* blueButton;
  kxGUIButtonStates* greenButton;
  kxGUIButtonStates* redButton;

  // The trick and the player's choices.
  int state;  // a TVimraState
  int dealCount;
  int chosenRow;
  int shownSwap[3];
  bool cornerClicked;
  int language;
  bool highQuality;
  bool musicOn;
  bool hintsOn;
  int scrollStart;
  int musicVolume;
  int sampleVolume;

  // Point lists of the animation.
  float gridPositions[vimraCardCount][3];
  float ringPositions[vimraCardCount][3];
  float currentPositions[vimraCardCount][3];
  float targetPositions[vimraCardCount][3];
  float revealPositions[vimraCardCount][3];
  float starPositions[kStarCount][3];
  float starAngles[kStarCount];

  // Counters, steps and switches of the animation.
  float pivotZ;
  float spinZ;
  int pulseCounter;
  bool pulseGrowing;
  int gatherCounter;
  int dealCounter;
  int revealCounter;
  int returnCounter;
  float revealScale;
  float revealAngle[3];
  float scaleStep;
  float camStep[3];
  float camAngleStep[2];
  bool starsVisible;
  // The card mesh is wound outward throughout, so its back faces may be
  // culled (set by BuildDeck).
  bool cardsCullable;
  float rowY;
  int starCounter;
  int starTimer;
  float starAlpha;

 private:
  kxString emptyLine;
  bool windowReady;
  TVimraInitFailure initFailure;
  // frameCounter value at which a click handler last emptied the GUI, and
  // whether one did so at all; handlingClick is set while one runs.
  uint32_t screenClearedAt;
  bool screenCleared;
  bool handlingClick;
  TShownScreen shownScreen;
  // The line the hint bar shows, to show it again when it is rebuilt.
  int hintLine;
  float uiScale;      // asked for; 0 chooses from the window
  int buttonDensity;  // PictureDensity of the button looks loaded
  bool seedFixed;
  unsigned int fixedSeed;
  // The seed of a new shuffle: fixedSeed once SetSeed was called, otherwise
  // the clock.
  unsigned int ShuffleSeed() const;
};
