# tolvane-classinfo prints the table of TFont as the fixture has it.
#   cmake -DTOOL=<tolvane-classinfo> -DEXPECTED=<file> -P CheckClassInfo.cmake
execute_process(COMMAND ${TOOL} TFont RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "tolvane-classinfo TFont: status ${rc}: ${err}")
endif()
file(READ ${EXPECTED} expected)
if(NOT out STREQUAL expected)
  message(FATAL_ERROR "tolvane-classinfo TFont printed:\n${out}\nexpected:\n${expected}")
endif()
execute_process(COMMAND ${TOOL} TNoSuchClass RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(rc EQUAL 0 OR NOT err MATCHES "no registered class")
  message(FATAL_ERROR "tolvane-classinfo TNoSuchClass: status ${rc}: ${err}")
endif()
