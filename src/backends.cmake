# Chooses the OS adapters and the front ends for the system we build for. The simulation is
# always built: the tests and tollivane-sim run on it.
if(WIN32)
  add_subdirectory(platform/win32)
elseif(UNIX)
  add_subdirectory(platform/posix)
endif()
add_subdirectory(frontend/sim)

if(NOT WIN32)
  find_package(X11 COMPONENTS Xi)
  find_package(Qt6 COMPONENTS Widgets)
  if(UNIX AND X11_FOUND AND X11_Xi_FOUND AND Qt6_FOUND)
    add_subdirectory(platform/x11)
    add_subdirectory(frontend/qt)
  else()
    message(STATUS "Qt 6 or X11 not found: building the simulation only")
  endif()
endif()
