#include "vimraStartupError.h"

std::string vimraDescribeStartupError(const vimraStartupFacts_s& facts) {
  std::string text = "vimra: ";
  bool withDetail = false;
  switch (facts.failure) {
    case ifPack:
      text += facts.packFileExists
                  ? "\"vimradata.bin\" in the working directory cannot be read as a resource pack"
                  : "no \"vimradata.bin\" in the working directory";
      break;
    case ifFontLarge:
      text += "the font entry \"arial\" of \"vimradata.bin\" does not load";
      break;
    case ifFontSmall:
      text += "the font entry \"ss10\" of \"vimradata.bin\" does not load";
      break;
    case ifNoDisplay:
      text += "no display";
      break;
    case ifNone:
    default:
      if (!facts.videoStarted) {
        text += "no display";
      } else if (!facts.audioOpened) {
        text += "no audio device";
      } else if (!facts.windowReady) {
        text += "cannot open a full-screen OpenGL window";
      } else {
        text += "start-up failed";
      }
      withDetail = true;
      break;
  }
  if (withDetail && facts.detail != nullptr && facts.detail[0] != '\0') {
    text += " (";
    for (const char* c = facts.detail; *c != '\0'; ++c) {
      // One line: line breaks inside the library's text become spaces.
      text += (*c == '\n' || *c == '\r') ? ' ' : *c;
    }
    text += ")";
  }
  return text;
}
