# The layer check as a step of the build: tools/check_layers.py holds every
# include of the layers' sources and every link of the libraries that
# tolvane_subsystem makes against tools/layers.txt. Every library with sources
# waits for it (cmake/Subsystem.cmake), so a wrong include or link stops the
# build before anything compiles. It runs again only when a source of a layer,
# the layers file, the checker, the architecture notes (which keep a copy of
# the layers) or the libraries' links change.

# The checker needs the standard library only: the system's interpreter
# (tools/deps.sh installs it) unless one is named, as a wrapper found first on
# the PATH may take seconds to start, and the check runs on every change.
if(NOT DEFINED Python3_EXECUTABLE AND EXISTS /usr/bin/python3)
  set(Python3_EXECUTABLE /usr/bin/python3)
endif()
find_package(Python3 REQUIRED COMPONENTS Interpreter)

set(TOLVANE_LAYER_LINKS ${CMAKE_BINARY_DIR}/layer-links.txt)
set(TOLVANE_LAYER_STAMP ${CMAKE_BINARY_DIR}/layer-check.stamp)

# Every folder the checker walks: all but the free ones, hidden ones and build
# folders, as check_layers.py does.
file(GLOB tops LIST_DIRECTORIES true RELATIVE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/*)
set(layer_sources)
foreach(top IN LISTS tops)
  if(NOT IS_DIRECTORY ${CMAKE_SOURCE_DIR}/${top} OR top MATCHES "^(\\.|build)" OR top MATCHES "^(tests|bench|fuzz|tools)$")
    continue()
  endif()
  file(GLOB_RECURSE found CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${top}/*.h ${CMAKE_SOURCE_DIR}/${top}/*.hpp
       ${CMAKE_SOURCE_DIR}/${top}/*.cpp ${CMAKE_SOURCE_DIR}/${top}/*.cc)
  list(APPEND layer_sources ${found})
endforeach()

add_custom_command(OUTPUT ${TOLVANE_LAYER_STAMP}
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tools/check_layers.py --root ${CMAKE_SOURCE_DIR}
          --links ${TOLVANE_LAYER_LINKS}
  COMMAND ${CMAKE_COMMAND} -E touch ${TOLVANE_LAYER_STAMP}
  DEPENDS ${layer_sources} ${CMAKE_SOURCE_DIR}/tools/layers.txt ${CMAKE_SOURCE_DIR}/tools/check_layers.py
          ${CMAKE_SOURCE_DIR}/docs/ARCHITECTURE.md ${TOLVANE_LAYER_LINKS}
  COMMENT "Checking includes and links against tools/layers.txt"
  VERBATIM)
add_custom_target(layer_check DEPENDS ${TOLVANE_LAYER_STAMP})

# Writes the libraries' links for the checker, once every library is made
# (the end of the top-level CMakeLists.txt): "<folder> <target>
# static|interface <the targets it links>...". The file is written again only
# when what it says changes, so a configure run alone does not make the check
# run again.
function(tolvane_write_layer_links)
  get_property(libraries GLOBAL PROPERTY TOLVANE_LAYER_LIBRARIES)
  set(content)
  foreach(library IN LISTS libraries)
    get_target_property(folder ${library} TOLVANE_FOLDER)
    get_target_property(type ${library} TYPE)
    if(type STREQUAL "INTERFACE_LIBRARY")
      set(kind interface)
      get_target_property(links ${library} INTERFACE_LINK_LIBRARIES)
    else()
      set(kind static)
      get_target_property(links ${library} LINK_LIBRARIES)
    endif()
    if(NOT links)
      set(links)
    endif()
    list(JOIN links " " links)
    string(APPEND content "${folder} ${library} ${kind} ${links}\n")
  endforeach()
  file(GENERATE OUTPUT ${TOLVANE_LAYER_LINKS} CONTENT "${content}")
endfunction()
