#include "vimraStartupError.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

// " (detail)" with line breaks turned into spaces; "" without a detail.
std::string Detail(const char* detail) {
  if (detail == nullptr || detail[0] == '\0') return "";
  std::string text = " (";
  for (const char* c = detail; *c != '\0'; ++c) text += (*c == '\n' || *c == '\r') ? ' ' : *c;
  return text + ")";
}

std::string Quoted(const char* name) {
  return std::string("\"") + name + "\"";
}

const char* KindOf(mode_t mode) {
  if (S_ISDIR(mode)) return "a directory";
  if (S_ISFIFO(mode)) return "a FIFO";
  if (S_ISSOCK(mode)) return "a socket";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
  return "not a regular file";
}

}  // namespace

std::string vimraDescribeStartupError(const vimraStartupFacts_s& facts) {
  std::string text = "vimra: ";
  const std::string detail = Detail(facts.frameDetail);
  switch (facts.frameError) {
    case ieVideo:
    case ieDisplay:
      return text + "no display" + detail;
    case ieAudio:
      return text + "no audio device" + detail;
    case ieDisplayMode:
      return text + "cannot read the display's mode" + detail;
    case ieWindow:
      return text +
             (facts.fullscreen ? "cannot open a full-screen OpenGL window"
                               : "cannot open an OpenGL window") +
             detail;
    case ieContext:
      return text + "cannot create an OpenGL context" + detail;
    case ieGLFunctions:
      return text + "cannot reach the OpenGL functions" + detail;
    case ieGLVersion:
      return text + "OpenGL 1.5 with buffer objects is needed; the driver offers OpenGL" +
             (facts.frameDetail && facts.frameDetail[0] ? std::string(" ") + facts.frameDetail
                                                        : std::string(" of an unknown version"));
    case ieGUI:
      return text + "out of memory";
    case ieNone:
    case ieBeforeInit:
    case ieAfterInit:
      break;
  }
  switch (facts.gameFailure) {
    case ifPack:
      return text + "\"vimradata.bin\" in the working directory cannot be read as a resource pack";
    case ifFontLarge:
      return text + "the font entry \"arial\" of \"vimradata.bin\" does not load";
    case ifFontSmall:
      return text + "the font entry \"ss10\" of \"vimradata.bin\" does not load";
    case ifNoDisplay:
      return text + "no display";
    case ifNone:
      break;
  }
  return text + "start-up failed";
}

std::string vimraCheckPackFile(const char* name) {
  const std::string where = Quoted(name) + " in the working directory";
  struct stat info;
  if (stat(name, &info) != 0) {
    if (errno == ENOENT) return "vimra: no " + Quoted(name) + " in the working directory";
    return "vimra: " + where + " cannot be read (" + strerror(errno) + ")";
  }
  if (!S_ISREG(info.st_mode))
    return "vimra: " + where + " is " + KindOf(info.st_mode) + ", not a file";
  // Non-blocking, so that a file swapped for a FIFO after the look above
  // still cannot hold the program.
  int fd = open(name, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return "vimra: " + where + " cannot be read (" + strerror(errno) + ")";
  bool regular = fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
  close(fd);
  if (!regular) return "vimra: " + where + " is not a regular file";
  return "";
}

std::string vimraDescribeSilentStart(const char* detail) {
  return "vimra: no audio device; playing without sound" + Detail(detail);
}

std::string vimraDescribeMultisampling(int request, int samples, const char* renderer,
                                       bool software) {
  std::string text = "vimra: ";
  text += samples > 0 ? "multisampling " + std::to_string(samples) + "x" : "no multisampling";
  if (request == kxMultisampleAuto && software && samples == 0) {
    text += ": software renderer; --msaa 2 or 4 asks for it";
  } else if (request != kxMultisampleAuto && samples == request) {
    text += ", as asked";
  } else if (samples < (request == kxMultisampleAuto ? 4 : request)) {
    text += std::string(": the display offers no ") +
            std::to_string(request == kxMultisampleAuto ? 4 : request) + "x";
  }
  return text + " (renderer: " + (renderer && renderer[0] ? renderer : "unknown") + ")";
}

bool vimraIsBlindVideoDriver(const char* driver) {
  return driver != nullptr && (strcmp(driver, "offscreen") == 0 || strcmp(driver, "dummy") == 0);
}
