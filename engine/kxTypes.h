/// \file
/// Types shared by every subsystem of the engine.
#pragma once

#include <cstddef>
#include <cstdint>

/// The engine's wide character: one 16-bit code unit (no surrogate pairs).
/// Literals are written u"...". wchar_t is never used, since it is 32 bits on
/// Linux.
typedef char16_t kxWChar;
