#include "data/kxString.h"

#include <climits>
#include <cstdlib>
#include <cstring>

#include "data/kxAlloc.h"

namespace {

uint64_t WideLength(const kxWChar* text) {
  if (!text) return 0;
  uint64_t n = 0;
  while (text[n]) ++n;
  return n;
}

// New NUL-terminated copy of `length` characters; null when memory runs out.
kxWChar* WideCopy(const kxWChar* text, uint64_t length) {
  if (length >= SIZE_MAX / sizeof(kxWChar)) return nullptr;
  kxWChar* copy = static_cast<kxWChar*>(kxMalloc(size_t(length + 1) * sizeof(kxWChar)));
  if (!copy) return nullptr;
  if (length) memcpy(copy, text, size_t(length) * sizeof(kxWChar));
  copy[length] = 0;
  return copy;
}

}  // namespace

kxString::kxString() : text(nullptr) {}

kxString::kxString(const kxWChar* source) : text(nullptr) {
  if (source) text = WideCopy(source, WideLength(source));
}

kxString::kxString(const char* utf8) : text(nullptr) {
  if (utf8) text = kxMBStrToWchar(utf8);
}

kxString::kxString(const kxString& other) : text(nullptr) {
  if (other.text) text = WideCopy(other.text, WideLength(other.text));
}

kxString::~kxString() {
  free(text);
}

void kxString::Assign(const kxString& other) {
  if (&other == this) return;
  *this = other.text;
}

kxString& kxString::operator=(const kxString& other) {
  Assign(other);
  return *this;
}

kxString& kxString::operator=(const kxWChar* source) {
  // Copy first: `source` may point into our own buffer.
  kxWChar* copy = source ? WideCopy(source, WideLength(source)) : nullptr;
  free(text);
  text = copy;
  return *this;
}

void kxString::Append(const kxWChar* source) {
  if (!source) return;
  const uint64_t oldLength = WideLength(text);
  const uint64_t addLength = WideLength(source);
  if (oldLength + addLength >= SIZE_MAX / sizeof(kxWChar)) return;
  // A fresh buffer rather than realloc, so that appending a string to itself
  // (source inside `text`) reads valid memory.
  kxWChar* joined =
      static_cast<kxWChar*>(kxMalloc(size_t(oldLength + addLength + 1) * sizeof(kxWChar)));
  if (!joined) return;
  if (oldLength) memcpy(joined, text, size_t(oldLength) * sizeof(kxWChar));
  if (addLength) memcpy(joined + oldLength, source, size_t(addLength) * sizeof(kxWChar));
  joined[oldLength + addLength] = 0;
  free(text);
  text = joined;
}

kxString& kxString::operator+=(const kxWChar* source) {
  Append(source);
  return *this;
}

kxString& kxString::operator+=(const kxString& other) {
  Append(other.text);
  return *this;
}

uint64_t kxString::Length() const {
  return WideLength(text);
}

const kxWChar* kxString::GetString() const {
  return text;
}

// A lead byte whose continuation bytes lie past the end of the source is
// decoded as a stray byte (the signed-byte widening of the last rule), so the
// bytes of a cut-off character each come out as one 0xFFxx unit and nothing
// past `sourceLength` is read.
uint64_t kxUTF8Decode(const char* source, uint64_t sourceLength, kxWChar* destination,
                      uint64_t limit) {
  if (!source || sourceLength == 0) return 0;
  const uint8_t* s = reinterpret_cast<const uint8_t*>(source);
  uint64_t i = 0;
  uint64_t n = 0;
  while (i < sourceLength) {
    const uint8_t b = s[i];
    const uint64_t remaining = sourceLength - i;
    kxWChar c;
    if ((b & 0xE0) == 0xE0 && remaining >= 3) {
      c = kxWChar(((b & 0x0F) << 12) | ((s[i + 1] & 0x3F) << 6) | (s[i + 2] & 0x3F));
      i += 3;
    } else if ((b & 0xE0) == 0xC0 && remaining >= 2) {
      c = kxWChar(((b & 0x1F) << 6) | (s[i + 1] & 0x3F));
      i += 2;
    } else {
      c = kxWChar(int16_t(int8_t(b)));
      i += 1;
    }
    if (destination) destination[n] = c;
    ++n;
    if (limit && n >= limit) break;
  }
  return n;
}

uint64_t kxUTF8Encode(const kxWChar* source, uint64_t sourceLength, char* destination,
                      uint64_t limit) {
  if (!source || sourceLength == 0) return 0;
  uint8_t* d = reinterpret_cast<uint8_t*>(destination);
  uint64_t count = 0;
  for (uint64_t i = 0; i < sourceLength; ++i) {
    const kxWChar c = source[i];
    const uint64_t need = c < 0x80 ? 1 : c < 0x800 ? 2 : 3;
    if (limit && count + need > limit) break;
    if (d) {
      if (need == 1) {
        d[count] = uint8_t(c);
      } else if (need == 2) {
        d[count] = uint8_t(0xC0 | (c >> 6));
        d[count + 1] = uint8_t(0x80 | (c & 0x3F));
      } else {
        d[count] = uint8_t(0xE0 | (c >> 12));
        d[count + 1] = uint8_t(0x80 | ((c >> 6) & 0x3F));
        d[count + 2] = uint8_t(0x80 | (c & 0x3F));
      }
    }
    count += need;
  }
  return count;
}

kxWChar* kxMBStrToWchar(const char* source) {
  if (!source) return nullptr;
  const uint64_t length = strlen(source);
  const uint64_t count = kxUTF8Decode(source, length, nullptr, 0);
  if (count >= SIZE_MAX / sizeof(kxWChar)) return nullptr;
  kxWChar* result = static_cast<kxWChar*>(kxMalloc(size_t(count + 1) * sizeof(kxWChar)));
  if (!result) return nullptr;
  kxUTF8Decode(source, length, result, count);
  result[count] = 0;
  return result;
}

char* kxWcharToMBStr(const kxWChar* source) {
  if (!source) return nullptr;
  const uint64_t length = WideLength(source);
  const uint64_t count = kxUTF8Encode(source, length, nullptr, 0);
  char* result = static_cast<char*>(kxMalloc(size_t(count + 1)));
  if (!result) return nullptr;
  kxUTF8Encode(source, length, result, count);
  result[count] = 0;
  return result;
}

kxWChar** kxExplode(const kxWChar* text, const kxWChar* delimiter, int32_t* count) {
  if (count) *count = 0;
  if (!text || !delimiter || !count || !text[0]) return nullptr;
  const uint64_t length = WideLength(text);
  const uint64_t delimiterLength = WideLength(delimiter);

  kxWChar** pieces = nullptr;
  int32_t pieceCount = 0;
  bool failed = false;
  auto addPiece = [&](uint64_t from, uint64_t to) {
    if (pieceCount == INT32_MAX) {
      failed = true;
      return;
    }
    kxWChar* piece = WideCopy(text + from, to - from);
    kxWChar** grown =
        piece
            ? static_cast<kxWChar**>(kxRealloc(pieces, sizeof(kxWChar*) * (size_t(pieceCount) + 1)))
            : nullptr;
    if (!grown) {
      free(piece);
      failed = true;
      return;
    }
    pieces = grown;
    pieces[pieceCount++] = piece;
  };

  uint64_t start = 0;
  if (delimiterLength) {
    uint64_t p = 0;
    while (!failed && p + delimiterLength <= length) {
      if (memcmp(text + p, delimiter, size_t(delimiterLength) * sizeof(kxWChar)) == 0) {
        addPiece(start, p);
        p += delimiterLength;
        start = p;
      } else {
        ++p;
      }
    }
  }
  if (!failed) addPiece(start, length);
  if (failed) {
    for (int32_t i = 0; i < pieceCount; ++i) free(pieces[i]);
    free(pieces);
    return nullptr;
  }
  *count = pieceCount;
  return pieces;
}
