# Use ccache for every compile when it is installed; rebuilds after a branch switch are cheap.
find_program(TARVO_CCACHE ccache)
if(TARVO_CCACHE)
  set(CMAKE_CXX_COMPILER_LAUNCHER "${TARVO_CCACHE}")
endif()
