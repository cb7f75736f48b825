# Hardening and reproducibility, on in every build as Debian builds its packages. Our flags go
# before the user's, and a flag the user already sets for the same thing is left out, so the
# user's own flags always win.
option(TOLLIVANE_HARDENING "Build with stack protection, fortified calls and read-only relocations" ON)

string(TOUPPER "${CMAKE_BUILD_TYPE}" config)
foreach(variable CMAKE_C_FLAGS CMAKE_CXX_FLAGS CMAKE_EXE_LINKER_FLAGS)
  set(user_${variable} "${${variable}} ${${variable}_${config}}")
endforeach()

# tollivane_flag_default(<variable> <flag> <pattern>): puts <flag> in front of <variable>
# unless the user's flags match <pattern>.
function(tollivane_flag_default variable flag pattern)
  if(NOT user_${variable} MATCHES "${pattern}")
    set(${variable} "${flag} ${${variable}}" PARENT_SCOPE)
  endif()
endfunction()

# No path of the machine that built it, and no time of the build, in what we ship. Of two
# maps that match, the compiler takes the later: the build folder's, wherever it lies.
foreach(lang C CXX)
  tollivane_flag_default(CMAKE_${lang}_FLAGS "-ffile-prefix-map=${CMAKE_BINARY_DIR}/=build/" "file-prefix-map")
  tollivane_flag_default(CMAKE_${lang}_FLAGS "-ffile-prefix-map=${PROJECT_SOURCE_DIR}/=" "file-prefix-map")
endforeach()
if(WIN32)
  tollivane_flag_default(CMAKE_EXE_LINKER_FLAGS "-Wl,--no-insert-timestamp" "insert-timestamp")
  # The exe's debug sections come from the static runtime: a release carries none.
  if(CMAKE_BUILD_TYPE MATCHES "^(Release|MinSizeRel)$")
    tollivane_flag_default(CMAKE_EXE_LINKER_FLAGS "-s" "(^| )-(s|g)( |$)")
  endif()
endif()

if(NOT TOLLIVANE_HARDENING OR TOLLIVANE_SANITIZE OR TOLLIVANE_FUZZ)
  return()
endif()
if(WIN32)
  # ASLR (with 64-bit addresses where there are any) and no code run from data pages.
  tollivane_flag_default(CMAKE_EXE_LINKER_FLAGS "-Wl,--dynamicbase" "dynamicbase")
  tollivane_flag_default(CMAKE_EXE_LINKER_FLAGS "-Wl,--nxcompat" "nxcompat")
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    tollivane_flag_default(CMAKE_EXE_LINKER_FLAGS "-Wl,--high-entropy-va" "high-entropy-va")
  endif()
else()
  set(CMAKE_POSITION_INDEPENDENT_CODE ON)
  include(CheckPIESupported)
  check_pie_supported()
  foreach(lang C CXX)
    tollivane_flag_default(CMAKE_${lang}_FLAGS "-fstack-protector-strong" "stack-protector")
    # Fortified calls need an optimised build; a Debug build only gets a warning from them.
    if(CMAKE_BUILD_TYPE MATCHES "^(Release|RelWithDebInfo|MinSizeRel)$")
      tollivane_flag_default(CMAKE_${lang}_FLAGS "-D_FORTIFY_SOURCE=2" "_FORTIFY_SOURCE")
    endif()
  endforeach()
  tollivane_flag_default(CMAKE_EXE_LINKER_FLAGS "-Wl,-z,relro" "relro")
  tollivane_flag_default(CMAKE_EXE_LINKER_FLAGS "-Wl,-z,now" "-z,? *(now|lazy)")
endif()
