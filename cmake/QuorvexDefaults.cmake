# Warnings and sanitizer flags shared by every target of ours; the hardening and reproducibility
# flags of every target of the tree; the time the build stands for.

# The time the build stands for: the last commit's, or SOURCE_DATE_EPOCH when the caller sets it
# (tools/reproducible_check.sh gives a second tree the first one's). Whatever goes into a package
# and would carry a time takes this one, so two builds of one commit give the same bytes. Cached
# only so a second tree can be given it; every configure sets it afresh.
if(DEFINED ENV{SOURCE_DATE_EPOCH} AND NOT "$ENV{SOURCE_DATE_EPOCH}" STREQUAL "")
  set(epoch "$ENV{SOURCE_DATE_EPOCH}")
else()
  execute_process(COMMAND git log -1 --format=%ct
                  WORKING_DIRECTORY "${PROJECT_SOURCE_DIR}"
                  OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE
                  RESULT_VARIABLE git_result ERROR_QUIET)
  if(NOT git_result EQUAL 0)
    set(epoch "")
  endif()
endif()
if(NOT epoch MATCHES "^[0-9]+$")
  # A source tree without git history (an unpacked archive): a fixed time still keeps two builds
  # alike.
  set(epoch 0)
endif()
set(QUORVEX_SOURCE_DATE_EPOCH "${epoch}" CACHE INTERNAL "Time the build stands for" FORCE)
unset(epoch)
unset(git_result)
if(NOT QUORVEX_SOURCE_DATE_EPOCH STREQUAL "0")
  # Tools run by the build that stamp a time honour it: Qt's resource compiler would otherwise
  # write the icon file's modification time (the time of the checkout) into the program.
  set_property(GLOBAL PROPERTY RULE_LAUNCH_CUSTOM
               "${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${QUORVEX_SOURCE_DATE_EPOCH}")
endif()

if(NOT MSVC)
  # Neither the source nor the build folder appears in a program, its debug information or an
  # assertion's text, wherever the tree was checked out or built.
  add_compile_options("-ffile-prefix-map=${PROJECT_SOURCE_DIR}=."
                      "-ffile-prefix-map=${PROJECT_BINARY_DIR}=build")
endif()
# moc's output includes its header through the include path ("ui/main_frm.h") rather than by a
# path relative to the build folder, whose ../ count differs from one build folder to another and
# would reach the program's debug information and so its build ID.
set(CMAKE_AUTOMOC_PATH_PREFIX ON)

# Hardening, as Debian builds its own packages (dpkg-buildflags with hardening=+all), for every
# program, library and test of the tree, in every build type. Not with the sanitizers or
# libFuzzer: their run-time checks replace the fortified functions and fight the stack checks.
if(CMAKE_SYSTEM_NAME STREQUAL "Linux" AND NOT MSVC AND NOT QUORVEX_SANITIZE AND NOT QUORVEX_FUZZ)
  include(CheckPIESupported)
  check_pie_supported()
  set(CMAKE_POSITION_INDEPENDENT_CODE ON)
  add_compile_options(-fstack-protector-strong -fstack-clash-protection -fcf-protection
                      -Wformat -Werror=format-security)
  # Fortified functions need the optimiser; a Debug build would only be warned that they are off.
  add_compile_definitions(
    "$<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:_FORTIFY_SOURCE=2>")
  add_link_options(-Wl,-z,relro -Wl,-z,now)
  set(QUORVEX_HARDENED ON)
elseif(MINGW)
  # Address space layout randomisation (also above 4 GiB) and no execution of data pages, for
  # every exe of the tree; the stack protector's run time is linked in statically with the rest.
  # No time stamp in the PE header: two builds of one commit give the same bytes.
  add_compile_options(-fstack-protector-strong)
  add_link_options(-fstack-protector-strong -Wl,--dynamicbase -Wl,--high-entropy-va
                   -Wl,--nxcompat -Wl,--no-insert-timestamp)
endif()

# A stripped program of the Debian package also loses the compilers' version notes (.comment,
# .note), as Debian's own packaging strips them. Install rules call one program with the file
# alone, so the options go into a small wrapper that takes the place of strip; it must be in place
# before the first install rule is made.
if(CMAKE_SYSTEM_NAME STREQUAL "Linux" AND CMAKE_STRIP AND NOT CMAKE_STRIP MATCHES "quorvex-strip$")
  set(wrapper "${PROJECT_BINARY_DIR}/quorvex-strip")
  file(WRITE "${wrapper}.tmp" "#!/bin/sh\nexec '${CMAKE_STRIP}' "
       [=[--remove-section=.comment --remove-section=.note "$@"]=] "\n")
  file(CHMOD "${wrapper}.tmp" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
                                          GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
  file(RENAME "${wrapper}.tmp" "${wrapper}")
  set(CMAKE_STRIP "${wrapper}")
  unset(wrapper)
endif()

function(quorvex_defaults target)
  if(MSVC)
    target_compile_options(${target} PRIVATE /W4)
  else()
    # Conversions that may change a value, and names that hide others, are warned of too: a
    # register byte or a channel number narrowed unnoticed is a wrong frame on the line.
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wconversion -Wshadow
                                             -Wsign-conversion)
  endif()
  if(QUORVEX_WERROR)
    target_compile_options(${target} PRIVATE $<IF:$<CXX_COMPILER_ID:MSVC>,/WX,-Werror>)
  endif()
  if(QUORVEX_SANITIZE)
    target_compile_options(${target} PRIVATE -fsanitize=address,undefined -fno-sanitize-recover=all
                                             -fno-omit-frame-pointer)
    target_link_options(${target} PRIVATE -fsanitize=address,undefined)
  endif()
endfunction()

# Every package cpack makes from this tree (the Debian package, the zips, the installer) gives its
# files the time the build stands for instead of the time they were built or checked out.
set(CPACK_QUORVEX_SOURCE_DATE_EPOCH "${QUORVEX_SOURCE_DATE_EPOCH}")
set(CPACK_INSTALL_SCRIPTS "${PROJECT_SOURCE_DIR}/packaging/source_date_epoch.cmake")
set(CPACK_PRE_BUILD_SCRIPTS "${PROJECT_SOURCE_DIR}/packaging/reproducible_staging.cmake")
