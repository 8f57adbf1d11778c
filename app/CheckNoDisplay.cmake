# Runs the program without a display: it must say so and end with status 2.
execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY --unset=QT_QPA_PLATFORM
                        ${PROGRAM}
                RESULT_VARIABLE status ERROR_VARIABLE err OUTPUT_VARIABLE out TIMEOUT 30)
if(NOT status EQUAL 2)
  message(FATAL_ERROR "status ${status}, expected 2: ${err}${out}")
endif()
if(NOT err MATCHES "no display is available")
  message(FATAL_ERROR "no message about the display: ${err}${out}")
endif()
