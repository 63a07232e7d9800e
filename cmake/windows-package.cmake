# The Windows folder, as the zip and the installer carry it: the two programs, the DLLs they need,
# the font, README.txt and every licence, side by side (the viewer finds times.ttf in its working
# folder, the exporter also beside itself). `cmake --install BUILD --prefix FOLDER` makes it;
# scripts/build-windows zips it and builds the installer from it (packaging/windows/).
install(TARGETS triangles triangles-export RUNTIME DESTINATION .)
install(FILES ${CMAKE_BINARY_DIR}/times.ttf packaging/windows/README.txt DESTINATION .)
install(FILES LICENSE DESTINATION . RENAME LICENSE.txt)

# The DLLs: whatever the programs import that lies beside the libraries found.
set(DLL_FOLDERS)
foreach(library ${SDL_LIBRARY} ${SDL_TTF_LIBRARIES} ${PNG_LIBRARIES})
  if(IS_ABSOLUTE ${library})
    get_filename_component(folder ${library} DIRECTORY)
    list(APPEND DLL_FOLDERS ${folder} ${folder}/../bin)
  endif()
endforeach()
list(REMOVE_DUPLICATES DLL_FOLDERS)
install(CODE "cmake_policy(VERSION 3.16)
  set(PROGRAMS \"$<TARGET_FILE:triangles>\" \"$<TARGET_FILE:triangles-export>\")
  set(DLL_FOLDERS \"${DLL_FOLDERS}\")
  set(OBJDUMP \"${CMAKE_OBJDUMP}\")
  include(${PROJECT_SOURCE_DIR}/cmake/install-dlls.cmake)")

# The licences: the libraries' (where their build put them), and the font's.
get_filename_component(LIBRARY_PREFIX ${SDL_INCLUDE_DIR}/../.. ABSOLUTE)
foreach(library SDL SDL_ttf freetype libpng zlib)
  if(EXISTS ${LIBRARY_PREFIX}/share/licenses/${library})
    install(DIRECTORY ${LIBRARY_PREFIX}/share/licenses/${library} DESTINATION licenses)
  endif()
endforeach()
if(TRIANGLES_FONT_LICENSE)
  install(FILES ${TRIANGLES_FONT_LICENSE} DESTINATION licenses/font RENAME copyright)
endif()
