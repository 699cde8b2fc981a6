# CLI11 and nlohmann-json, the command line's two header-only libraries, as CLI11::CLI11 and
# nlohmann_json::nlohmann_json.
#
# A native build finds their packages. A cross build for Windows finds nothing of the host's (the
# toolchain file confines every search to the MinGW root), and putting the host's /usr/include on
# its include path would bring glibc's headers in ahead of MinGW's. Being header-only, the two
# libraries serve any target as they are: the cross build looks them up on the host alone and
# offers only their own folders, linked into a folder of the build tree.
if(NOT CMAKE_CROSSCOMPILING)
  find_package(CLI11 REQUIRED)
  find_package(nlohmann_json 3 REQUIRED)
  return()
endif()

find_path(QUORVEX_HOST_CLI11_INCLUDE_DIR CLI/CLI.hpp PATHS /usr/local/include /usr/include
          NO_CMAKE_FIND_ROOT_PATH NO_DEFAULT_PATH)
find_path(QUORVEX_HOST_JSON_INCLUDE_DIR nlohmann/json.hpp PATHS /usr/local/include /usr/include
          NO_CMAKE_FIND_ROOT_PATH NO_DEFAULT_PATH)
if(NOT QUORVEX_HOST_CLI11_INCLUDE_DIR OR NOT QUORVEX_HOST_JSON_INCLUDE_DIR)
  message(FATAL_ERROR "the command line needs CLI11 and nlohmann-json on the build host "
                      "(Debian: apt-get install libcli11-dev nlohmann-json3-dev), or set "
                      "QUORVEX_HOST_CLI11_INCLUDE_DIR and QUORVEX_HOST_JSON_INCLUDE_DIR")
endif()

set(quorvex_host_headers "${CMAKE_BINARY_DIR}/host-headers")
file(MAKE_DIRECTORY "${quorvex_host_headers}")
function(quorvex_link_host_headers include_dir folder)
  set(link "${quorvex_host_headers}/${folder}")
  # file(REMOVE) takes the link away, never what it points to.
  if(IS_SYMLINK "${link}")
    file(REMOVE "${link}")
  endif()
  file(CREATE_LINK "${include_dir}/${folder}" "${link}" SYMBOLIC)
endfunction()
quorvex_link_host_headers("${QUORVEX_HOST_CLI11_INCLUDE_DIR}" CLI)
quorvex_link_host_headers("${QUORVEX_HOST_JSON_INCLUDE_DIR}" nlohmann)

# Imported, so their headers count as system headers and their warnings stay out of ours.
add_library(CLI11::CLI11 INTERFACE IMPORTED)
set_target_properties(CLI11::CLI11 PROPERTIES INTERFACE_INCLUDE_DIRECTORIES
                                              "${quorvex_host_headers}")
add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
set_target_properties(nlohmann_json::nlohmann_json PROPERTIES INTERFACE_INCLUDE_DIRECTORIES
                                                              "${quorvex_host_headers}")
