# External libraries as imported targets, found once for every subsystem.
find_package(PkgConfig REQUIRED)
find_package(Threads REQUIRED)

if(NOT PW_FUZZ)
  find_package(GTest REQUIRED)
  if(PW_BENCHMARKS AND NOT PW_SANITIZE)
    find_package(benchmark REQUIRED)
  endif()
  # wxWidgets' find module gives flags, not a target: wrap them once here.
  # The web view library brings WebKit with it, which takes long to load: only
  # the browser's engine module links it (pw_wx_webview), so that the program
  # starts without it.
  foreach(target IN ITEMS pw_wx pw_wx_webview)
    if(target STREQUAL "pw_wx")
      find_package(wxWidgets 3.2 REQUIRED COMPONENTS core base)
    else()
      find_package(wxWidgets 3.2 REQUIRED COMPONENTS webview core base)
    endif()
    add_library(${target} INTERFACE)
    target_include_directories(${target} SYSTEM INTERFACE ${wxWidgets_INCLUDE_DIRS})
    target_compile_definitions(${target} INTERFACE ${wxWidgets_DEFINITIONS})
    target_compile_options(${target} INTERFACE ${wxWidgets_CXX_FLAGS})
    target_link_libraries(${target} INTERFACE ${wxWidgets_LIBRARIES})
  endforeach()
  pkg_check_modules(PUGIXML IMPORTED_TARGET pugixml)
endif()

pkg_check_modules(PCRE2 REQUIRED IMPORTED_TARGET libpcre2-16)
pkg_check_modules(ESPEAK REQUIRED IMPORTED_TARGET espeak-ng)
pkg_check_modules(SNDFILE REQUIRED IMPORTED_TARGET sndfile)
pkg_check_modules(MPG123 REQUIRED IMPORTED_TARGET libmpg123)
pkg_check_modules(VORBISFILE REQUIRED IMPORTED_TARGET vorbisfile)
pkg_check_modules(SOUNDTOUCH REQUIRED IMPORTED_TARGET soundtouch)
pkg_check_modules(SAMPLERATE REQUIRED IMPORTED_TARGET samplerate)
pkg_check_modules(PORTAUDIO REQUIRED IMPORTED_TARGET portaudio-2.0)

# MeCab has no pkg-config file on Debian: its library and header as a target.
find_library(MECAB_LIBRARY NAMES mecab REQUIRED)
find_path(MECAB_INCLUDE_DIR NAMES mecab.h REQUIRED)
add_library(MeCab::MeCab UNKNOWN IMPORTED)
set_target_properties(MeCab::MeCab PROPERTIES IMPORTED_LOCATION ${MECAB_LIBRARY}
                                              INTERFACE_INCLUDE_DIRECTORIES ${MECAB_INCLUDE_DIR})
