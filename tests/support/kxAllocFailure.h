// Runs an engine operation once for every allocation it makes, with that
// allocation and every later one failing, so that what a class promises for
// "memory runs out" is checked at each point where it can happen.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>

#include "data/kxAlloc.h"

namespace kxTest {

// operation() runs with the engine's allocations failing after n granted
// ones, for n = 0, 1, 2, ..., twice for each n: once with every later
// allocation failing too (a heap that stays exhausted), once with only that
// one failing (a passing shortage, which reaches the recovery paths).
// check(result, refused) then runs with allocation back to normal, `refused`
// telling whether that run met the failure. The loop ends after the first n
// that no run reached, so the last check sees the operation's success.
template <class Operation, class Check>
void ForEachAllocationFailure(Operation operation, Check check) {
  for (int64_t granted = 0;; ++granted) {
    bool reached = false;
    for (bool once : {false, true}) {
      SCOPED_TRACE("allocations granted before the failure: " + std::to_string(granted) +
                   (once ? ", that one failing" : ", every later one failing"));
      kxFailAllocationsAfter(granted, once);
      const auto result = operation();
      const bool refused = kxRefusedAllocations() != 0;
      kxFailAllocationsAfter(-1);
      check(result, refused);
      reached = reached || refused;
      if (::testing::Test::HasFatalFailure()) return;
    }
    if (!reached) return;
  }
}

}  // namespace kxTest
