# Installation: a launcher in bin/ that runs the real viewer in the data folder holding the font,
# the exporter, a desktop menu entry with its icon, AppStream metadata, manual pages and the
# package's documents (component "viewer"). `cmake --install` also copies the font with its
# licence there ("bundled_font"); the Debian package links to the system's font instead
# ("font_link"), as Debian packages do with fonts another package provides.
set(TRIANGLES_LIBEXEC_DIR ${CMAKE_INSTALL_LIBEXECDIR}/triangles)
configure_file(packaging/triangles.in ${CMAKE_BINARY_DIR}/launcher/triangles @ONLY)
install(TARGETS triangles RUNTIME DESTINATION ${TRIANGLES_LIBEXEC_DIR} COMPONENT viewer)
install(TARGETS triangles-export RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT viewer)
install(PROGRAMS ${CMAKE_BINARY_DIR}/launcher/triangles DESTINATION ${CMAKE_INSTALL_BINDIR}
        COMPONENT viewer)
install(FILES packaging/triangles.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        COMPONENT viewer)
install(FILES packaging/triangles.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo
        RENAME ${TRIANGLES_APP_ID}.metainfo.xml COMPONENT viewer)
install(CODE "
  set(TRIANGLES_EXEC \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/triangles\")
  configure_file(\"${PROJECT_SOURCE_DIR}/packaging/triangles.desktop.in\"
                 \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/applications/triangles.desktop\"
                 @ONLY)
  message(STATUS \"Installing: \$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/applications/triangles.desktop\")"
  COMPONENT viewer)

# Manual pages and the changelog, compressed as Debian installs them (-n: no name or time inside).
foreach(document packaging/triangles.1 packaging/triangles-export.1 packaging/changelog)
  get_filename_component(name ${document} NAME)
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/docs/${name}.gz
                     COMMAND sh -c "gzip -9n < ${PROJECT_SOURCE_DIR}/${document} > ${CMAKE_BINARY_DIR}/docs/${name}.gz"
                     DEPENDS ${document} VERBATIM)
  list(APPEND COMPRESSED_DOCUMENTS ${CMAKE_BINARY_DIR}/docs/${name}.gz)
endforeach()
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/docs)
add_custom_target(documents ALL DEPENDS ${COMPRESSED_DOCUMENTS})
install(FILES ${CMAKE_BINARY_DIR}/docs/triangles.1.gz ${CMAKE_BINARY_DIR}/docs/triangles-export.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT viewer)
install(FILES ${CMAKE_BINARY_DIR}/docs/changelog.gz packaging/copyright
        DESTINATION ${CMAKE_INSTALL_DOCDIR} COMPONENT viewer)

install(FILES ${CMAKE_BINARY_DIR}/times.ttf DESTINATION ${TRIANGLES_DATA_DIR} COMPONENT bundled_font)
if(TRIANGLES_FONT_LICENSE)
  install(FILES ${TRIANGLES_FONT_LICENSE} DESTINATION ${TRIANGLES_DATA_DIR}
          RENAME times.ttf.LICENSE COMPONENT bundled_font)
endif()

# The Debian package: `cpack -G DEB` in the build folder writes triangles_1.0.0_amd64.deb.
set(PACKAGE_PREFIX /usr)
file(RELATIVE_PATH FONT_FROM_DATA_DIR ${PACKAGE_PREFIX}/${TRIANGLES_DATA_DIR} ${TRIANGLES_FONT})
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/font-link)
file(CREATE_LINK ${FONT_FROM_DATA_DIR} ${CMAKE_BINARY_DIR}/font-link/times.ttf SYMBOLIC)
install(FILES ${CMAKE_BINARY_DIR}/font-link/times.ttf DESTINATION ${TRIANGLES_DATA_DIR}
        COMPONENT font_link EXCLUDE_FROM_ALL)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX ${PACKAGE_PREFIX})
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_COMPONENTS_ALL viewer font_link)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "viewer of the triangles with whole-number sides and perimeter 40")
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION # lines of under 80 characters, as Debian wants them
       "Shows the 33 triangles whose three sides are whole numbers adding up to 40,"
       "nine to a page, each drawn to scale with its longest side as the base,"
       "labelled with its side lengths and marked with a small ring at every unit"
       "of length, so the sides can be counted and the triangles compared on the"
       "screen. The pages can also be saved as BMP or PNG pictures.")
set(TRIANGLES_MAINTAINER "triangles maintainers <maintainers@users.noreply.c-seed-1bee653f.example>"
    CACHE STRING "Maintainer of the Debian package")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${TRIANGLES_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
if(TRIANGLES_FONT_PACKAGE) # the package that provides this font on the release built for
  set(CPACK_DEBIAN_PACKAGE_DEPENDS
      "${TRIANGLES_FONT_PACKAGE} (>= ${TRIANGLES_FONT_PACKAGE_VERSION})")
endif()
include(CPack)
