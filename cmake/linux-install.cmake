# Installation: a launcher in bin/ that runs the real viewer in the data folder holding the font,
# the exporter, a desktop menu entry with its icon, AppStream metadata, manual pages, the
# changelog and the copyright, and the font with its licence. The Debian package (debian/) leaves
# out the font and links to the system's instead, as Debian packages do with fonts another
# package provides.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
                                              GROUP_EXECUTE WORLD_READ WORLD_EXECUTE) # 0755
set(TRIANGLES_LIBEXEC_DIR ${CMAKE_INSTALL_LIBEXECDIR}/triangles)
configure_file(packaging/triangles.in ${CMAKE_BINARY_DIR}/launcher/triangles @ONLY)
install(TARGETS triangles RUNTIME DESTINATION ${TRIANGLES_LIBEXEC_DIR})
install(TARGETS triangles-export RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(PROGRAMS ${CMAKE_BINARY_DIR}/launcher/triangles DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES packaging/triangles.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES packaging/triangles.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo
        RENAME ${TRIANGLES_APP_ID}.metainfo.xml)
install(CODE "
  set(TRIANGLES_EXEC \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/triangles\")
  configure_file(\"${PROJECT_SOURCE_DIR}/packaging/triangles.desktop.in\"
                 \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/applications/triangles.desktop\"
                 @ONLY)
  message(STATUS \"Installing: \$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/applications/triangles.desktop\")")

# Manual pages and the changelog, compressed as Debian installs them (-n: no name or time inside).
foreach(document packaging/triangles.1 packaging/triangles-export.1 debian/changelog)
  get_filename_component(name ${document} NAME)
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/docs/${name}.gz
                     COMMAND sh -c "gzip -9n < ${PROJECT_SOURCE_DIR}/${document} > ${CMAKE_BINARY_DIR}/docs/${name}.gz"
                     DEPENDS ${document} VERBATIM)
  list(APPEND COMPRESSED_DOCUMENTS ${CMAKE_BINARY_DIR}/docs/${name}.gz)
endforeach()
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/docs)
add_custom_target(documents ALL DEPENDS ${COMPRESSED_DOCUMENTS})
install(FILES ${CMAKE_BINARY_DIR}/docs/triangles.1.gz ${CMAKE_BINARY_DIR}/docs/triangles-export.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_BINARY_DIR}/docs/changelog.gz debian/copyright
        DESTINATION ${CMAKE_INSTALL_DOCDIR})

install(FILES ${CMAKE_BINARY_DIR}/times.ttf DESTINATION ${TRIANGLES_DATA_DIR})
if(TRIANGLES_FONT_LICENSE)
  install(FILES ${TRIANGLES_FONT_LICENSE} DESTINATION ${TRIANGLES_DATA_DIR}
          RENAME times.ttf.LICENSE)
endif()
