/// \file
/// Export macro of the kxEngine shared library. The library is built with
/// hidden default visibility; only what is marked KX_API is exported.
#pragma once

/// Marks a class or function as part of the library's exported interface.
#if defined(KX_STATIC)
#define KX_API
#else
#define KX_API __attribute__((visibility("default")))
#endif

/// Owning engine classes are never copied: a copy would share buffers,
/// handles or children. Place in the class body.
#define KX_NO_COPY(Class)       \
  Class(const Class&) = delete; \
  Class& operator=(const Class&) = delete
