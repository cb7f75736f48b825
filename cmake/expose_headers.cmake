# tollivane_expose_headers(<target> <folder under src/> [FILES <header>...])
#
# Makes src/<folder> (or only the listed headers in it) reachable as "<folder>/..." to the
# target and to what links it, and to nothing else: each target gets an include root of its
# own in the build tree holding a link to its folder. So a library that includes a header of
# a folder it does not link fails to compile, instead of the boundary showing only at link time.
function(tollivane_expose_headers target folder)
  cmake_parse_arguments(PARSE_ARGV 2 arg "" "" "FILES")
  set(root ${CMAKE_BINARY_DIR}/include/${target})
  set(source ${PROJECT_SOURCE_DIR}/src/${folder})
  if(arg_FILES)
    file(MAKE_DIRECTORY ${root}/${folder})
    foreach(header IN LISTS arg_FILES)
      file(CREATE_LINK ${source}/${header} ${root}/${folder}/${header} COPY_ON_ERROR SYMBOLIC)
    endforeach()
  else()
    get_filename_component(parent ${root}/${folder} DIRECTORY)
    file(MAKE_DIRECTORY ${parent})
    file(CREATE_LINK ${source} ${root}/${folder} COPY_ON_ERROR SYMBOLIC)
  endif()
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    target_include_directories(${target} INTERFACE ${root})
  else()
    target_include_directories(${target} PUBLIC ${root})
  endif()
endfunction()
