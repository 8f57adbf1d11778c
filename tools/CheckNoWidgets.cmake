# A program without windows: the shared libraries it loads (ldd, so that
# libraries linked through others count too) hold Qt Gui and no Qt Widgets.
# -DTOOL=<program>
execute_process(COMMAND ldd ${TOOL} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "ldd ${TOOL}: status ${rc}, errors: ${err}")
endif()
if(NOT out MATCHES "libQt6Gui")
  message(FATAL_ERROR "ldd names no Qt Gui for ${TOOL}:\n${out}")
endif()
if(out MATCHES "libQt6Widgets")
  message(FATAL_ERROR "${TOOL} loads Qt Widgets:\n${out}")
endif()
