# The program must start without WebKit: none of the libraries it loads at
# start-up (ldd lists them all, also those loaded through others) may be the
# web view library or WebKit, which the browser's engine module opens later.
cmake_policy(VERSION 3.25)
execute_process(COMMAND ldd ${PROGRAM} OUTPUT_VARIABLE libraries RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "ldd ${PROGRAM} failed (${status})")
endif()
string(REGEX MATCHALL "[^\n]*(webview|webkit|javascriptcore)[^\n]*" found "${libraries}")
if(found)
  string(REPLACE ";" "\n" found "${found}")
  message(FATAL_ERROR "${PROGRAM} loads the web engine at start-up:\n${found}")
endif()
