// vimraBenchGame: the game object under the frame benchmark. It starts like
// the program (Init with the splash, then OnAfterInit), then drives the trick
// by dispatching the clicks and keys a player would give, frame by frame and
// without pacing, and records each frame under the scene it belongs to.
//
// It owns nothing beyond what vimraGame owns, plus one reference texture.
#pragma once

#include <map>
#include <set>
#include <string>

#include "kxFrameStats.h"
#include "vimraDriver.h"
#include "vimraGame.h"

class vimraBenchGame : public vimraGame {
 public:
  // msaa < 0: the frame's own multisampling policy; otherwise the samples
  // per pixel to ask for (4, 2 or 0). listMappings
  // prints the largest resident mappings wherever memory is recorded.
  // shotDirectory, when not empty, receives pictures of some scenes.
  vimraBenchGame(int msaa, bool listMappings, const std::string& shotDirectory);
  ~vimraBenchGame() override;

  bool OnAfterInit() override;

  // Init as the program runs it; records its time, the renderer and the
  // reference frames. False when the game does not start.
  bool Start(kxFrameReport* report);
  // A whole trick from the menu and a flight back to the menu; `scale`
  // lengthens the scenes that wait for the player.
  void RunScenes(double scale, kxFrameReport* report);
  // The texture-quality and language switches, each both ways.
  void MeasureSwitches(kxFrameReport* report);
  // OnAfterInit's steps run again on the live game, beside reading the
  // pack and expanding its entries with zlib alone.
  void MeasureLoading(const std::string& packPath, kxFrameReport* report);

 private:
  struct Clock {
    double wall, cpu;
  };
  static Clock Now();

  // One iteration of the main loop without its sleep, then glFinish; the
  // times go to the scene the game's state names.
  void Frame();
  void FrameInto(kxFrameSamples* samples);
  kxFrameSamples& Scene(const char* name);
  void StepWhile(int state, int limit);
  void StepFrames(int count);

  void ClickAt(int x, int y);
  void ClickControl(unsigned int id);
  void PressKey(int key);

  void ReferenceFrames(int count, kxFrameReport* report);
  void DrawFillQuad();
  void RecordMemory(const char* when, kxFrameReport* report);
  void PrintLargestMappings(const char* when);
  // The frame drawn but not yet swapped, as a binary PPM.
  void SaveShot(const std::string& path);

  // Input queued one event a frame, as the main loop takes it.
  vimraDriver driver;
  bool listMappings;
  std::string shotDirectory;
  std::set<std::string> shotsTaken;
  double onAfterInitMs;
  double onAfterInitCpuMs;
  unsigned int fillTexture;
  kxTimeSummary clearCpu;
  kxTimeSummary fillCpu;
  std::map<std::string, kxFrameSamples> scenes;
};
