// Splits arbitrary wide text at an arbitrary delimiter. Input layout: the
// first byte gives the delimiter length in characters, then the delimiter,
// then the text, each character two bytes little-endian. The pieces joined
// with the delimiter must give back the text, and no piece may contain it.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "data/kxString.h"

namespace {

std::vector<kxWChar> Characters(const uint8_t* data, size_t pairs) {
  std::vector<kxWChar> out;
  for (size_t i = 0; i < pairs; ++i) {
    const kxWChar c = kxWChar(data[2 * i] | data[2 * i + 1] << 8);
    if (c == 0) break;  // strings end at the first NUL
    out.push_back(c);
  }
  return out;
}

bool Contains(const kxWChar* piece, const std::vector<kxWChar>& delimiter) {
  if (delimiter.empty()) return false;
  for (const kxWChar* p = piece; *p; ++p) {
    size_t k = 0;  // stops at the piece's NUL, which no delimiter holds
    while (k < delimiter.size() && p[k] == delimiter[k]) ++k;
    if (k == delimiter.size()) return true;
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const size_t delimiterPairs = std::min<size_t>(data[0] % 8, (size - 1) / 2);
  const std::vector<kxWChar> delimiterChars = Characters(data + 1, delimiterPairs);
  const size_t textOffset = 1 + 2 * delimiterPairs;
  const std::vector<kxWChar> textChars = Characters(data + textOffset, (size - textOffset) / 2);

  std::vector<kxWChar> delimiter(delimiterChars);
  delimiter.push_back(0);
  std::vector<kxWChar> text(textChars);
  text.push_back(0);

  int32_t count = -1;
  kxWChar** pieces = kxExplode(text.data(), delimiter.data(), &count);
  if (textChars.empty()) {
    if (pieces || count != 0) abort();
    return 0;
  }
  if (!pieces || count < 1) abort();
  if (delimiterChars.empty() && count != 1) abort();
  std::vector<kxWChar> joined;
  for (int32_t i = 0; i < count; ++i) {
    if (i) joined.insert(joined.end(), delimiterChars.begin(), delimiterChars.end());
    for (const kxWChar* p = pieces[i]; *p; ++p) joined.push_back(*p);
    // The scan tries every position, so no whole delimiter is left in a piece.
    if (Contains(pieces[i], delimiterChars)) abort();
    free(pieces[i]);
  }
  free(pieces);
  if (joined != textChars) abort();
  return 0;
}
