# tolvane-render: its usage on --help (status 0) and on wrong arguments
# (status 2), and a PNG of a copy of the demo project drawn without a display,
# also with one of its sheets damaged.
# -DTOOL=<tolvane-render> -DPROGRAM=<program folder> -DWORK=<scratch folder>
execute_process(COMMAND ${TOOL} --help RESULT_VARIABLE rc OUTPUT_VARIABLE out)
if(NOT rc EQUAL 0 OR NOT out MATCHES "usage: tolvane-render")
  message(FATAL_ERROR "--help: status ${rc}, output: ${out}")
endif()
foreach(args "--size;0x10;a.tvp;b.png" "--scale;x;a.tvp;b.png" "--center;1;a.tvp;b.png" "a.tvp" "--what;a.tvp;b.png")
  execute_process(COMMAND ${TOOL} ${args} RESULT_VARIABLE rc ERROR_VARIABLE err OUTPUT_QUIET)
  if(NOT rc EQUAL 2 OR NOT err MATCHES "usage: tolvane-render")
    message(FATAL_ERROR "${args}: status ${rc}, errors: ${err}")
  endif()
endforeach()

# The project's files with their hashes, into the variable named.
function(projectFiles out)
  file(GLOB files ${WORK}/demo/* ${WORK}/demo.tvp)
  set(list)
  foreach(f IN LISTS files)
    file(SHA256 ${f} h)
    list(APPEND list "${f}=${h}")
  endforeach()
  set(${out} "${list}" PARENT_SCOPE)
endfunction()

file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
file(COPY ${PROGRAM}/Demo/demo.tvp ${PROGRAM}/Demo/demo DESTINATION ${WORK})
# Beside the parcels: a layer of its own named "parcels~" (a copy of the
# roads), and beside the roads an older version's done marker over files that
# are not a save's: drawing leaves all of them as they are.
foreach(ext shp shx dbf)
  file(COPY_FILE ${WORK}/demo/roads.${ext} ${WORK}/demo/parcels~.${ext})
  file(COPY_FILE ${WORK}/demo/buildings.${ext} ${WORK}/demo/roads~.${ext})
endforeach()
file(WRITE ${WORK}/demo/roads~.Done "")
# No display at all: the tool picks the offscreen platform itself.
set(ENV{DISPLAY} "")
unset(ENV{QT_QPA_PLATFORM})
# A settings store of the user's own, which the tool must leave as it is.
set(ENV{HOME} ${WORK}/home)
set(ENV{XDG_CONFIG_HOME} ${WORK}/home/.config)
set(store ${WORK}/home/.config/tolvane/registry.reg)
file(WRITE ${store} "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Tolvane 2]\n\"TempDir\"=\"${WORK}\"\n")
file(SHA256 ${store} storeBefore)
projectFiles(layersBefore)
execute_process(COMMAND ${TOOL} ${WORK}/demo.tvp ${WORK}/demo.png --size 640x480 --scale 1500 --grid
                        --program ${PROGRAM}
                RESULT_VARIABLE rc ERROR_VARIABLE err)
if(NOT rc EQUAL 0 OR NOT EXISTS ${WORK}/demo.png)
  message(FATAL_ERROR "drawing the demo: status ${rc}, errors: ${err}")
endif()
# The store, the project and its layers as they were; no snapshot is left.
file(SHA256 ${store} storeAfter)
file(GLOB storeFolder ${WORK}/home/.config/tolvane/*)
if(NOT storeAfter STREQUAL storeBefore OR NOT storeFolder STREQUAL store)
  message(FATAL_ERROR "the settings store changed: ${storeFolder}")
endif()
projectFiles(layersAfter)
if(NOT layersAfter STREQUAL layersBefore)
  message(FATAL_ERROR "the project's files changed:\n${layersBefore}\n->\n${layersAfter}")
endif()
file(READ ${WORK}/demo.png head LIMIT 8 HEX)
if(NOT head STREQUAL "89504e470d0a1a0a")
  message(FATAL_ERROR "demo.png is no PNG file")
endif()
execute_process(COMMAND ${TOOL} ${WORK}/missing.tvp ${WORK}/x.png --program ${PROGRAM}
                RESULT_VARIABLE rc ERROR_VARIABLE err)
if(NOT rc EQUAL 1 OR EXISTS ${WORK}/x.png)
  message(FATAL_ERROR "a missing project: status ${rc}, errors: ${err}")
endif()
# A damaged sheet (the demo's TIFF sheet cut short): the rest of the map is
# drawn, and the message names the file.
execute_process(COMMAND truncate -s 3000 ${WORK}/demo/5310-1.tiff RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cannot cut the sheet")
endif()
execute_process(COMMAND ${TOOL} ${WORK}/demo.tvp ${WORK}/damaged.png --size 640x480 --scale 1500 --program ${PROGRAM}
                RESULT_VARIABLE rc ERROR_VARIABLE err)
if(NOT rc EQUAL 0 OR NOT EXISTS ${WORK}/damaged.png OR NOT err MATCHES "5310-1\\.tiff:\nОшибка чтения файла\\.")
  message(FATAL_ERROR "drawing the demo with a damaged sheet: status ${rc}, errors: ${err}")
endif()
