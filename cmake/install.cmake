# What `cmake --install` puts where (GNU layout under CMAKE_INSTALL_PREFIX,
# DESTDIR honoured): the program and the emulator, the desktop entry, the
# icon, the AppStream data, the manual pages, the user manual and the
# demonstration files that the program copies into a missing ~/MZ4800 on first
# start.

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

# Manual pages, compressed as Debian keeps them.
find_program(GZIP_PROGRAM gzip REQUIRED)
set(_man_pages)
foreach(page mz4800.1 mz4800-emulator.1)
  set(_out ${CMAKE_CURRENT_BINARY_DIR}/man/${page}.gz)
  add_custom_command(OUTPUT ${_out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/man
    COMMAND ${GZIP_PROGRAM} -9n -c ${CMAKE_CURRENT_SOURCE_DIR}/data/man/${page} > ${_out}
    DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/data/man/${page}
    VERBATIM)
  list(APPEND _man_pages ${_out})
endforeach()
add_custom_target(man_pages ALL DEPENDS ${_man_pages})
install(FILES ${_man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The user manual (Help > Contents): its page and pictures in the
# documentation folder, where the program looks for them relative to itself.
install(DIRECTORY docs/manual/ DESTINATION ${CMAKE_INSTALL_DOCDIR}
        FILES_MATCHING PATTERN "*.html" PATTERN "*.png" PATTERN "*.css")
