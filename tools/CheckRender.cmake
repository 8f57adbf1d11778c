# tolvane-render: its usage on --help (status 0) and on wrong arguments
# (status 2), and a PNG of a copy of the demo project drawn without a display.
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

file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
file(COPY ${PROGRAM}/Demo/demo.tvp ${PROGRAM}/Demo/demo DESTINATION ${WORK})
# No display at all: the tool picks the offscreen platform itself.
set(ENV{DISPLAY} "")
unset(ENV{QT_QPA_PLATFORM})
execute_process(COMMAND ${TOOL} ${WORK}/demo.tvp ${WORK}/demo.png --size 640x480 --scale 1500 --grid
                        --program ${PROGRAM}
                RESULT_VARIABLE rc ERROR_VARIABLE err)
if(NOT rc EQUAL 0 OR NOT EXISTS ${WORK}/demo.png)
  message(FATAL_ERROR "drawing the demo: status ${rc}, errors: ${err}")
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
