# tarvo_set_warnings(target): the project's warning level, errors when TARVO_WERROR is on.
function(tarvo_set_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor
                                           -Wold-style-cast -Wcast-align -Woverloaded-virtual)
  if(TARVO_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
