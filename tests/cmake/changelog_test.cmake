# The version's one source, the changelog's top entry, as CMakeLists.txt reads
# it (cmake/changelog.cmake): the repository's changelog gives this build's
# version; a written one gives its version, release and dates; a top entry
# that does not read stops the configuration with the file's name.
# Usage: cmake -DSOURCE=<source dir> -DVERSION=<project version> -DWORK=<dir> -P changelog_test.cmake
cmake_policy(VERSION 3.25)
include(${SOURCE}/cmake/changelog.cmake)

# Run again by the checks below with READ=<file>: only reads it.
if(DEFINED READ)
  mz_read_changelog(${READ})
  message(STATUS "read ${MZ_CHANGELOG_VERSION}")
  return()
endif()

set(failures 0)
macro(expect name value)
  if(NOT "${${name}}" STREQUAL "${value}")
    message(SEND_ERROR "${name} is \"${${name}}\", not \"${value}\"")
    math(EXPR failures "${failures} + 1")
  endif()
endmacro()

mz_read_changelog(${SOURCE}/data/changelog)
expect(MZ_CHANGELOG_VERSION ${VERSION})
if(NOT MZ_PACKAGE_RELEASE MATCHES "^[1-9][0-9]*$")
  message(SEND_ERROR "package release \"${MZ_PACKAGE_RELEASE}\"")
endif()
if(NOT MZ_RELEASE_DATE MATCHES "^20[0-9][0-9]-[01][0-9]-[0-3][0-9]$")
  message(SEND_ERROR "release date \"${MZ_RELEASE_DATE}\"")
endif()

file(MAKE_DIRECTORY ${WORK})
set(entry "\n  * A change.\n\n -- A Maintainer <a@example.org>  Mon, 01 Feb 2027 10:00:00 +0000\n")
file(WRITE ${WORK}/good "mz4800 (2.3.1-4) bookworm; urgency=low\n${entry}\nmz4800 (2.3-1) bookworm; urgency=low\n${entry}")
mz_read_changelog(${WORK}/good)
expect(MZ_CHANGELOG_VERSION 2.3.1)
expect(MZ_PACKAGE_RELEASE 4)
expect(MZ_RELEASE_DATE 2027-02-01)
expect(MZ_RELEASE_MONTH "February 2027")

# Each of these is refused, naming the file. (A head holds a ";", so each is
# written on its own rather than kept in a list.)
set(bad_files)
macro(bad name head)
  file(WRITE ${WORK}/${name} "${head}\n${entry}")
  list(APPEND bad_files ${WORK}/${name})
endmacro()
bad(norelease "mz4800 (2.3) unstable; urgency=medium")
bad(otherpackage "other (2.3-1) unstable; urgency=medium")
bad(nodistribution "mz4800 (2.3-1)")
bad(noversion "mz4800 (two-1) unstable; urgency=medium")
file(WRITE ${WORK}/notrailer "mz4800 (2.3-1) unstable; urgency=medium\n\n  * A change.\n")
file(WRITE ${WORK}/nomonth "mz4800 (2.3-1) unstable; urgency=medium\n\n  * x\n\n -- A <a@b.c>  Mon, 01 Foo 2027 10:00:00 +0000\n")
foreach(f IN LISTS bad_files ITEMS ${WORK}/notrailer ${WORK}/nomonth)
  execute_process(COMMAND ${CMAKE_COMMAND} -DSOURCE=${SOURCE} -DREAD=${f}
                          -P ${CMAKE_CURRENT_LIST_FILE}
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(rc EQUAL 0 OR NOT err MATCHES "${f}")
    message(SEND_ERROR "${f} was not refused with its name: ${rc} ${out}${err}")
    math(EXPR failures "${failures} + 1")
  endif()
endforeach()
file(REMOVE_RECURSE ${WORK})
message(STATUS "changelog checks done, ${failures} failed")
