# The libraries of the browser build, as the targets the native build finds
# on the system: SDL2, SDL2_mixer and zlib from KX_WEB_PREFIX (the static
# WebAssembly builds dist/web/build-libs.sh makes), and OpenGL and the
# extension loader from the toolchain itself (WebGL, and its stand-in
# GL/glew.h). Each is linked by path: a -l name such as -lSDL2_mixer would be
# taken for one of the toolchain's downloadable ports.
set(KX_WEB_PREFIX "" CACHE PATH "Prefix of the WebAssembly builds of SDL2, SDL2_mixer and zlib")
foreach(lib libSDL2.a libSDL2_mixer.a libz.a)
  if(NOT EXISTS "${KX_WEB_PREFIX}/lib/${lib}")
    message(FATAL_ERROR "KX_WEB_PREFIX (${KX_WEB_PREFIX}) holds no lib/${lib}; "
                        "dist/web/build-libs.sh builds it")
  endif()
endforeach()

add_library(SDL2::SDL2 INTERFACE IMPORTED)
set_target_properties(SDL2::SDL2 PROPERTIES
  INTERFACE_INCLUDE_DIRECTORIES "${KX_WEB_PREFIX}/include/SDL2;${KX_WEB_PREFIX}/include"
  INTERFACE_LINK_LIBRARIES "${KX_WEB_PREFIX}/lib/libSDL2.a")
add_library(PkgConfig::SDL2_MIXER INTERFACE IMPORTED)
set_target_properties(PkgConfig::SDL2_MIXER PROPERTIES
  INTERFACE_INCLUDE_DIRECTORIES "${KX_WEB_PREFIX}/include/SDL2"
  INTERFACE_LINK_LIBRARIES "${KX_WEB_PREFIX}/lib/libSDL2_mixer.a;SDL2::SDL2")
add_library(ZLIB::ZLIB INTERFACE IMPORTED)
set_target_properties(ZLIB::ZLIB PROPERTIES
  INTERFACE_INCLUDE_DIRECTORIES "${KX_WEB_PREFIX}/include"
  INTERFACE_LINK_LIBRARIES "${KX_WEB_PREFIX}/lib/libz.a")
add_library(OpenGL::GL INTERFACE IMPORTED)
add_library(GLEW::GLEW INTERFACE IMPORTED)
