# A fuzzing build (clang): the program's sources and SDL_ttf, compiled from its own source, under
# libFuzzer's coverage, AddressSanitizer and UndefinedBehaviorSanitizer, so that the renderer's own
# reads and writes are checked too. SDL_ttf's archive comes from TRIANGLES_SOURCES, checked against
# the SHA256SUMS there (scripts/library-build); SDL and FreeType stay the system's.
if(NOT CMAKE_CXX_COMPILER_ID MATCHES Clang)
  message(FATAL_ERROR "A fuzzing build needs clang and libFuzzer: -DCMAKE_C_COMPILER=clang "
                      "-DCMAKE_CXX_COMPILER=clang++")
endif()
set(TRIANGLES_SOURCES "" CACHE PATH "Folder of the library source archives and their SHA256SUMS")
execute_process(COMMAND ${CMAKE_COMMAND} -E env TRIANGLES_SOURCES=${TRIANGLES_SOURCES}
                        ${PROJECT_SOURCE_DIR}/scripts/library-build unpack SDL_ttf
                        ${CMAKE_BINARY_DIR}/sources
                RESULT_VARIABLE unpacked ERROR_VARIABLE why)
if(NOT unpacked EQUAL 0)
  message(FATAL_ERROR "${why}")
endif()

add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all
                    -fno-omit-frame-pointer)
add_link_options(-fsanitize=address,undefined)
enable_language(C)
pkg_check_modules(FREETYPE REQUIRED IMPORTED_TARGET freetype2)
file(GLOB SDL_TTF_SOURCE ${CMAKE_BINARY_DIR}/sources/SDL_ttf-*)
add_library(sdl_ttf_instrumented STATIC ${SDL_TTF_SOURCE}/SDL_ttf.c)
target_include_directories(sdl_ttf_instrumented PUBLIC ${SDL_TTF_SOURCE})
target_compile_options(sdl_ttf_instrumented PRIVATE -w) # its own code, as it is
target_link_libraries(sdl_ttf_instrumented PUBLIC PkgConfig::SDL PkgConfig::FREETYPE)
set(TRIANGLES_SDL_TTF sdl_ttf_instrumented)
