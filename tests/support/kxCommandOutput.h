// What tests read back from other programs: the standard output of a shell
// command, for example a picture decoded by ImageMagick ("convert FILE
// rgba:-"), an independent decoder to hold the engine's own against.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace kxTest {

// The bytes `command` writes to its standard output; empty when it cannot
// run or ends with a non-zero status.
inline std::vector<uint8_t> CommandOutput(const std::string& command) {
  std::vector<uint8_t> out;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return out;
  uint8_t buffer[65536];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.insert(out.end(), buffer, buffer + n);
  return pclose(pipe) == 0 ? out : std::vector<uint8_t>();
}

}  // namespace kxTest
