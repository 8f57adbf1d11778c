# Checks the layer check on a small tree of its own: what it lets pass, each
# kind of include and link it refuses, the layers files it refuses, and its
# usage on --help.
# cmake -DPYTHON=<python3> -DSCRIPT=<check_layers.py> -DWORK=<scratch> -P CheckLayerCheck.cmake

file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/tools)

# Explicit lists: mapengine may include mapdata but not what mapdata includes;
# app's list goes on on a second line.
set(layers [[
# The layers of the small tree.
platform        :
platform/gdi    : platform
platform/db     : platform
platform/ui ui  : platform platform/gdi
mapdata         : platform platform/gdi
mapdata/ui ui   : platform/ui mapdata
mapengine       : mapdata   # no platform
app ui          : mapdata/ui
                  mapdata
]])
file(WRITE ${WORK}/tools/layers.txt "${layers}")

function(source path text)
  file(WRITE ${WORK}/${path} "${text}\n")
endfunction()

function(run expected_rc)
  execute_process(COMMAND ${PYTHON} ${SCRIPT} --root ${WORK} ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out
                  ERROR_VARIABLE err)
  if(NOT rc EQUAL expected_rc)
    message(FATAL_ERROR "expected status ${expected_rc}, got ${rc}: ${out}${err}")
  endif()
  set(output "${out}${err}" PARENT_SCOPE)
endfunction()

# Refused: status 1 and the expected line.
function(refused expected)
  run(1 ${ARGN})
  if(NOT output MATCHES "${expected}")
    message(FATAL_ERROR "expected \"${expected}\" in: ${output}")
  endif()
endfunction()

# Downwards as the lines allow, within a layer, beside the file, on a
# continued line and into tests: all allowed.
source(platform/Paths.h "#pragma once")
source(platform/gdi/Canvas.h "#include \"platform/Paths.h\"")
source(platform/ui/Form.h "#include \"platform/gdi/Canvas.h\"")
source(mapdata/Core.h "#include \"platform/gdi/Canvas.h\"\n#include \"Other.h\"")
source(mapdata/Other.h "#pragma once")
source(mapdata/ui/Translate.h "#pragma once")
source(mapdata/ui/Translate.cpp "#include \"platform/ui/Form.h\"\n#include \"mapdata/Core.h\"")
source(app/Main.cpp "#include \"mapdata/ui/Translate.h\"\n#include \"mapdata/Core.h\"\n#include <QWidget>")
source(tests/app/Test.cpp "#include \"app/Main.h\"")
run(0)

function(refused_include path text expected)
  source(${path} "${text}")
  refused("${expected}")
  file(REMOVE ${WORK}/${path})
endfunction()

refused_include(platform/Up.cpp "// upwards\n#include \"mapdata/Core.h\""
                "platform/Up.cpp:2: includes mapdata/Core.h \\(mapdata\\), which platform may not include")
refused_include(platform/gdi/Peer.cpp "#include \"platform/db/Table.h\""
                "platform/gdi/Peer.cpp:1: includes platform/db/Table.h \\(platform/db\\), which platform/gdi may not")
refused_include(mapengine/Headless.cpp "#include \"mapdata/ui/Translate.h\""
                "mapengine/Headless.cpp:1: includes mapdata/ui/Translate.h \\(mapdata/ui\\), which mapengine may not")
# Not transitive: mapdata may include platform, mapengine may not.
refused_include(mapengine/Skipping.cpp "#include \"mapdata/Core.h\"\n#include \"platform/Paths.h\""
                "mapengine/Skipping.cpp:2: includes platform/Paths.h \\(platform\\), which mapengine may not")
refused_include(mapdata/Beside.cpp "#include \"ui/Translate.h\""
                "includes ui/Translate.h \\(mapdata/ui\\), which mapdata may not include")
refused_include(newfolder/Unit.cpp "#pragma once" "newfolder/Unit.cpp: no layer holds this folder")
file(REMOVE_RECURSE ${WORK}/newfolder)

# Lines that cannot hold: a layer that is none, a ui layer from one that is
# none, a loop; and a line that is no layer's line at all (a usage error).
function(refused_layers text expected)
  file(WRITE ${WORK}/wrong-layers.txt "${layers}${text}\n")
  refused("${expected}" --layers ${WORK}/wrong-layers.txt)
endfunction()
refused_layers("raster : platform nowhere" "raster may include nowhere, which is no layer")
refused_layers("raster : mapdata/ui" "raster may include mapdata/ui, a ui layer, but is none")
refused_layers("raster : geodesy\ngeodesy : raster" "the layers name a loop: raster -> geodesy -> raster")
file(WRITE ${WORK}/wrong-layers.txt "${layers}raster gui : platform\n")
run(2 --layers ${WORK}/wrong-layers.txt)
if(NOT output MATCHES "wrong-layers.txt:11: expected '<folder> \\[ui\\] : <layers it may include>'")
  message(FATAL_ERROR "a malformed line was not told: ${output}")
endif()

# The copy of the layers in the architecture notes must say what the file
# says; the notes may lay it out otherwise.
file(WRITE ${WORK}/docs/ARCHITECTURE.md "# Notes\n<!-- layers -->\n```\n${layers}```\n<!-- /layers -->\n")
run(0)
string(REPLACE "mapengine       : mapdata" "mapengine : platform mapdata" wrong "${layers}")
file(WRITE ${WORK}/docs/ARCHITECTURE.md "# Notes\n<!-- layers -->\n```\n${wrong}```\n<!-- /layers -->\n")
refused("differs from the layers file")
file(REMOVE ${WORK}/docs/ARCHITECTURE.md)

# The libraries' links: what the build writes as layer-links.txt.
set(links [[
platform platform_core static Qt6::Core
platform/gdi platform_gdi static platform_core Qt6::Gui
platform/ui platform_ui static platform_gdi Qt6::Widgets
mapdata mapdata static platform_gdi
mapdata/ui mapdata_ui static mapdata platform_ui
mapengine mapengine interface mapdata
app app static mapdata_ui mapdata
]])
function(links text)
  file(WRITE ${WORK}/links.txt "${text}")
endfunction()
links("${links}")
run(0 --links ${WORK}/links.txt)

# A link the lines do not allow.
string(REPLACE "app app static mapdata_ui mapdata" "app app static mapdata_ui mapdata mapengine" wrong "${links}")
links("${wrong}")
refused("app: links mapengine, which the layers file does not allow" --links ${WORK}/links.txt)
# A link with no include behind it; a library without sources is spared.
string(REPLACE "mapdata mapdata static platform_gdi" "mapdata mapdata static platform_gdi platform_core" wrong
       "${links}")
links("${wrong}")
refused("mapdata: links platform_core, but includes none of its headers" --links ${WORK}/links.txt)
if(output MATCHES "mapengine:")
  message(FATAL_ERROR "a library without sources was held to its links' includes: ${output}")
endif()
# An include of a library that is not linked directly.
string(REPLACE "mapdata/ui mapdata_ui static mapdata platform_ui" "mapdata/ui mapdata_ui static mapdata" wrong
       "${links}")
links("${wrong}")
refused("mapdata/ui: includes platform/ui without linking platform_ui \\(mapdata/ui/Translate.cpp:1\\)"
        --links ${WORK}/links.txt)
# A library in a folder that is no layer.
links("${links}resources resources_data static platform_core\n")
refused("resources: the library resources_data is no layer" --links ${WORK}/links.txt)
links("platform platform_core\n")
run(2 --links ${WORK}/links.txt)

run(0 --help)
if(NOT output MATCHES "Usage: check_layers.py")
  message(FATAL_ERROR "no usage on --help: ${output}")
endif()
run(2 --frobnicate)
