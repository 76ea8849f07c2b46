// Writes a few UTF-8 texts, made with the engine's own encoder, into the
// folder given as argv[1].
#include <cstdlib>
#include <cstring>
#include <string>

#include "data/kxMemoryBlock.h"
#include "data/kxString.h"

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  const kxWChar* texts[] = {u"a\r\nb\r\n", u"a\r\n\r\nb", u"\r\n", u"\u017Co\r\n\u20AC",
                            u"\uFEFFfirst line\rsame line\nstill\r\nnext"};
  int n = 0;
  for (const kxWChar* text : texts) {
    char* utf8 = kxWcharToMBStr(text);
    if (!utf8) return 1;
    kxMemoryBlock block = {reinterpret_cast<uint8_t*>(utf8), strlen(utf8)};
    const std::string name = std::string(argv[1]) + "/seed" + std::to_string(n++);
    const bool ok = kxWriteMemoryBlock(name.c_str(), &block);
    free(utf8);
    if (!ok) return 1;
  }
  return 0;
}
