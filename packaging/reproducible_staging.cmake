# Run by cpack once it has installed everything into its staging folder, before it archives it:
# every file and folder there gets the time the build stands for (the last commit's), so no
# member of a package tells when it was built and two builds of one commit give the same bytes.
# The archive's own headers take the same time from SOURCE_DATE_EPOCH (source_date_epoch.cmake).
if(NOT CPACK_QUORVEX_SOURCE_DATE_EPOCH OR NOT CPACK_TEMPORARY_INSTALL_DIRECTORY)
  return()
endif()
execute_process(
  COMMAND find "${CPACK_TEMPORARY_INSTALL_DIRECTORY}" -exec
          touch -h -d "@${CPACK_QUORVEX_SOURCE_DATE_EPOCH}" {} +
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "could not set the staged files' times (${result})")
endif()
