# Reads the top entry of the changelog (Debian's format), the one place that
# holds the version:
#
#   mz4800 (1.28-1) unstable; urgency=medium
#
#     * ...
#
#    -- Maintainer <address>  Wed, 09 Dec 2026 12:00:00 +0000
#
# and sets, in the caller's scope:
#   MZ_CHANGELOG_VERSION  1.28        the program's version (project VERSION)
#   MZ_PACKAGE_RELEASE    1           the Debian package's release
#   MZ_RELEASE_DATE       2026-12-09  the date of the entry (AppStream data)
#   MZ_RELEASE_MONTH      December 2026  (the manual pages' date)
# A changelog whose top entry does not read so stops the configuration.
function(mz_read_changelog file)
  file(STRINGS ${file} _lines)
  list(GET _lines 0 _head)
  if(NOT _head MATCHES "^mz4800 \\(([0-9]+(\\.[0-9]+)+)-([0-9]+)\\) [a-z-]+; urgency=[a-z]+$")
    message(FATAL_ERROR "${file}: the first line is not \"mz4800 (VERSION-RELEASE) "
                        "DISTRIBUTION; urgency=...\": ${_head}")
  endif()
  set(_version ${CMAKE_MATCH_1})
  set(_release ${CMAKE_MATCH_3})

  # The entry's trailer: the first line starting with " -- ".
  set(_trailer "")
  foreach(_line IN LISTS _lines)
    if(_line MATCHES "^ -- ")
      set(_trailer "${_line}")
      break()
    endif()
  endforeach()
  set(_months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
  set(_names January February March April May June July August September October November
             December)
  if(NOT _trailer MATCHES "^ -- .+ <.+>  [A-Z][a-z][a-z], ([0-9][0-9]) ([A-Z][a-z][a-z]) ([0-9][0-9][0-9][0-9]) ")
    message(FATAL_ERROR "${file}: the top entry has no trailer \" -- NAME <ADDRESS>  DATE\"")
  endif()
  set(_day ${CMAKE_MATCH_1})
  set(_year ${CMAKE_MATCH_3})
  list(FIND _months ${CMAKE_MATCH_2} _m)
  if(_m LESS 0)
    message(FATAL_ERROR "${file}: the top entry's date has no month: ${_trailer}")
  endif()
  list(GET _names ${_m} _name)
  math(EXPR _m "${_m} + 1")
  if(_m LESS 10)
    set(_m "0${_m}")
  endif()

  set(MZ_CHANGELOG_VERSION ${_version} PARENT_SCOPE)
  set(MZ_PACKAGE_RELEASE ${_release} PARENT_SCOPE)
  set(MZ_RELEASE_DATE "${_year}-${_m}-${_day}" PARENT_SCOPE)
  set(MZ_RELEASE_MONTH "${_name} ${_year}" PARENT_SCOPE)
  # A new entry configures the build again.
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${file})
endfunction()
