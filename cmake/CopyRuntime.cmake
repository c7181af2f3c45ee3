# Copies the run-time data folders from SRC to DST (invoked with cmake -P).
# Files the learner edits through the program are installed only when missing,
# so that a rebuild never overwrites the learner's own.
set(learner_files Resources/dict.txt Resources/RegexDict.txt Resources/ThemeList.xml)
foreach(folder Resources Data Lists Dictionaries Plugins)
  if(IS_DIRECTORY ${SRC}/${folder})
    file(COPY ${SRC}/${folder} DESTINATION ${DST}
         PATTERN dict.txt EXCLUDE PATTERN RegexDict.txt EXCLUDE PATTERN ThemeList.xml EXCLUDE)
  else()
    file(MAKE_DIRECTORY ${DST}/${folder})
  endif()
endforeach()
foreach(file IN LISTS learner_files)
  if(EXISTS ${SRC}/${file} AND NOT EXISTS ${DST}/${file})
    get_filename_component(folder ${DST}/${file} DIRECTORY)
    file(COPY ${SRC}/${file} DESTINATION ${folder})
  endif()
endforeach()
# The starter library and the empty totals are installed only when the
# learner has none yet.
foreach(file Tree.xml Log.xml)
  if(EXISTS ${SRC}/${file} AND NOT EXISTS ${DST}/${file})
    file(COPY ${SRC}/${file} DESTINATION ${DST})
  endif()
endforeach()
