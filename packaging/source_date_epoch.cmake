# Run by cpack before it installs anything into its staging folder: the tools it runs from then
# on (strip, which on Windows programs would write the time of stripping into the PE header; the
# Debian package's own archive headers) take the time the build stands for from SOURCE_DATE_EPOCH.
# A time the caller set is kept.
if("$ENV{SOURCE_DATE_EPOCH}" STREQUAL "" AND CPACK_QUORVEX_SOURCE_DATE_EPOCH)
  set(ENV{SOURCE_DATE_EPOCH} "${CPACK_QUORVEX_SOURCE_DATE_EPOCH}")
endif()
