# Warnings and sanitizer flags shared by every target of ours.
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
