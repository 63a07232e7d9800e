# The web build (emscripten): SDL 1.2 with the project's web video driver, SDL_ttf and
# FreeType as scripts/web-libs builds them into TRIANGLES_WEB_LIBS, linked by path, and
# -sUSE_SDL=0 so that emscripten's own JavaScript SDL never stands in for them. Only the viewer is
# built; scripts/build-web puts the pages around it.
set(TRIANGLES_WEB_LIBS "" CACHE PATH "Folder of the browser's libraries (scripts/web-libs PREFIX)")
if(NOT EXISTS "${TRIANGLES_WEB_LIBS}/lib/libSDL.a")
  message(FATAL_ERROR "No web build libraries in \"${TRIANGLES_WEB_LIBS}\": build them with "
                      "scripts/web-libs PREFIX and configure with -DTRIANGLES_WEB_LIBS=PREFIX")
endif()

# Optimised for size, with the libraries at link time (scripts/web-libs builds them as bitcode):
# the page downloads every byte, and the pictures are the same at any level.
add_compile_options(-Oz -flto)
add_link_options(-Oz -flto)

add_library(web_sdl INTERFACE)
target_include_directories(web_sdl INTERFACE ${TRIANGLES_WEB_LIBS}/include/SDL)
target_link_libraries(web_sdl INTERFACE ${TRIANGLES_WEB_LIBS}/lib/libSDL.a)
target_link_options(web_sdl INTERFACE -sUSE_SDL=0
                    "SHELL:--js-library ${TRIANGLES_WEB_LIBS}/lib/SDL_webvideo.js")
add_library(web_sdl_ttf INTERFACE)
target_link_libraries(web_sdl_ttf INTERFACE ${TRIANGLES_WEB_LIBS}/lib/libSDL_ttf.a
                                            ${TRIANGLES_WEB_LIBS}/lib/libfreetype.a web_sdl)
set(TRIANGLES_SDL web_sdl)
set(TRIANGLES_SDL_TTF web_sdl_ttf)

# How the viewer runs in a page: its straight sequence kept whole while the wait awaits the next
# key or tap (ASYNCIFY); started by the page's script (INVOKE_RUN=0, ccall), which so learns its
# exit status, and which puts the font into its file system before (FS_createDataFile, run
# dependencies: what the page's script calls is exported by name, so that closure keeps it). The
# stack is 5 MB, as emscripten's default was before 3.1.27 (Debian 12's 3.1.6), on every release:
# the later default, 64 KB (Debian 13's 3.1.69), is only twice the viewer's deepest use (31 KB),
# and an overrun goes unnoticed. TOTAL_STACK is the name both releases take. The allocator is
# emscripten's small one (emmalloc): the viewer makes few allocations, the screen the largest.
set(WEB_LINK_OPTIONS -sASYNCIFY "-sASYNCIFY_ONLY=@${CMAKE_BINARY_DIR}/wait-path.txt"
    -sINVOKE_RUN=0 -sENVIRONMENT=web -sTOTAL_STACK=5MB -sMALLOC=emmalloc
    -sEXPORTED_RUNTIME_METHODS=FS_createDataFile,addRunDependency,removeRunDependency,ccall)

# The page's script minified by closure (emscripten's --closure), where scripts/build-web has
# installed the Closure Compiler for this release of emscripten; emscripten finds it through
# EM_CLOSURE_COMPILER, set for the link alone.
set(TRIANGLES_CLOSURE_COMPILER "" CACHE FILEPATH
    "The Closure Compiler for the page's script (empty: none)")
if(TRIANGLES_CLOSURE_COMPILER)
  list(APPEND WEB_LINK_OPTIONS --closure 1)
  set(CMAKE_CXX_LINKER_LAUNCHER ${CMAKE_COMMAND} -E env
                                EM_CLOSURE_COMPILER=${TRIANGLES_CLOSURE_COMPILER})
endif()

# ASYNCIFY instruments only the functions that can be on the stack while the wait sleeps, the way
# from main to the wait's await: main -> view -> draw_pages -> (through its PageDone pointer)
# show_and_wait -> wait_for_key -> wait_for_page_turn -> sleep_until_input -> await_next_input
# (app/main.cpp, pages.cpp, events.cpp, emscripten/display.cpp). Everything else runs as it is,
# smaller and faster. Each name matches in any namespace, with any parameters, and those the
# optimizer inlined are simply not found; one more name costs only size. A function of that way
# missing here breaks the page when it first waits (the web test catches it).
set(WAIT_PATH view draw_pages show_and_wait wait_for_key wait_for_page_turn sleep_until_input
    await_next_input)
set(wait_path_list "main\n__main_argc_argv\n__original_main\n__main_void\n")
foreach(name IN LISTS WAIT_PATH)
  string(APPEND wait_path_list "*${name}(*)\n")
endforeach()
file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/wait-path.txt CONTENT "${wait_path_list}")

# The page's font: the build's font cut down to the characters of the title and the labels (those
# of app/constants.h: the viewer refuses a font that lacks one, so a change there that is missed
# here fails the web test), with its licence text and the footer's line on it, in PAGE_FONT_DIR
# (web/page-font.py).
set(PAGE_FONT_TEXT " Triangles with perimeter 40()0123456789")
set(PAGE_FONT_DIR ${CMAKE_BINARY_DIR}/page-font)
function(make_page_font)
  add_custom_command(
    OUTPUT ${PAGE_FONT_DIR}/times.ttf ${PAGE_FONT_DIR}/font-licence.txt ${PAGE_FONT_DIR}/font-note.html
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PAGE_FONT_DIR}
    COMMAND ${PROJECT_SOURCE_DIR}/web/page-font.py ${TRIANGLES_FONT} "${TRIANGLES_FONT_LICENSE}"
            "${PAGE_FONT_TEXT}" ${PAGE_FONT_DIR}
    DEPENDS ${PROJECT_SOURCE_DIR}/web/page-font.py ${TRIANGLES_FONT} VERBATIM)
  add_custom_target(page_font ALL DEPENDS ${PAGE_FONT_DIR}/times.ttf)
endfunction()

# Links `viewer` for the site (VIEWER.js and VIEWER.wasm; the page fetches the font) and, from the
# same `sources`, VIEWER-one-file.js for the one-file page, with the wasm and the page's font inside.
function(link_for_web_pages viewer sources)
  make_page_font()
  target_link_options(${viewer} PRIVATE ${WEB_LINK_OPTIONS})
  set_target_properties(${viewer} PROPERTIES LINK_DEPENDS ${CMAKE_BINARY_DIR}/wait-path.txt)
  add_executable(${viewer}-one-file ${sources})
  get_target_property(libraries ${viewer} LINK_LIBRARIES)
  target_link_libraries(${viewer}-one-file PRIVATE ${libraries})
  set(font ${PAGE_FONT_DIR}/times.ttf)
  target_link_options(${viewer}-one-file PRIVATE ${WEB_LINK_OPTIONS} -sSINGLE_FILE=1
                      "SHELL:--embed-file ${font}@/${FONT_NAME_IN_PAGE}")
  set_target_properties(${viewer}-one-file PROPERTIES
                        LINK_DEPENDS "${font};${CMAKE_BINARY_DIR}/wait-path.txt")
  add_dependencies(${viewer}-one-file page_font)
endfunction()
set(FONT_NAME_IN_PAGE times.ttf) # the viewer opens times.ttf in its working folder, /
