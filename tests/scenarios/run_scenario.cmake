# Runs one scenario: cmake -DSIM=<tollivane-sim> -DSCENARIO=<NAME.scn> -DWORK=<folder> -P this
# (SIM may be a list: an emulator and its arguments before the program).
foreach(var SIM SCENARIO WORK)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "run_scenario.cmake needs -D${var}=...")
  endif()
endforeach()

get_filename_component(dir ${SCENARIO} DIRECTORY)
get_filename_component(name ${SCENARIO} NAME_WE)
set(expected ${dir}/${name}.expected)
set(expected_stderr ${dir}/${name}.stderr)
# Run from WORK with a relative program folder, so that printed paths do not depend on where
# the build tree lies.
set(program_folder ${WORK}/program)
set(actual ${WORK}/output)
set(actual_stderr ${WORK}/stderr)

file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${program_folder})
if(EXISTS ${dir}/${name}.ini)
  # A plain byte copy: CRLF, a missing last line end and odd bytes must all survive.
  file(COPY_FILE ${dir}/${name}.ini ${program_folder}/Tollivane.ini)
endif()

execute_process(
  COMMAND ${SIM} --dir program
  WORKING_DIRECTORY ${WORK}
  INPUT_FILE ${SCENARIO}
  OUTPUT_FILE ${actual}
  ERROR_FILE ${actual_stderr}
  RESULT_VARIABLE status)

set(failed FALSE)
if(NOT status EQUAL 0)
  message(SEND_ERROR "tollivane-sim exited with ${status}")
  set(failed TRUE)
endif()

find_program(DIFF diff)
function(compare want got what)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${want} ${got}
                  RESULT_VARIABLE different)
  if(different)
    message(SEND_ERROR "${what} differs from ${want}")
    if(DIFF)
      execute_process(COMMAND ${DIFF} -u ${want} ${got})
    endif()
    set(failed TRUE PARENT_SCOPE)
  endif()
endfunction()

if(NOT EXISTS ${expected})
  message(SEND_ERROR "missing ${expected}; this run wrote ${actual}")
  set(failed TRUE)
else()
  compare(${expected} ${actual} "standard output")
endif()

if(EXISTS ${expected_stderr})
  compare(${expected_stderr} ${actual_stderr} "standard error")
else()
  file(READ ${actual_stderr} errors)
  if(NOT errors STREQUAL "")
    message(SEND_ERROR "unexpected standard error:\n${errors}")
    set(failed TRUE)
  endif()
endif()

if(failed)
  message(FATAL_ERROR "scenario ${name} failed")
endif()
