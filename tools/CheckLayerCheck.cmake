# Checks the layer check on a small tree of its own: what it lets pass, each
# kind of include it refuses, and its usage on --help.
# cmake -DPYTHON=<python3> -DSCRIPT=<check_layers.py> -DORDER=<layers.txt> -DWORK=<scratch> -P CheckLayerCheck.cmake

file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/tools)
configure_file(${ORDER} ${WORK}/tools/layers.txt COPYONLY)

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

# Downwards, within a layer, beside the file and into tests: all allowed.
source(platform/Paths.h "#pragma once")
source(platform/gdi/Canvas.h "#include \"platform/Paths.h\"")
source(platform/ui/Form.h "#include \"platform/gdi/Canvas.h\"")
source(mapdata/Core.h "#include \"platform/gdi/Canvas.h\"\n#include \"Other.h\"")
source(mapdata/Other.h "#pragma once")
source(mapdata/ui/Translate.h "#pragma once")
source(mapdata/ui/Translate.cpp "#include \"platform/ui/Form.h\"\n#include \"mapdata/Core.h\"")
source(app/Main.cpp "#include \"mapdata/ui/Translate.h\"\n#include <QWidget>")
source(tests/app/Test.cpp "#include \"app/Main.h\"")
run(0)

function(refused path text expected)
  source(${path} "${text}")
  run(1)
  if(NOT output MATCHES "${expected}")
    message(FATAL_ERROR "${path}: expected \"${expected}\" in: ${output}")
  endif()
  file(REMOVE ${WORK}/${path})
endfunction()

refused(platform/Up.cpp "// upwards\n#include \"mapdata/Core.h\""
        "platform/Up.cpp:2: includes mapdata/Core.h \\(mapdata\\) above platform")
refused(platform/gdi/Peer.cpp "#include \"platform/db/Table.h\""
        "platform/gdi/Peer.cpp:1: includes platform/db/Table.h \\(platform/db\\) above platform/gdi")
refused(mapengine/Headless.cpp "#include \"mapdata/ui/Translate.h\""
        "mapengine/Headless.cpp:1: includes mapdata/ui/Translate.h \\(mapdata/ui\\) above mapengine")
refused(mapdata/Beside.cpp "#include \"ui/Translate.h\""
        "includes ui/Translate.h \\(mapdata/ui\\) above mapdata")
refused(newfolder/Unit.cpp "#pragma once" "newfolder/Unit.cpp: no layer holds this folder")

# The copy of the order in the architecture notes must be the order.
file(WRITE ${WORK}/docs/ARCHITECTURE.md "# Notes\n<!-- layers -->\n```\nplatform\n```\n<!-- /layers -->\n")
run(1)
if(NOT output MATCHES "differs from the order file")
  message(FATAL_ERROR "a wrong copy of the order passed: ${output}")
endif()
file(REMOVE ${WORK}/docs/ARCHITECTURE.md)

run(0 --help)
if(NOT output MATCHES "Usage: check_layers.py")
  message(FATAL_ERROR "no usage on --help: ${output}")
endif()
run(2 --frobnicate)
