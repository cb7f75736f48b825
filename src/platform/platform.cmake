# Chooses the backends behind platform.hpp. The simulation is always built: the tests
# and tollivane-sim run on it.
add_library(tollivane_platform INTERFACE)
target_include_directories(tollivane_platform INTERFACE ${CMAKE_CURRENT_LIST_DIR}/..)

if(UNIX)
  add_subdirectory(${CMAKE_CURRENT_LIST_DIR}/posix ${CMAKE_CURRENT_BINARY_DIR}/platform/posix)
endif()
add_subdirectory(${CMAKE_CURRENT_LIST_DIR}/sim ${CMAKE_CURRENT_BINARY_DIR}/platform/sim)

find_package(X11 COMPONENTS Xi Xtst)
find_package(Qt6 COMPONENTS Widgets Test)
if(X11_FOUND AND X11_Xi_FOUND AND Qt6_FOUND)
  add_subdirectory(${CMAKE_CURRENT_LIST_DIR}/x11 ${CMAKE_CURRENT_BINARY_DIR}/platform/x11)
  add_subdirectory(${CMAKE_CURRENT_LIST_DIR}/qt ${CMAKE_CURRENT_BINARY_DIR}/platform/qt)
elseif(WIN32)
  message(STATUS "Windows backend not built yet")
else()
  message(STATUS "Qt 6 or X11 not found: building the simulation only")
endif()
