# The platform layers refuse upward includes. For every pair of layers, a
# source compiled with one layer's include paths includes a public header of
# the other: it must compile exactly when the other layer is the same or
# below, and otherwise fail because the header is not found (not for any
# other reason). The order is written out here on purpose, so that a link
# added or dropped in cmake/CoreTargets.cmake shows up as a failure.
#
#   cmake -DCXX=<compiler> -DSOURCE_DIR=<source> -DWORK_DIR=<scratch>
#         -DLAYERS=<a,b,..> -DINCLUDES_<layer>=<dir|dir|..> ... -P check.cmake
cmake_minimum_required(VERSION 3.25)

set(below_core "")
set(below_settings core)
set(below_browser core)
set(below_drawing core browser)
set(below_commandbars core browser drawing)

string(REPLACE "," ";" LAYERS "${LAYERS}")
set(expected_layers core settings browser drawing commandbars)
if(NOT LAYERS STREQUAL "${expected_layers}")
  message(FATAL_ERROR "layering: the layers are ${LAYERS}, this test knows ${expected_layers}")
endif()

file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
set(failures "")
foreach(to ${LAYERS})
  # Any public header of the layer stands for all of it.
  file(GLOB headers ${SOURCE_DIR}/src/platform/${to}/include/tavixTGCL2/platform/*.h)
  list(SORT headers)
  list(GET headers 0 header)
  get_filename_component(header ${header} NAME)
  set(probe ${WORK_DIR}/includes_${to}.cpp)
  file(WRITE ${probe} "#include \"platform/${header}\"\n")
  foreach(from ${LAYERS})
    string(REPLACE "|" ";" dirs "${INCLUDES_${from}}")
    list(TRANSFORM dirs PREPEND -I)
    execute_process(COMMAND ${CXX} -std=c++20 -fsyntax-only ${dirs} ${probe}
                    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
    if(from STREQUAL to OR to IN_LIST below_${from})
      if(rc)
        list(APPEND failures "${from} cannot include ${to}'s platform/${header}: ${out}")
      endif()
    elseif(NOT rc)
      list(APPEND failures "${from} includes ${to}'s platform/${header}, a higher or unrelated layer")
    elseif(NOT out MATCHES "platform/${header}: No such file or directory")
      list(APPEND failures "${from} including ${to}'s platform/${header} fails for another reason: ${out}")
    endif()
  endforeach()
endforeach()
if(failures)
  list(JOIN failures "\n" failures)
  message(FATAL_ERROR "layering:\n${failures}")
endif()
message(STATUS "layering: every layer sees itself and the layers below, nothing above")
