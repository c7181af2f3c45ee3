# Configures the tiny project with one CASE and checks how configuration ends:
# "ok" must configure and build, "include" must configure but not build (its
# source includes a header of a library it does not link), and every other
# case must fail to configure with the layer rule's message.
cmake_policy(VERSION 3.25)
file(REMOVE_RECURSE ${WORK})
execute_process(
  COMMAND ${CMAKE_COMMAND} -S ${CMAKE_CURRENT_LIST_DIR} -B ${WORK} -G ${GENERATOR}
          -DCASE=${CASE} -DHELPERS=${HELPERS}
  RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
set(expected_ok "^$")
set(expected_up "pw_reach \\(layer 0\\) links pw_high, which is not declared before it")
set(expected_same "pw_beside \\(layer 0\\) links pw_low \\(layer 0\\): a library may link only libraries of lower layers")
set(expected_gui "pw_plain \\(layer 2\\) links the GUI toolkit but is not declared GUI")
if(CASE STREQUAL "ok" OR CASE STREQUAL "include")
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "A project that keeps its layers failed to configure:\n${err}")
  endif()
  # The library builds with the headers of what it links.
  execute_process(COMMAND ${CMAKE_COMMAND} --build ${WORK} RESULT_VARIABLE built ERROR_VARIABLE berr
                  OUTPUT_VARIABLE bout)
  if(CASE STREQUAL "ok" AND NOT built EQUAL 0)
    message(FATAL_ERROR "The layered project did not build:\n${bout}${berr}")
  endif()
  if(CASE STREQUAL "include" AND (built EQUAL 0 OR NOT bout MATCHES "low/Low.h"))
    message(FATAL_ERROR "A library found the headers of a library it does not link:\n${bout}")
  endif()
else()
  string(REPLACE "\n" " " flat "${err}")
  string(REGEX REPLACE " +" " " flat "${flat}")
  if(result EQUAL 0)
    message(FATAL_ERROR "Configuration accepted the forbidden link of case ${CASE}.")
  endif()
  if(NOT flat MATCHES "${expected_${CASE}}")
    message(FATAL_ERROR "Configuration failed for another reason than the layer rule:\n${err}")
  endif()
endif()
file(REMOVE_RECURSE ${WORK})
