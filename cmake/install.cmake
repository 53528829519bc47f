# What `cmake --install` puts where (GNU layout under CMAKE_INSTALL_PREFIX,
# DESTDIR honoured): the program and the emulator, the desktop entry, the
# icon, the AppStream data, the manual pages, the copyright and changelog,
# the user manual and the demonstration files that the program copies into a
# missing ~/MZ4800 on first start.

install(TARGETS mz4800 RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET mz4800-emulator)
  install(TARGETS mz4800-emulator RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

install(FILES data/${MZ_DESKTOP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES data/icons/${MZ_DESKTOP_ID}.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES data/icons/${MZ_DESKTOP_ID}.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps)

configure_file(data/${MZ_DESKTOP_ID}.metainfo.xml.in
               ${CMAKE_CURRENT_BINARY_DIR}/${MZ_DESKTOP_ID}.metainfo.xml @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/${MZ_DESKTOP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

install(FILES examples/MZ4800.INI examples/cell0010.csv
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mz4800)

# Manual pages, with the version and the month of the changelog's top entry,
# compressed as Debian keeps them (gzip -9n: no name, no time stamp). So is
# the changelog itself, as the package's changelog.Debian.gz.
find_program(GZIP_PROGRAM gzip REQUIRED)
set(_man_pages)
foreach(page mz4800.1 mz4800-emulator.1)
  configure_file(data/man/${page}.in ${CMAKE_CURRENT_BINARY_DIR}/man/${page} @ONLY)
  set(_out ${CMAKE_CURRENT_BINARY_DIR}/man/${page}.gz)
  add_custom_command(OUTPUT ${_out}
    COMMAND ${GZIP_PROGRAM} -9n -c ${CMAKE_CURRENT_BINARY_DIR}/man/${page} > ${_out}
    DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/man/${page}
    VERBATIM)
  list(APPEND _man_pages ${_out})
endforeach()
set(_changelog ${CMAKE_CURRENT_BINARY_DIR}/changelog.Debian.gz)
add_custom_command(OUTPUT ${_changelog}
  COMMAND ${GZIP_PROGRAM} -9n -c ${CMAKE_CURRENT_SOURCE_DIR}/data/changelog > ${_changelog}
  DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/data/changelog
  VERBATIM)
add_custom_target(compressed_docs ALL DEPENDS ${_man_pages} ${_changelog})
install(FILES ${_man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The documentation folder (share/doc/mz4800): the copyright in Debian's
# machine-readable format and the changelog. The user manual's doc-base entry
# names the manual by its full path, so it is written when installing, under
# the prefix installed to (/usr for the package). lintian's overrides.
install(FILES data/copyright ${_changelog} DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(CODE "
  set(MZ_MANUAL_DIR \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DOCDIR}\")
  set(_entry \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/doc-base/mz4800-manual\")
  message(STATUS \"Installing: \${_entry}\")
  configure_file(\"${CMAKE_CURRENT_SOURCE_DIR}/data/mz4800-manual.doc-base.in\" \"\${_entry}\"
                 @ONLY NO_SOURCE_PERMISSIONS)
")
install(FILES data/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
        RENAME mz4800)

# The user manual (Help > Contents): its page and pictures in the
# documentation folder, where the program looks for them relative to itself.
install(DIRECTORY docs/manual/ DESTINATION ${CMAKE_INSTALL_DOCDIR}
        FILES_MATCHING PATTERN "*.html" PATTERN "*.png" PATTERN "*.css")
