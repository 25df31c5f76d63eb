# Third-party libraries, all from Debian's archive (scripts/setup-deps).

find_package(PkgConfig REQUIRED)
pkg_check_modules(SDL2 REQUIRED IMPORTED_TARGET sdl2)
pkg_check_modules(CAIRO REQUIRED IMPORTED_TARGET cairo)
pkg_check_modules(PANGO REQUIRED IMPORTED_TARGET pango pangocairo fontconfig)
pkg_check_modules(GIO REQUIRED IMPORTED_TARGET glib-2.0 gio-2.0 gio-unix-2.0)
pkg_check_modules(SQLITE REQUIRED IMPORTED_TARGET sqlite3)
pkg_check_modules(ZLIB REQUIRED IMPORTED_TARGET zlib)
pkg_check_modules(JPEG REQUIRED IMPORTED_TARGET libjpeg)
pkg_check_modules(PNG REQUIRED IMPORTED_TARGET libpng)
pkg_check_modules(X11 REQUIRED IMPORTED_TARGET x11)
pkg_check_modules(DEFLATE REQUIRED IMPORTED_TARGET libdeflate)
# Time stretching: sound at another speed with its pitch kept.
pkg_check_modules(SOUNDTOUCH REQUIRED IMPORTED_TARGET soundtouch)
# Video files are written by the exporter alone; no library links these.
pkg_check_modules(FFMPEG REQUIRED IMPORTED_TARGET libavcodec libavformat libavfilter libswscale libswresample
                  libavutil)

# libgsm ships no pkg-config file.
find_path(GSM_INCLUDE_DIR gsm.h PATH_SUFFIXES gsm REQUIRED)
find_library(GSM_LIBRARY gsm REQUIRED)
add_library(olvane_gsm INTERFACE)
target_include_directories(olvane_gsm INTERFACE ${GSM_INCLUDE_DIR})
target_link_libraries(olvane_gsm INTERFACE ${GSM_LIBRARY})

find_package(Threads REQUIRED)
if(OLVANE_TESTS)
  find_package(GTest REQUIRED)
  include(GoogleTest)
endif()
if(OLVANE_BENCH)
  find_package(benchmark REQUIRED)
endif()
