# The Debian package: `cpack -G DEB` in the build folder (tools/package.sh).
# Its dependencies are read from the binaries by dpkg-shlibdeps. Its version
# is the changelog's top entry (data/changelog): 1.28-1 is version 1.28,
# package release 1.

set(CPACK_PACKAGE_NAME mz4800)
set(CPACK_PACKAGE_VENDOR "MZ4800 Control developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY ${PROJECT_DESCRIPTION})
set(CPACK_PACKAGE_HOMEPAGE_URL ${MZ_HOMEPAGE})
set(CPACK_PACKAGE_CONTACT ${MZ_MAINTAINER})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# Then without the compiler's .comment section (cmake/strip_comment.cmake).
set(CPACK_MZ_STRIP ${CMAKE_STRIP})
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/strip_comment.cmake)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # mz4800_<version>-<release>_<arch>.deb
set(CPACK_DEBIAN_PACKAGE_RELEASE ${MZ_PACKAGE_RELEASE})
# The control files with the modes Debian wants, whatever the umask.
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${MZ_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt finds its window-system plug-ins (xcb, wayland) in qt6-qpa-plugins, which
# no binary links to; the window's Arial is Liberation Sans; Help > Contents
# opens the user manual with the desktop's xdg-open.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation, xdg-utils")
# The first line of the Description is CPACK_PACKAGE_DESCRIPTION_SUMMARY.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "MZ4800 Control sets up and runs radiated RF immunity tests with the MZ4800,
a signal synthesiser with field-strength measurement that drives a power
amplifier and a field cell. It drives the instrument over RS-232, shows the
state of the instrument and of the equipment under test on lamps, draws the
field reached live on a graph, records one result per step, saves results,
set-ups and pre-scans as text files and prints the results as a plot or a
table.

Without an instrument the program runs in a simulation mode. The package
also holds mz4800-emulator, which plays the instrument on a
pseudo-terminal.")

set(CPACK_GENERATOR DEB)
include(CPack)
