# Opt-in static analysis while compiling; the checks live in .clang-tidy.
if(TARVO_CLANG_TIDY)
  find_program(TARVO_CLANG_TIDY_EXE NAMES clang-tidy clang-tidy-14 REQUIRED)
  set(CMAKE_CXX_CLANG_TIDY "${TARVO_CLANG_TIDY_EXE}")
endif()
