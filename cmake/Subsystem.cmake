# tolvane_subsystem(<name> [DEPS <targets>...])
# Makes a static library from every source of the calling folder and its
# subfolders (sources are picked up by glob so that a new unit needs no edit
# here), except those of a subfolder with a CMakeLists.txt of its own: such a
# folder is a library of its own (platform/gdi, mapengine/ui ...). A folder
# without sources yet becomes an interface library, so dependants link
# unchanged. The library waits for the layer check (cmake/LayerCheck.cmake),
# which holds its includes and links against tools/layers.txt.
function(tolvane_subsystem name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS
       ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  list(FILTER sources EXCLUDE REGEX "/main\\.cpp$")
  file(GLOB_RECURSE own_lists CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*/CMakeLists.txt)
  foreach(list_file ${own_lists})
    get_filename_component(own_dir ${list_file} DIRECTORY)
    set(kept)
    foreach(src ${sources})
      string(FIND "${src}" "${own_dir}/" at)
      if(NOT at EQUAL 0)
        list(APPEND kept ${src})
      endif()
    endforeach()
    set(sources ${kept})
  endforeach()
  set(cpp ${sources})
  list(FILTER cpp INCLUDE REGEX "\\.cpp$")
  if(cpp)
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
    add_dependencies(${name} layer_check)
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${CMAKE_SOURCE_DIR})
    target_link_libraries(${name} INTERFACE ${ARG_DEPS})
  endif()
  file(RELATIVE_PATH folder ${CMAKE_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  set_target_properties(${name} PROPERTIES TOLVANE_FOLDER ${folder})
  set_property(GLOBAL APPEND PROPERTY TOLVANE_LAYER_LIBRARIES ${name})
endfunction()
