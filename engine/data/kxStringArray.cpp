#include "data/kxStringArray.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "data/kxAlloc.h"
#include "data/kxExpanded.h"
#include "data/kxStdioFile.h"

kxStringArray::kxStringArray() : lines(nullptr), count(0) {}

kxStringArray::~kxStringArray() {
  Clear();
}

bool kxStringArray::LoadFromFile(const char* fileName) {
  // No 32-bit limit here: a text is read to its end, however long.
  kxMemoryBlock* text = kxReadStdioFile(fileName, UINT64_MAX);
  if (!text) return false;
  const bool loaded = LoadFromMemoryBlock(text);
  kxFreeMemoryBlock(text);
  return loaded;
}

bool kxStringArray::LoadFromMemoryBlock(const kxMemoryBlock* block) {
  if (!block || (block->size && !block->data)) return false;
  if (block->size == 0) return true;
  if (block->size >= SIZE_MAX / sizeof(kxWChar)) return false;
  kxWChar* buffer = static_cast<kxWChar*>(kxMalloc(size_t(block->size) * sizeof(kxWChar)));
  if (!buffer) return false;
  const uint64_t n =
      kxUTF8Decode(reinterpret_cast<const char*>(block->data), block->size, buffer, block->size);
  static const kxWChar kCRLF[2] = {0x0D, 0x0A};
  const uint64_t before = count;
  const bool parsed = ParseBuffer(buffer, n, kCRLF, 2);
  free(buffer);
  // Half a text is no text: the lines of a parse cut short go again.
  if (!parsed) DropLinesFrom(before);
  return parsed;
}

bool kxStringArray::LoadFromCrunchedMemoryBlock(const kxMemoryBlock* block) {
  return kxUseExpanded(block, false,
                       [this](const kxMemoryBlock* text) { return LoadFromMemoryBlock(text); });
}

void kxStringArray::AppendLine(const kxWChar* text) {
  AddLine(text);
}

bool kxStringArray::AddLine(const kxWChar* text) {
  kxString* line = new (std::nothrow) kxString(text);
  // A string whose copy could not be made comes out empty.
  if (!line || (text && text[0] && !line->GetString())) {
    delete line;
    return false;
  }
  kxString** grown = static_cast<kxString**>(kxRealloc(lines, sizeof(kxString*) * (count + 1)));
  if (!grown) {
    delete line;
    return false;
  }
  lines = grown;
  lines[count++] = line;
  return true;
}

void kxStringArray::DropLinesFrom(uint64_t kept) {
  while (count > kept) delete lines[--count];
  if (count == 0) {
    free(lines);
    lines = nullptr;
  }
}

kxString& kxStringArray::GetLine(uint64_t index) {
  if (index < count) return *lines[index];
  outOfRange = static_cast<const kxWChar*>(nullptr);
  return outOfRange;
}

const kxString& kxStringArray::GetLine(uint64_t index) const {
  if (index < count) return *lines[index];
  outOfRange = static_cast<const kxWChar*>(nullptr);
  return outOfRange;
}

uint64_t kxStringArray::GetLinesCounf() const {
  return count;
}

void kxStringArray::Clear() {
  for (uint64_t i = 0; i < count; ++i) delete lines[i];
  free(lines);
  lines = nullptr;
  count = 0;
}

bool kxStringArray::AppendRange(const kxWChar* text, uint64_t from, uint64_t to) {
  const uint64_t length = to - from;
  kxWChar* piece = static_cast<kxWChar*>(kxMalloc(size_t(length + 1) * sizeof(kxWChar)));
  if (!piece) return false;
  if (length) memcpy(piece, text + from, size_t(length) * sizeof(kxWChar));
  piece[length] = 0;
  const bool added = AddLine(piece);
  free(piece);
  return added;
}

bool kxStringArray::ParseBuffer(const kxWChar* text, uint64_t length, const kxWChar* separator,
                                uint64_t separatorLength) {
  if (!text || length == 0) return true;
  uint64_t start = 0;
  if (separator && separatorLength) {
    for (uint64_t p = 0; p + separatorLength <= length;) {
      if (memcmp(text + p, separator, size_t(separatorLength) * sizeof(kxWChar)) == 0) {
        if (!AppendRange(text, start, p)) return false;
        p += separatorLength;
        start = p;
      } else {
        ++p;
      }
    }
  }
  return start >= length || AppendRange(text, start, length);
}
