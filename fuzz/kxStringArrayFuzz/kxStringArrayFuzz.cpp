// Decodes arbitrary bytes as UTF-8 (counting, filling and limited passes must
// agree) and splits them into lines; the lines joined with CR LF give back
// the decoded text up to its first NUL character.
#include <cstdlib>
#include <cstring>
#include <vector>

#include "data/kxString.h"
#include "data/kxStringArray.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<char> source(data, data + size);
  const char* text = source.empty() ? nullptr : source.data();
  const uint64_t count = kxUTF8Decode(text, size, nullptr, 0);
  if (count > size) abort();
  std::vector<kxWChar> decoded(count + 1, 0);
  if (kxUTF8Decode(text, size, decoded.data(), 0) != count) abort();
  if (count > 1) {
    std::vector<kxWChar> limited(count - 1);
    if (kxUTF8Decode(text, size, limited.data(), count - 1) != count - 1) abort();
    if (memcmp(limited.data(), decoded.data(), (count - 1) * sizeof(kxWChar)) != 0) abort();
  }

  kxMemoryBlock* block = kxAllocMemoryBlock(size);
  if (!block) return 0;
  if (size) memcpy(block->data, data, size);
  kxStringArray lines;
  if (!lines.LoadFromMemoryBlock(block)) abort();
  kxFreeMemoryBlock(block);

  // Lines stop at an embedded NUL (kxString is NUL-terminated), so compare
  // only texts without one.
  bool hasNul = false;
  for (uint64_t i = 0; i < count; ++i) hasNul = hasNul || decoded[i] == 0;
  if (!hasNul) {
    std::vector<kxWChar> joined;
    for (uint64_t i = 0; i < lines.GetLinesCounf(); ++i) {
      const kxString& line = lines.GetLine(i);
      const kxWChar* s = line.GetString();
      if (s) joined.insert(joined.end(), s, s + line.Length());
      if (i + 1 < lines.GetLinesCounf() ||
          (count >= 2 && decoded[count - 2] == 0x0D && decoded[count - 1] == 0x0A)) {
        joined.push_back(0x0D);
        joined.push_back(0x0A);
      }
    }
    if (joined.size() != count ||
        (count && memcmp(joined.data(), decoded.data(), count * sizeof(kxWChar)) != 0))
      abort();
  }

  // Whatever was decoded encodes within the size the counting pass gives.
  const uint64_t bytes = kxUTF8Encode(decoded.data(), count, nullptr, 0);
  std::vector<char> encoded(bytes + 1, 0x5A);
  if (kxUTF8Encode(decoded.data(), count, encoded.data(), bytes) != bytes) abort();
  if (encoded[bytes] != 0x5A) abort();
  return 0;
}
