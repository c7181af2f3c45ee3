# Helpers every subsystem uses to declare its library, tests, fuzzers and benchmarks.

set(PW_WARNINGS -Wall -Wextra)

if(PW_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
elseif(PW_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

# pw_add_library(name SOURCES ... [LIBS ...])
function(pw_add_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_compile_options(${name} PRIVATE ${PW_WARNINGS})
  target_link_libraries(${name} PUBLIC ${ARG_LIBS})
endfunction()

# pw_add_test(label name SOURCES ... [LIBS ...] [GUI] [AUDIO] [SLOW] [TIMEOUT s])
# Registers one GoogleTest executable with CTest under the subsystem label.
# GUI tests also carry the label "gui" and need a display (xvfb-run -a);
# AUDIO tests share the PulseAudio null sink, so they never run at once;
# SLOW tests carry the label "slow" and run once, in the main configuration.
function(pw_add_test label name)
  if(PW_FUZZ)
    return()
  endif()
  cmake_parse_arguments(ARG "GUI;AUDIO;SLOW" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_compile_options(${name} PRIVATE ${PW_WARNINGS})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} pw_testsupport GTest::gtest GTest::gmock
                                        GTest::gtest_main)
  set(labels ${label})
  if(ARG_GUI)
    list(APPEND labels gui)
  endif()
  if(ARG_AUDIO)
    list(APPEND labels audio)
  endif()
  if(ARG_SLOW)
    list(APPEND labels slow)
  endif()
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 300)
  endif()
  add_test(NAME ${name} COMMAND ${name} WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  set_tests_properties(${name} PROPERTIES LABELS "${labels}" TIMEOUT ${ARG_TIMEOUT}
    ENVIRONMENT "PW_SOURCE_DIR=${PROJECT_SOURCE_DIR};PW_RUNTIME_DIR=${PW_RUNTIME_DIR};PW_BUILD_DIR=${CMAKE_BINARY_DIR}")
  set(locks)
  if(ARG_AUDIO)
    list(APPEND locks pulse_sink)
  endif()
  if(ARG_GUI)
    list(APPEND locks gui_display)
  endif()
  if(locks)
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK "${locks}")
  endif()
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
  target_compile_options(${name} PRIVATE ${PW_WARNINGS})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} benchmark::benchmark)
endfunction()

# Copies the data folders beside the executable; a learner's own library
# (Tree.xml) and settings there are never overwritten.
function(pw_copy_runtime_folders)
  set(stamp ${CMAKE_BINARY_DIR}/runtime_folders.stamp)
  file(GLOB_RECURSE data_files CONFIGURE_DEPENDS
       ${PROJECT_SOURCE_DIR}/Resources/* ${PROJECT_SOURCE_DIR}/Data/*
       ${PROJECT_SOURCE_DIR}/Lists/* ${PROJECT_SOURCE_DIR}/Dictionaries/*
       ${PROJECT_SOURCE_DIR}/Plugins/* ${PROJECT_SOURCE_DIR}/Tree.xml)
  add_custom_command(OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} -DSRC=${PROJECT_SOURCE_DIR} -DDST=${PW_RUNTIME_DIR}
            -P ${PROJECT_SOURCE_DIR}/cmake/CopyRuntime.cmake
    COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
    DEPENDS ${data_files} ${PROJECT_SOURCE_DIR}/cmake/CopyRuntime.cmake
    COMMENT "Copying run-time folders beside the executable")
  add_custom_target(runtime_folders ALL DEPENDS ${stamp})
endfunction()
