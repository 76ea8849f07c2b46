// A control that writes every call it receives into a shared log as
// "<id>:<call>", so tests can check which controls were reached and in what
// order. Deletion is logged too, so ownership can be checked.
#pragma once

#include <string>
#include <vector>

#include "gui/kxGUIObject.h"

namespace kxGUITest {

class Recorder : public kxGUIObject {
 public:
  Recorder(std::vector<std::string>* log, unsigned id, int left, int top, int width, int height)
      : kxGUIObject(id, left, top, width, height), log(log) {}
  ~Recorder() override { Log("Deleted"); }

  void Draw() override { Log("Draw"); }
  // Left tells apart controls sharing an ID.
  void SetValue(kxString&) override { Log("SetValue@" + std::to_string(Left)); }
  void OnMouseEnter() override { Log("Enter"); }
  void OnMouseLeave() override { Log("Leave"); }
  void OnLMBDown() override { Log("Down"); }
  void OnLMBUp() override { Log("Up"); }
  void OnMouseMove(int dx, int dy) override {
    Log("Move" + std::to_string(dx) + "," + std::to_string(dy));
  }
  void OnAfterSetParent(kxGUIObject* parent) override {
    // Where this control stands when told about its parent.
    Log("Parent" + std::to_string(parent->GetID()) + "@" + std::to_string(Left) + "," +
        std::to_string(Top));
  }

  void Log(const std::string& what) { log->push_back(std::to_string(ID) + ":" + what); }

 private:
  std::vector<std::string>* log;
};

}  // namespace kxGUITest
