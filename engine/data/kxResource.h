/// \file
/// Declares kxResource.

/// \class kxResource
/// kxResource: an ordered collection of named memory blocks, saved to and read
/// from one pack file (magic "kx", CRC-32, crunched table of 36-byte records,
/// then the entries' bytes).
///
/// The collection owns every block and name it holds; blocks and names handed
/// out by Get/GetMemoryBlock/GetName stay owned by it and are valid until that
/// entry is changed or removed, or the collection is cleared or destroyed.
/// Callers keep ownership of whatever they pass in (it is copied).
#pragma once

#include "data/kxMemoryBlock.h"
#include "kxExport.h"
#include "kxTypes.h"

class KX_API kxResource {
 public:
  kxResource();
  ~kxResource();
  KX_NO_COPY(kxResource);

  /// Stores copies of the block and the name; returns the new entry's index,
  /// or UINT64_MAX when memory runs out (nothing is added then). A null block
  /// is stored as an empty one, a null name as "".
  uint64_t Append(const kxMemoryBlock* block, const char* name);
  /// Replaces the block of every entry with this name by a copy of `block`.
  void Change(const kxMemoryBlock* block, const char* name);
  /// Removes the first entry with this name; false when there is none.
  bool Remove(const char* name);
  /// True when an entry has this name.
  bool ResourceExists(const char* name) const;

  /// First entry with this name, or null.
  kxMemoryBlock* Get(const char* name) const;
  /// Entry by index; null when the index is not below Length().
  kxMemoryBlock* Get(uint64_t index) const;
  /// Entry by index, as Get(index).
  kxMemoryBlock* GetMemoryBlock(uint64_t index) const;
  /// The name of an entry by index; null when the index is not below Length().
  const char* GetName(uint64_t index) const;
  /// The number of entries.
  uint64_t Length() const;
  /// Frees every entry; the collection is empty again.
  void Clear();

  /// New pack image owned by the caller. Null when there is nothing to store
  /// (no bytes at all), when a name is longer than 31 bytes, an entry or the
  /// image would be 4 GiB or more, or memory runs out.
  [[nodiscard]] kxMemoryBlock* WriteToMemoryBlock() const;
  /// Replaces the entries by the pack's. On any fault (magic, CRC, table, an
  /// entry running past the image) returns false and keeps the old entries.
  /// The image is only read, never changed.
  [[nodiscard]] bool ReadFromMemoryBlock(const kxMemoryBlock* image);
  /// For tools that look into a damaged pack: reads as above without
  /// comparing the CRC, so that the entries of an image whose table and sizes
  /// are intact can be examined one by one. Never a way to load assets.
  [[nodiscard]] bool SalvageFromMemoryBlock(const kxMemoryBlock* image);
  /// Writes WriteToMemoryBlock's image to a file; false when there is nothing to store or the file
  /// cannot be written.
  [[nodiscard]] bool WriteToFile(const char* fileName) const;
  /// Reads a whole pack file as ReadFromMemoryBlock; false, keeping the old entries, when the file
  /// cannot be read or is no valid pack.
  [[nodiscard]] bool ReadFromFile(const char* fileName);

  /// Pack layout constants, shared with the tools that inspect packs.
  static constexpr uint64_t kHeaderSize = 10;
  /// Bytes of one table record.
  static constexpr uint64_t kRecordSize = 36;
  /// Bytes of a record's name field (NUL-terminated).
  static constexpr uint64_t kNameFieldSize = 32;
  /// The longest entry name in bytes.
  static constexpr uint64_t kMaxNameLength = 31;

 private:
  [[nodiscard]] bool ReadImage(const kxMemoryBlock* image, bool verifyChecksum);

  kxMemoryBlock** blocks;
  uint64_t count;
  char** names;
};
