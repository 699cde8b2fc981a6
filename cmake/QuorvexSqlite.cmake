# SQLite for the history, as the target Quorvex::SQLite. Linux: Debian's libsqlite3. Windows:
# the static library tools/build_sqlite_mingw.sh builds from Debian's sqlite3 source into the
# cache (QUORVEX_SQLITE_PREFIX names another folder). A MinGW tree without it builds without the
# history and says so, as does QUORVEX_HISTORY=OFF; the programs then tell the user that this
# build keeps no history. QUORVEX_HISTORY_BUILT tells the tests which it is.
if(TARGET Quorvex::SQLite)
  return()
endif()

option(QUORVEX_HISTORY "Keep the history of transfers (needs SQLite)" ON)
add_library(quorvex_sqlite INTERFACE)
add_library(Quorvex::SQLite ALIAS quorvex_sqlite)

if(QUORVEX_HISTORY AND WIN32)
  if(NOT QUORVEX_SQLITE_PREFIX)
    execute_process(COMMAND bash ${PROJECT_SOURCE_DIR}/tools/build_sqlite_mingw.sh --prefix
                    OUTPUT_VARIABLE QUORVEX_SQLITE_PREFIX OUTPUT_STRIP_TRAILING_WHITESPACE
                    RESULT_VARIABLE sqlite_found ERROR_QUIET)
    if(NOT sqlite_found EQUAL 0)
      set(QUORVEX_SQLITE_PREFIX "")
    endif()
  endif()
  if(QUORVEX_SQLITE_PREFIX AND EXISTS ${QUORVEX_SQLITE_PREFIX}/lib/libsqlite3.a)
    message(STATUS "History: SQLite for Windows from ${QUORVEX_SQLITE_PREFIX}")
    target_include_directories(quorvex_sqlite SYSTEM INTERFACE ${QUORVEX_SQLITE_PREFIX}/include)
    target_link_libraries(quorvex_sqlite INTERFACE ${QUORVEX_SQLITE_PREFIX}/lib/libsqlite3.a)
  else()
    message(STATUS "History: no SQLite for Windows built (tools/build_sqlite_mingw.sh builds it); "
                   "this tree keeps no history")
    set(history_missing TRUE)
  endif()
elseif(QUORVEX_HISTORY)
  find_package(SQLite3 REQUIRED)
  # The tests open the file past the program; they link it from their own folders.
  set_target_properties(SQLite::SQLite3 PROPERTIES IMPORTED_GLOBAL TRUE)
  target_link_libraries(quorvex_sqlite INTERFACE SQLite::SQLite3)
endif()

if(QUORVEX_HISTORY AND NOT history_missing)
  set(QUORVEX_HISTORY_BUILT ON CACHE INTERNAL "")
else()
  set(QUORVEX_HISTORY_BUILT OFF CACHE INTERNAL "")
  target_compile_definitions(quorvex_sqlite INTERFACE QUORVEX_NO_HISTORY)
endif()
