/// \file
/// Declares kxGeometry.

/// \class kxGeometry
/// kxGeometry: an ordered group of vertex arrays drawn, placed and destroyed
/// as one. A group either owns its members (the default: deleted by
/// Clear(true) and by the destructor) or, after SetClearOnDestroy(false),
/// only refers to arrays another owner deletes.
#pragma once

#include <cstddef>

#include "kxExport.h"
#include "kxTypes.h"

class kxVertexArray;

/// The destructor is not virtual, so the class is final: a group is never
/// deleted through a base pointer of some other type.
class KX_API kxGeometry final {
 public:
  KX_NO_COPY(kxGeometry);

  kxGeometry();
  ~kxGeometry();

  /// New kxVertexArray(mode) appended and returned; when allocation fails a
  /// null slot is appended and null returned.
  kxVertexArray* AppendVertexArray(unsigned int mode);
  /// Appends `array` (null allowed); the group owns it as its other
  /// members. When memory runs out it is not appended and stays the caller's.
  void AppendVertexArray(kxVertexArray* array);
  /// Replaces slot `index` without deleting its old member. Indices at or
  /// beyond Length() are ignored.
  void InsertVertexArray(size_t index, kxVertexArray* array);
  /// Null for an index at or beyond Length().
  kxVertexArray* GetVertexArray(size_t index);
  /// Number of slots, null ones included.
  size_t Length();
  /// First slot holding `array`, or -1.
  int GetVertexArrayID(kxVertexArray* array);
  /// Swaps two slots; nothing when they are equal or either is out of range.
  void ChangeVertexArray(size_t a, size_t b);
  /// A different size gives n null slots (nothing is deleted); the same size
  /// changes nothing.
  void SetSize(size_t n);
  /// true: deletes the members and empties the group; false: nothing.
  void Clear(bool doClear);
  /// Whether the destructor deletes the members (true at creation).
  void SetClearOnDestroy(bool on);

  /// Draws every member in slot order; null slots are skipped.
  virtual void Draw();
  /// Member i goes to (xyz[3i], xyz[3i+1], xyz[3i+2]); null slots skipped.
  /// The caller supplies 3 x Length() floats.
  void SetPositions(float* xyz);
  /// Member i goes to xyz[i]; null slots skipped, a null xyz ignored.
  void SetPositions(float (*xyz)[3]);

 private:
  kxVertexArray** arrays;
  uint64_t count;
  bool clearOnDestroy;
};
