// The numbers the game is built around, named: the states of the trick, the
// ids of the controls it builds and the lines of its interface texts. The
// values are fixed: the settings, the text files of the pack and the tests
// rely on them.
#pragma once

// Game states (the value of vimraGame::state). 7 is not used.
enum TVimraState {
  StateRing = 0,        // cards circle on the ring; a click starts the trick
  StateAwaitRow = 1,    // cards lie in three rows, waiting for the row click
  StateGather = 2,      // cards are being gathered
  StateDeal = 3,        // cards fly to their new places on the table
  StateToReveal = 4,    // cards and camera move to the reveal layout
  StateReveal = 5,      // the chosen card is shown; a click ends the trick
  StateRevealEnd = 6,   // cards and camera return to the ring
  StateMenu = 8,        // the main menu is up; cards circle on the ring
  StateBackToMenu = 9,  // Escape during a trick; flying back to the menu view
};

// Ids of the controls the game builds; a click reaches OnGUIClick by id.
enum TVimraControlID : unsigned int {
  idNone = 0,
  idStart = 100,  // the Start button and the logo above the menu
  idQuit = 101,
  idAbout = 102,
  idBox = 103,  // the panel of the About, Settings and How to play boxes
  idOK = 104,   // the OK button of every box
  idHowToPlay = 105,
  idSettings = 106,
  idLanguage = 107,
  idQuality = 108,
  idTextViewer = 109,
  idMusic = 110,
  idHintScroll = 111,  // the hint bar's text, target of the hints
  idHints = 112,
};

// Lines of the interface texts ("msg_<language>" in the pack).
enum TVimraMessage : int {
  mlTicker = 0,  // the main menu's scrolling welcome
  mlStart = 1,
  mlQuit = 2,
  mlAbout = 3,          // About button and box title
  mlEngineVersion = 4,  // About, second line: "<05>, <04><version>, <10><platform>"
  mlGameName = 5,
  mlCopyright = 6,  // About, third line
  mlOK = 7,
  mlHowToPlay = 8,  // button and box title
  mlSettings = 9,   // button and box title
  mlRunningOn = 10,
  mlLanguageRow = 11,  // Settings rows
  mlQualityRow = 12,
  mlQualityLow = 13,
  mlQualityHigh = 14,
  mlSwitchOff = 15,  // music and hints buttons
  mlSwitchOn = 16,
  mlMusicRow = 17,
  mlHintStart = 18,   // hint bar: when built and after the reveal
  mlHintRow = 19,     // hint while the cards are gathered and dealt
  mlHintReveal = 20,  // hint when the reveal starts
  mlHintsRow = 21,
  mlCount = 22,  // lines every language's text must hold
};
