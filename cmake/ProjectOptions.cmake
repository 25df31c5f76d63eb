# Compiler settings shared by every target of the project.

if(OLVANE_SANITIZE)
  add_compile_options(-fsanitize=${OLVANE_SANITIZE} -fno-omit-frame-pointer)
  add_link_options(-fsanitize=${OLVANE_SANITIZE})
  if(OLVANE_SANITIZE MATCHES "undefined")
    add_compile_options(-fno-sanitize-recover=undefined)
  endif()
endif()

# Warnings are errors on the project's own code. A few of GCC's flow-based
# warnings misfire under sanitizer instrumentation and on libstdc++ string code
# at -O3 (GCC 12); they stay warnings.
function(olvane_target_defaults target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror
    $<$<CXX_COMPILER_ID:GNU>:-Wno-error=maybe-uninitialized -Wno-error=stringop-overflow -Wno-error=array-bounds
    -Wno-error=restrict -Wno-error=stringop-overread>)
  # The sanitizer reads its default suppressions from the executable itself.
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "EXECUTABLE" AND OLVANE_SANITIZE MATCHES "thread")
    target_sources(${target} PRIVATE ${PROJECT_SOURCE_DIR}/cmake/ThreadSanitizerDefaults.cpp)
  endif()
endfunction()

# The source and build folders, for the few targets that find files by them.
# Only those get the definitions: a folder in every compile command would make
# each checkout's objects differ, and a compiler cache could not share them.
function(olvane_folder_definitions target)
  target_compile_definitions(${target} PRIVATE
    OLVANE_SOURCE_DIR="${PROJECT_SOURCE_DIR}" OLVANE_BINARY_DIR="${PROJECT_BINARY_DIR}")
endfunction()

# One shared library per layer: every .cpp under the folder belongs to it.
function(olvane_library name)
  cmake_parse_arguments(ARG "" "" "PUBLIC_LIBS;PRIVATE_LIBS" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_library(${name} SHARED ${sources})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_PUBLIC_LIBS} PRIVATE ${ARG_PRIVATE_LIBS})
  # Installed beside each other, the libraries find one another through $ORIGIN.
  set_target_properties(${name} PROPERTIES VERSION ${PROJECT_VERSION} SOVERSION ${OLVANE_SOVERSION}
    INSTALL_RPATH "$ORIGIN")
  olvane_target_defaults(${name})
endfunction()

# A command-line program whose sources are every .cpp in the calling folder.
function(olvane_program name)
  cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
  olvane_target_defaults(${name})
endfunction()
