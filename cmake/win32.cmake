# Windows tree: the program, the Windows-only runtime and the tests that run under Wine.
if(NOT CMAKE_SIZEOF_VOID_P EQUAL 4)
  message(FATAL_ERROR "Tallyleaf is a 32-bit program; use cmake/mingw-i686.cmake")
endif()
set(TALLYLEAF_CACHE "$ENV{HOME}/.cache/tallyleaf" CACHE PATH "set-up cache (MinGW libpng)")
set(TALLYLEAF_FORMGEN "" CACHE FILEPATH "the host-built form image generator")

add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
add_link_options(-static -static-libgcc -static-libstdc++)

add_library(png_mingw STATIC IMPORTED)
set_target_properties(png_mingw PROPERTIES
  IMPORTED_LOCATION ${TALLYLEAF_CACHE}/mingw-libpng/lib/libpng16.a
  INTERFACE_INCLUDE_DIRECTORIES ${TALLYLEAF_CACHE}/mingw-libpng/include
  INTERFACE_LINK_LIBRARIES /usr/i686-w64-mingw32/lib/libz.a)

include(${CMAKE_CURRENT_LIST_DIR}/release.cmake)
