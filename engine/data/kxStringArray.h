/// \file
/// Declares kxStringArray.

/// \class kxStringArray
/// kxStringArray: a text held as an ordered list of lines (kxString), decoded
/// from UTF-8 and split at CR LF. The array owns its lines; GetLine hands out
/// a reference that stays valid until the array is cleared or destroyed.
/// Loaders append behind the lines already held.
#pragma once

#include "data/kxMemoryBlock.h"
#include "data/kxString.h"
#include "kxExport.h"
#include "kxTypes.h"

class KX_API kxStringArray {
 public:
  kxStringArray();
  ~kxStringArray();
  KX_NO_COPY(kxStringArray);

  /// False, adding no lines, when the file cannot be opened or read whole.
  [[nodiscard]] bool LoadFromFile(const char* fileName);
  /// False only for a null block or when memory runs out (no lines added).
  [[nodiscard]] bool LoadFromMemoryBlock(const kxMemoryBlock* block);
  /// False, adding no lines, when the block does not expand.
  [[nodiscard]] bool LoadFromCrunchedMemoryBlock(const kxMemoryBlock* block);
  /// Adds one line; null adds an empty line.
  void AppendLine(const kxWChar* text);
  /// The line at `index`. An index at or past the count gives an empty string
  /// kept by the array (never someone else's line).
  kxString& GetLine(uint64_t index);
  /// The line at `index`, read-only; an empty string past the count.
  const kxString& GetLine(uint64_t index) const;
  /// The number of lines (the name's spelling is kept on purpose).
  uint64_t GetLinesCounf() const;
  /// Frees every line; the array is empty again.
  void Clear();

 private:
  // Appends the lines found; false when memory runs out part way (the lines
  // appended so far stay, for the caller to drop).
  bool ParseBuffer(const kxWChar* text, uint64_t length, const kxWChar* separator,
                   uint64_t separatorLength);
  // Lines of `text` from `from` to `to`; false when memory runs out.
  bool AppendRange(const kxWChar* text, uint64_t from, uint64_t to);
  // AppendLine that tells whether the line was added whole.
  bool AddLine(const kxWChar* text);
  // Deletes the lines from index `kept` on.
  void DropLinesFrom(uint64_t kept);

  kxString** lines;
  uint64_t count;
  mutable kxString outOfRange;
};
