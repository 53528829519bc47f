# Run by CPack before it packs (CPACK_PRE_BUILD_SCRIPTS): drops the compiler's
# .comment section from the programs, as Debian's own packaging does, after
# CPACK_STRIP_FILES has stripped them.
file(GLOB _programs "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/usr/bin/*")
if(NOT _programs)
  message(FATAL_ERROR "strip_comment: no programs in ${CPACK_TEMPORARY_INSTALL_DIRECTORY}/usr/bin")
endif()
foreach(_p IN LISTS _programs)
  execute_process(COMMAND "${CPACK_MZ_STRIP}" --remove-section=.comment "${_p}"
                  RESULT_VARIABLE _rc)
  if(NOT _rc EQUAL 0)
    message(FATAL_ERROR "strip_comment: ${CPACK_MZ_STRIP} failed on ${_p}")
  endif()
endforeach()
