// Writes a few OBJ texts into argv[1].
#include <cstring>
#include <string>

#include "data/kxMemoryBlock.h"

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  const char* texts[] = {
      "v 0 0 0\nv 1 0 0\nv 1 1 0\nvt 0 0\nvt 1 1\nvn 0 0 1\nf 1/1/1 2/2/1 3/1/1\n",
      ("# quad\no q\nv 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nvt 0 0\nvn 0 0 1\n"
       "f 1/1/1 2/1/1 3/1/1\nf 1//1 3//1 4//1\nf 1/1/1 3/1/1 4/1/1"),
      "v 1 2 3 1\r\nvt 0.5 0.5 0\r\nvn 0 1 0\r\nf -1/-1/-1 1/1/1 1/1/1 1/1/1\r\n"};
  int n = 0;
  for (const char* text : texts) {
    kxMemoryBlock* b = kxAllocMemoryBlock(strlen(text));
    if (!b) return 1;
    memcpy(b->data, text, b->size);
    const std::string name = std::string(argv[1]) + "/seed" + std::to_string(n++);
    const bool ok = kxWriteMemoryBlock(name.c_str(), b);
    kxFreeMemoryBlock(b);
    if (!ok) return 1;
  }
  return 0;
}
