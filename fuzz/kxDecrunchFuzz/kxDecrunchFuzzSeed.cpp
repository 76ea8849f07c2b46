// Writes crunched blocks of a few shapes into the folder given as argv[1].
#include <cstring>
#include <string>

#include "data/kxMemoryBlock.h"

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  const char* texts[] = {"", "a", "hello hello hello hello", "\x01\x02\x03\xFF\xFE"};
  int written = 0;
  for (const char* text : texts) {
    kxMemoryBlock* plain = kxAllocMemoryBlock(strlen(text));
    if (!plain) return 1;
    memcpy(plain->data, text, plain->size);
    kxMemoryBlock* crunched = kxCrunchMemoryBlock(plain);
    const std::string name = std::string(argv[1]) + "/seed" + std::to_string(written++);
    const bool ok = crunched && kxWriteMemoryBlock(name.c_str(), crunched);
    kxFreeMemoryBlock(crunched);
    kxFreeMemoryBlock(plain);
    if (!ok) return 1;
  }
  return 0;
}
