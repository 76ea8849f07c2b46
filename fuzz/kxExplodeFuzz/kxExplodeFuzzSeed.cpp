// Writes a few delimiter/text pairs in the fuzz input layout into the folder
// given as argv[1].
#include <string>

#include "data/kxMemoryBlock.h"

namespace {

bool WriteSeed(const std::string& file, const std::u16string& delimiter,
               const std::u16string& text) {
  std::string bytes(1, char(delimiter.size()));
  for (const std::u16string& s : {delimiter, text}) {
    for (char16_t c : s) {
      bytes += char(c & 0xFF);
      bytes += char(c >> 8);
    }
  }
  kxMemoryBlock block = {reinterpret_cast<uint8_t*>(bytes.data()), bytes.size()};
  return kxWriteMemoryBlock(file.c_str(), &block);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  const std::string dir = argv[1];
  return WriteSeed(dir + "/comma", u",", u"a,b,,c") &&
                 WriteSeed(dir + "/multi", u"<>", u"1<>2<>") &&
                 WriteSeed(dir + "/empty", u"", u"whole") &&
                 WriteSeed(dir + "/wide", u"\u20AC", u"x\u20AC\u017Cy")
             ? 0
             : 1;
}
