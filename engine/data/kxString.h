/// \file
/// Declares kxString.

/// \class kxString
/// kxString: an owning, NUL-terminated wide string of 16-bit code units, plus
/// the UTF-8 codec and the converting allocators every text passes through.
///
/// A null buffer is the empty string. Strings returned by kxMBStrToWchar,
/// kxWcharToMBStr and kxExplode are malloc'ed and belong to the caller (free).
#pragma once

#include "kxExport.h"
#include "kxTypes.h"

class KX_API kxString {
 public:
  kxString();
  kxString(const kxWChar* text);  ///< null gives the empty string
  kxString(const char* utf8);     ///< UTF-8; null gives the empty string
  /// Deep copy: a copy never shares its buffer.
  kxString(const kxString& other);
  ~kxString();

  /// Replaces the text by a copy of other's.
  void Assign(const kxString& other);
  /// Replaces the text by a copy of other's.
  kxString& operator=(const kxString& other);
  /// Replaces the text by a copy of text (null: empty).
  kxString& operator=(const kxWChar* text);
  void Append(const kxWChar* text);  ///< null changes nothing
  /// Appends text, as Append.
  kxString& operator+=(const kxWChar* text);
  /// Appends other's text.
  kxString& operator+=(const kxString& other);

  /// The number of 16-bit code units, without the terminator.
  uint64_t Length() const;
  /// The buffer; null for a string that never held text.
  const kxWChar* GetString() const;

 private:
  kxWChar* text;
};

/// Decodes UTF-8 (up to three-byte sequences). With a null destination only
/// counts. `limit` in characters, 0 = none. Never reads past `sourceLength`: a
/// lead byte whose sequence is cut off by the end decodes like a stray byte
/// (0xFF00 + byte), and so does each byte left after it.
KX_API uint64_t kxUTF8Decode(const char* source, uint64_t sourceLength, kxWChar* destination,
                             uint64_t limit);
/// Encodes to UTF-8. `limit` in bytes, 0 = none; never writes past the limit:
/// stops before a character whose bytes do not fit. Returns the bytes produced.
KX_API uint64_t kxUTF8Encode(const kxWChar* source, uint64_t sourceLength, char* destination,
                             uint64_t limit);
/// New wide copy of a UTF-8 string (caller frees); null for a null argument.
KX_API kxWChar* kxMBStrToWchar(const char* source);
/// New UTF-8 copy of a wide string (caller frees); null for a null argument.
KX_API char* kxWcharToMBStr(const kxWChar* source);
/// Splits `text` at every occurrence of `delimiter`. Returns a malloc'ed array
/// of malloc'ed pieces and stores their number in *count. An empty or null text,
/// a null delimiter or a null count gives null (and count 0); an empty
/// delimiter gives the whole text as one piece.
KX_API kxWChar** kxExplode(const kxWChar* text, const kxWChar* delimiter, int32_t* count);
