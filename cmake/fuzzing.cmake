# A fuzzing build (clang): the program's sources and SDL_ttf, compiled from its own source, under
# libFuzzer's coverage, AddressSanitizer and UndefinedBehaviorSanitizer, so that the renderer's own
# reads and writes are checked too. SDL_ttf's archive comes from TRIANGLES_SOURCES, checked against
# the SHA256SUMS there; SDL and FreeType stay the system's.
if(NOT CMAKE_CXX_COMPILER_ID MATCHES Clang)
  message(FATAL_ERROR "A fuzzing build needs clang and libFuzzer: -DCMAKE_C_COMPILER=clang "
                      "-DCMAKE_CXX_COMPILER=clang++")
endif()
set(TRIANGLES_SOURCES "" CACHE PATH "Folder of the library source archives and their SHA256SUMS")
set(SDL_TTF_ARCHIVE SDL_ttf-2.0.11.tar.xz)
file(STRINGS ${TRIANGLES_SOURCES}/SHA256SUMS SDL_TTF_SUM REGEX " ${SDL_TTF_ARCHIVE}$")
string(REGEX MATCH "^[0-9a-f]+" SDL_TTF_SUM "${SDL_TTF_SUM}")
file(SHA256 ${TRIANGLES_SOURCES}/${SDL_TTF_ARCHIVE} SDL_TTF_ACTUAL_SUM)
if(NOT SDL_TTF_SUM OR NOT SDL_TTF_ACTUAL_SUM STREQUAL SDL_TTF_SUM)
  message(FATAL_ERROR "Couldn't verify ${TRIANGLES_SOURCES}/${SDL_TTF_ARCHIVE}: its SHA256 is not "
                      "the one in SHA256SUMS")
endif()
file(ARCHIVE_EXTRACT INPUT ${TRIANGLES_SOURCES}/${SDL_TTF_ARCHIVE}
     DESTINATION ${CMAKE_BINARY_DIR}/sources)

add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all
                    -fno-omit-frame-pointer)
add_link_options(-fsanitize=address,undefined)
enable_language(C)
pkg_check_modules(FREETYPE REQUIRED IMPORTED_TARGET freetype2)
set(SDL_TTF_SOURCE ${CMAKE_BINARY_DIR}/sources/SDL_ttf-2.0.11)
add_library(sdl_ttf_instrumented STATIC ${SDL_TTF_SOURCE}/SDL_ttf.c)
target_include_directories(sdl_ttf_instrumented PUBLIC ${SDL_TTF_SOURCE})
target_compile_options(sdl_ttf_instrumented PRIVATE -w) # its own code, as it is
target_link_libraries(sdl_ttf_instrumented PUBLIC PkgConfig::SDL PkgConfig::FREETYPE)
set(TRIANGLES_SDL_TTF sdl_ttf_instrumented)
