# The one place that chooses the OS adapters and the front ends, as the system allows: Win32 on
# Windows; POSIX files with X11 and Qt elsewhere, and SDL's game controllers where SDL 2 is found;
# without X11 or Qt, the simulation alone. The simulation is always built, over the host's files
# adapter: the tests and tollivane-sim run on it. TOLLIVANE_HOST names the host's per-OS sources
# (foo_posix.cpp, foo_win32.cpp).
if(WIN32)
  set(TOLLIVANE_HOST win32)
  add_subdirectory(platform/win32)
  add_subdirectory(frontend/win32)
else()
  set(TOLLIVANE_HOST posix)
  add_subdirectory(platform/posix)
  find_package(SDL2 CONFIG)
  if(SDL2_FOUND)
    add_subdirectory(platform/sdl)
  else()
    message(STATUS "SDL 2 not found: building without game controllers")
  endif()
  find_package(X11 COMPONENTS Xi Xext xcb X11_xcb)
  find_package(Qt6 COMPONENTS Widgets DBus)
  if(X11_FOUND AND X11_Xi_FOUND AND X11_Xext_FOUND AND X11_X11_xcb_FOUND AND Qt6_FOUND)
    add_subdirectory(platform/x11)
    add_subdirectory(frontend/qt)
  else()
    message(STATUS "Qt 6 or X11 not found: building the simulation only")
  endif()
endif()
add_subdirectory(platform/sim)
add_subdirectory(frontend/sim)
