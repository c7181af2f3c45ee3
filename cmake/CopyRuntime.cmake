# Copies the run-time data folders from SRC to DST (invoked with cmake -P).
foreach(folder Resources Data Lists Dictionaries Plugins)
  if(IS_DIRECTORY ${SRC}/${folder})
    file(COPY ${SRC}/${folder} DESTINATION ${DST})
  else()
    file(MAKE_DIRECTORY ${DST}/${folder})
  endif()
endforeach()
# The starter library is installed only when the learner has none yet.
if(EXISTS ${SRC}/Tree.xml AND NOT EXISTS ${DST}/Tree.xml)
  file(COPY ${SRC}/Tree.xml DESTINATION ${DST})
endif()
