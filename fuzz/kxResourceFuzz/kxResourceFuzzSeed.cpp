// Writes small pack images into the folder given as argv[1].
#include <algorithm>
#include <cstring>
#include <string>

#include "data/kxResource.h"

namespace {

void Add(kxResource& pack, const char* name, const char* bytes, uint64_t size) {
  kxMemoryBlock block = {reinterpret_cast<uint8_t*>(const_cast<char*>(bytes)), size};
  pack.Append(&block, name);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  const std::string dir = argv[1];
  kxResource one;
  Add(one, "a", "\x01\x02\x03", 3);
  kxResource three;
  Add(three, "first", "abc", 3);
  Add(three, "empty", "", 0);
  Add(three, "0123456789012345678901234567890", "xyz", 3);
  kxResource crunched;
  kxMemoryBlock text = {reinterpret_cast<uint8_t*>(const_cast<char*>("line\r\nline\r\n")), 12};
  kxMemoryBlock* block = kxCrunchMemoryBlock(&text);
  if (!block) return 1;
  crunched.Append(block, "text.txt");
  kxFreeMemoryBlock(block);
  // The raw-table form: "T", table length, two 36-byte records, data area.
  std::string raw = "T";
  raw += char(72);
  for (const char* name : {"first", "0123456789012345678901234567890x"}) {
    std::string record(36, '\0');
    record.replace(0, std::min<size_t>(strlen(name), 32), name, std::min<size_t>(strlen(name), 32));
    record[32] = 2;
    raw += record;
  }
  raw += "abcd";
  kxMemoryBlock rawBlock = {reinterpret_cast<uint8_t*>(raw.data()), raw.size()};
  if (!kxWriteMemoryBlock((dir + "/rawtable").c_str(), &rawBlock)) return 1;
  return one.WriteToFile((dir + "/one").c_str()) && three.WriteToFile((dir + "/three").c_str()) &&
                 crunched.WriteToFile((dir + "/crunched").c_str())
             ? 0
             : 1;
}
