# Windows i686 with mingw-w64.
set(QUORVEL_MINGW_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/MingwToolchain.cmake)
