# Where `cmake --install` puts things: the GNU layout under CMAKE_INSTALL_PREFIX
# (/usr/local by default; DESTDIR is honoured by CMake itself).
#
#   bin/                       the player and the command-line tools
#   lib/olvane/                the four libraries, with their SONAME links
#   share/olvane/              demo play script and captures, help page, shape library
#   share/applications, share/metainfo, share/mime/packages, share/icons/hicolor, share/man/man1
include(GNUInstallDirs)

# The libraries serve this program family only: no headers are installed and
# "libplatform" is far too general a name for the linker's search path, so
# they live in a private folder. Programs find them relative to themselves,
# so an installed tree works wherever it is moved and needs no ldconfig.
set(OLVANE_INSTALL_LIBDIR ${CMAKE_INSTALL_LIBDIR}/olvane)
set(OLVANE_INSTALL_DATADIR ${CMAKE_INSTALL_DATADIR}/olvane)
file(RELATIVE_PATH olvane_bin_to_lib ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_LIBDIR}/olvane)
set(CMAKE_INSTALL_RPATH "$ORIGIN/${olvane_bin_to_lib}")

# 0.x releases may change the interface with every minor version, so the
# SONAME carries both numbers until 1.0.
if(PROJECT_VERSION_MAJOR EQUAL 0)
  set(OLVANE_SOVERSION ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR})
else()
  set(OLVANE_SOVERSION ${PROJECT_VERSION_MAJOR})
endif()

# The programs and libraries an installed tree holds (olvane-uidemo is a
# developer's example and stays in the build tree).
set(OLVANE_INSTALLED_PROGRAMS olvane olvane-probe olvane-export olvane-mkcapture olvane-mkskin olvane-preview)
set(OLVANE_INSTALLED_LIBRARIES platform sintra glimra pravex)
