// A header with every name documented but one, for the test that the API
// reference refuses an undocumented exported member.
#pragma once

/// A class whose members are all documented but Undocumented().
class kxDocumented {
 public:
  /// Returns 1.
  int Documented();
  int Undocumented();
};
