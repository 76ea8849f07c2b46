// vpPackBuilder: collects the generator's entries in order, crunches each
// one (every entry of the game's pack is a crunched block) and writes the
// pack through the engine's kxResource.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct vpPackEntry {
  std::string name;
  uint64_t rawSize;
  std::vector<uint8_t> crunched;
};

class vpPackBuilder {
 public:
  // Crunches `bytes` and appends it; false (nothing added) when the name is
  // longer than a pack name may be, is already used, or crunching fails.
  bool Add(const std::string& name, const std::vector<uint8_t>& bytes);
  const std::vector<vpPackEntry>& Entries() const { return entries; }
  // Writes the pack; false when kxResource cannot write it.
  bool Write(const std::string& fileName) const;

 private:
  std::vector<vpPackEntry> entries;
};
