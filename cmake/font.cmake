# The font of the pages, copied beside the program as times.ttf. By default Liberation Serif
# 2.1.5, which Debian 13 ships as fonts-liberation and Debian 12 as fonts-liberation2 (Debian 12's
# fonts-liberation is Liberation 1.07, whose glyphs differ: every system shows the same pixels only
# with the same font). Any other TrueType font can be given as TRIANGLES_FONT, with its licence as
# TRIANGLES_FONT_LICENSE (by default the copyright file of the Debian package that holds the font).
set(TRIANGLES_FONT_VERSION 2.1.5)

# Accepts a Liberation Serif whose name table says "Version 2.1.5" (stored as UTF-16BE).
function(liberation_serif_of_its_version result path)
  set(wanted "")
  string(LENGTH "Version ${TRIANGLES_FONT_VERSION}" length)
  math(EXPR last "${length} - 1")
  foreach(i RANGE ${last})
    string(SUBSTRING "Version ${TRIANGLES_FONT_VERSION}" ${i} 1 character)
    string(HEX "${character}" code)
    string(APPEND wanted "00${code}")
  endforeach()
  file(READ ${path} bytes HEX)
  string(FIND "${bytes}" "${wanted}" at)
  if(at EQUAL -1)
    set(${result} FALSE PARENT_SCOPE)
  endif()
endfunction()

find_file(TRIANGLES_FONT LiberationSerif-Regular.ttf
  PATHS /usr/share/fonts/truetype/liberation2 /usr/share/fonts/truetype/liberation
        /usr/share/fonts/liberation /usr/share/fonts
  NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH VALIDATOR liberation_serif_of_its_version
  DOC "TrueType font installed beside the program as times.ttf")
if(NOT TRIANGLES_FONT)
  message(FATAL_ERROR "No font found: the pages need Liberation Serif ${TRIANGLES_FONT_VERSION} "
                      "(Debian 13: fonts-liberation, Debian 12: fonts-liberation2; "
                      "scripts/install-deps installs it), or set -DTRIANGLES_FONT=/path/to/font.ttf")
endif()
configure_file(${TRIANGLES_FONT} ${CMAKE_BINARY_DIR}/times.ttf COPYONLY)

# Its licence text: the copyright file of the Debian package that holds it, where dpkg knows it.
set(default_licence "")
find_program(DPKG_QUERY dpkg-query)
if(DPKG_QUERY)
  get_filename_component(real_font ${TRIANGLES_FONT} REALPATH)
  execute_process(COMMAND ${DPKG_QUERY} -S ${real_font} OUTPUT_VARIABLE owner
                  ERROR_QUIET OUTPUT_STRIP_TRAILING_WHITESPACE)
  string(REGEX REPLACE ":.*" "" owner "${owner}")
  if(owner MATCHES "^[a-z0-9.+-]+$" AND EXISTS /usr/share/doc/${owner}/copyright)
    set(default_licence /usr/share/doc/${owner}/copyright)
  endif()
endif()
set(TRIANGLES_FONT_LICENSE ${default_licence}
    CACHE FILEPATH "Licence text of the font, installed with it (empty: none)")
