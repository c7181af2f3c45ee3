# Helpers every subsystem uses to declare its library, tests, fuzzers and benchmarks.
#
# Libraries are layered (see the table in README.md): a library links only
# libraries of lower layers, and only a library marked GUI links the toolkit
# or another GUI library. Configuration fails when a link breaks either rule.
# Each library's include path holds its own headers and, through its links,
# those of the libraries it may use: the headers of a folder are staged under
# build/include/<target>/<folder>/, so "#include "xml/Element.h"" resolves only
# where pw_xml is linked.

include_guard(GLOBAL)

option(PW_WERROR "Treat compiler warnings as errors" OFF)
set(PW_WARNINGS -Wall -Wextra)
if(PW_WERROR)
  list(APPEND PW_WARNINGS -Werror)
endif()

if(PW_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
elseif(PW_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

set(PW_INCLUDE_ROOT ${CMAKE_BINARY_DIR}/include)
# The folder and layer of every library, for the test that compares them with
# README.md's table.
set(PW_LAYER_LIST ${CMAKE_BINARY_DIR}/layers.txt)
file(WRITE ${PW_LAYER_LIST} "")

# Links the headers (*.h) of the folder dir into stage/<dir relative to the project>/.
function(pw_stage_headers stage dir)
  file(RELATIVE_PATH rel ${PROJECT_SOURCE_DIR} ${dir})
  file(GLOB headers CONFIGURE_DEPENDS ${dir}/*.h)
  file(MAKE_DIRECTORY ${stage}/${rel})
  foreach(header IN LISTS headers)
    get_filename_component(file_name ${header} NAME)
    file(CREATE_LINK ${header} ${stage}/${rel}/${file_name} SYMBOLIC)
  endforeach()
endfunction()

# The headers of every tests/, testsupport/ and bench/ folder, for test
# programs, benchmarks and test helper libraries (they may use each other's
# helpers).
function(pw_stage_test_headers)
  set(stage ${PW_INCLUDE_ROOT}/tests)
  file(REMOVE_RECURSE ${stage})
  set(src ${PROJECT_SOURCE_DIR})
  file(GLOB headers CONFIGURE_DEPENDS ${src}/*/tests/*.h ${src}/*/*/tests/*.h
       ${src}/*/testsupport/*.h ${src}/*/*/testsupport/*.h ${src}/*/bench/*.h
       ${src}/*/*/bench/*.h)
  foreach(header IN LISTS headers)
    file(RELATIVE_PATH rel ${src} ${header})
    get_filename_component(folder ${stage}/${rel} DIRECTORY)
    file(MAKE_DIRECTORY ${folder})
    file(CREATE_LINK ${header} ${stage}/${rel} SYMBOLIC)
  endforeach()
endfunction()

# Fails configuration unless every project library in libs sits below layer
# (and, for a library that is not GUI, links no GUI library or toolkit).
function(pw_check_links name layer gui)
  foreach(lib IN LISTS ARGN)
    if(lib STREQUAL "pw_wx" AND NOT gui)
      message(FATAL_ERROR "${name} (layer ${layer}) links the GUI toolkit but is not declared GUI; "
                          "only GUI libraries may link pw_wx.")
    endif()
    if(lib STREQUAL "pw_wx_webview")
      message(FATAL_ERROR "${name} links the web view library, which brings WebKit into the "
                          "program at start-up; only the engine module of browser/ may link it.")
    endif()
    if(NOT lib MATCHES "^pw_" OR lib STREQUAL "pw_wx")
      continue()
    endif()
    if(NOT TARGET ${lib})
      message(FATAL_ERROR "${name} (layer ${layer}) links ${lib}, which is not declared before it. "
                          "A library links only libraries of lower layers, and those are declared "
                          "first (see PW_SUBSYSTEMS in CMakeLists.txt).")
    endif()
    get_target_property(lib_layer ${lib} PW_LAYER)
    get_target_property(lib_gui ${lib} PW_GUI)
    if(lib_layer STREQUAL "lib_layer-NOTFOUND")
      message(FATAL_ERROR "${name} (layer ${layer}) links ${lib}, which is a test helper, not a layered library.")
    endif()
    if(NOT lib_layer LESS layer)
      message(FATAL_ERROR "${name} (layer ${layer}) links ${lib} (layer ${lib_layer}): a library may "
                          "link only libraries of lower layers.")
    endif()
    if(lib_gui AND NOT gui)
      message(FATAL_ERROR "${name} (layer ${layer}) is not a GUI library but links ${lib}, which is.")
    endif()
  endforeach()
endfunction()

# pw_add_library(name LAYER n [GUI] SOURCES ... [LIBS ...])
# A library of the folder it is declared in, with that folder's headers.
function(pw_add_library name)
  cmake_parse_arguments(ARG "GUI" "LAYER" "SOURCES;LIBS" ${ARGN})
  if(NOT DEFINED ARG_LAYER)
    message(FATAL_ERROR "pw_add_library(${name}): LAYER is required (see README.md's layer table).")
  endif()
  pw_check_links(${name} ${ARG_LAYER} "${ARG_GUI}" ${ARG_LIBS})
  add_library(${name} STATIC ${ARG_SOURCES})
  set_target_properties(${name} PROPERTIES PW_LAYER ${ARG_LAYER} PW_GUI "${ARG_GUI}")
  set(stage ${PW_INCLUDE_ROOT}/${name})
  file(REMOVE_RECURSE ${stage})
  pw_stage_headers(${stage} ${CMAKE_CURRENT_SOURCE_DIR})
  target_include_directories(${name} PUBLIC ${stage})
  target_compile_options(${name} PRIVATE ${PW_WARNINGS})
  target_link_libraries(${name} PUBLIC ${ARG_LIBS})
  file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  file(APPEND ${PW_LAYER_LIST} "${folder} ${ARG_LAYER} ${name}\n")
endfunction()

# pw_add_test_library(name SOURCES ... [LIBS ...])
# Helpers shared by test programs; not layered, never linked by a library.
function(pw_add_test_library name)
  if(PW_FUZZ)
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PW_INCLUDE_ROOT}/tests)
  target_compile_options(${name} PRIVATE ${PW_WARNINGS})
  target_link_libraries(${name} PUBLIC ${ARG_LIBS})
endfunction()

# Gives a test program, benchmark or tool the test helpers' headers.
function(pw_use_test_headers name)
  target_include_directories(${name} PRIVATE ${PW_INCLUDE_ROOT}/tests)
  target_compile_options(${name} PRIVATE ${PW_WARNINGS})
endfunction()

# pw_add_test(label name SOURCES ... [LIBS ...] [GUI] [AUDIO] [SLOW] [TIMEOUT s]
#             [ENVIRONMENT VAR=value ...])
# One GoogleTest program; each of its cases is a CTest entry of its own
# (named <program>.<Suite>.<Case>) under the subsystem label.
# GUI tests also carry the label "gui" and need a display (xvfb-run -a);
# AUDIO tests play into the build's own PulseAudio null sink (started by the
# pulse_server fixture), so they never run at once;
# SLOW tests carry the label "slow" and run once, in the main configuration.
function(pw_add_test label name)
  if(PW_FUZZ)
    return()
  endif()
  cmake_parse_arguments(ARG "GUI;AUDIO;SLOW" "TIMEOUT" "SOURCES;LIBS;ENVIRONMENT" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  pw_use_test_headers(${name})
  # GUI programs take their main from pw_gui_testsupport, the rest from gtest_main.
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} pw_testsupport GTest::gtest GTest::gmock
                                        GTest::gtest_main)
  set(labels ${label})
  set(locks)
  if(ARG_GUI)
    list(APPEND labels gui)
    list(APPEND locks gui_display)
  endif()
  if(ARG_AUDIO)
    list(APPEND labels audio)
    list(APPEND locks pulse_sink)
  endif()
  if(ARG_SLOW)
    list(APPEND labels slow)
  endif()
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 300)
  endif()
  gtest_discover_tests(${name}
    TEST_PREFIX "${name}."
    TEST_LIST ${name}_cases
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/tests
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60)
  # Discovery would flatten list values; a script of ours, read after the
  # discovered cases, gives each case its properties.
  set(script " LABELS [==[${labels}]==] TIMEOUT ${ARG_TIMEOUT}")
  set(environment ${PW_TEST_ENVIRONMENT} ${ARG_ENVIRONMENT})
  string(APPEND script " ENVIRONMENT [==[${environment}]==]")
  if(locks)
    string(APPEND script " RESOURCE_LOCK [==[${locks}]==]")
  endif()
  if(ARG_AUDIO)
    string(APPEND script " FIXTURES_REQUIRED pulse_server")
  endif()
  set(file ${CMAKE_CURRENT_BINARY_DIR}/${name}_properties.cmake)
  file(WRITE ${file} "if(${name}_cases)\n  set_tests_properties(\${${name}_cases} PROPERTIES${script})\nendif()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${file})
endfunction()

# pw_add_fuzzer(name SOURCES ... [LIBS ...] [CORPUS dir])
# Built only in the PW_FUZZ configuration (clang, -fsanitize=fuzzer,address).
# The CI script runs every target listed in fuzzers.txt for a bounded time.
function(pw_add_fuzzer name)
  if(NOT PW_FUZZ)
    return()
  endif()
  cmake_parse_arguments(ARG "" "CORPUS" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
  target_include_directories(${name} PRIVATE ${PW_INCLUDE_ROOT}/tests)
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
  file(APPEND ${CMAKE_BINARY_DIR}/fuzzers.txt "${name} ${ARG_CORPUS}\n")
endfunction()

# pw_add_benchmark(name SOURCES ... [LIBS ...])
function(pw_add_benchmark name)
  if(PW_FUZZ OR PW_SANITIZE OR NOT PW_BENCHMARKS)
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
  pw_use_test_headers(${name})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} benchmark::benchmark)
endfunction()

# Copies the data folders beside the executable; a learner's own library
# (Tree.xml) and settings there are never overwritten.
function(pw_copy_runtime_folders)
  set(stamp ${CMAKE_BINARY_DIR}/runtime_folders.stamp)
  file(GLOB_RECURSE data_files CONFIGURE_DEPENDS
       ${PROJECT_SOURCE_DIR}/Resources/* ${PROJECT_SOURCE_DIR}/Data/*
       ${PROJECT_SOURCE_DIR}/Lists/* ${PROJECT_SOURCE_DIR}/Dictionaries/*
       ${PROJECT_SOURCE_DIR}/Plugins/* ${PROJECT_SOURCE_DIR}/Tree.xml
       ${PROJECT_SOURCE_DIR}/Log.xml)
  add_custom_command(OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} -DSRC=${PROJECT_SOURCE_DIR} -DDST=${PW_RUNTIME_DIR}
            -P ${PROJECT_SOURCE_DIR}/cmake/CopyRuntime.cmake
    COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
    DEPENDS ${data_files} ${PROJECT_SOURCE_DIR}/cmake/CopyRuntime.cmake
    COMMENT "Copying run-time folders beside the executable")
  add_custom_target(runtime_folders ALL DEPENDS ${stamp})
endfunction()
