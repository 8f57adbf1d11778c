# tolvane-script: the intermediate program of the worked example byte for
# byte and of every language's golden script, an error as "line:col:
# message" with status 1, and an unknown language refused; the same program
# run in the four languages prints the same text, and an error while running
# prints its message with status 2.
# -DTOOL=<tolvane-script> -DGOLDEN=<tests/script/golden>
# -DPROGRAMS=<tests/script/programs> -DWORK=<scratch folder>
function(expectIL language source golden)
  execute_process(COMMAND ${TOOL} --language ${language} --il ${GOLDEN}/${source}
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  file(READ ${GOLDEN}/${golden} expected)
  if(NOT rc EQUAL 0 OR NOT out STREQUAL expected)
    message(FATAL_ERROR "${source}: status ${rc}, errors: ${err}\n${out}")
  endif()
endfunction()
execute_process(COMMAND ${TOOL} --il ${GOLDEN}/example.pas RESULT_VARIABLE rc OUTPUT_VARIABLE out)
file(READ ${GOLDEN}/example.il expected)
if(NOT rc EQUAL 0 OR NOT out STREQUAL expected)
  message(FATAL_ERROR "example: status ${rc}\n${out}")
endif()
expectIL(PascalScript PascalScript.pas PascalScript.il)
expectIL(D++Eviviz D++Eviviz.cpp D++Eviviz.il)
expectIL(ZoridEdodud ZoridEdodud.vb ZoridEdodud.il)
expectIL(JScript JScript.js JScript.il)

file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
file(WRITE ${WORK}/error.pas "begin\n  a := 1 b := 2\nend.\n")
execute_process(COMMAND ${TOOL} ${WORK}/error.pas RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 1 OR NOT err STREQUAL "2:10: ';' expected\n" OR NOT out STREQUAL "")
  message(FATAL_ERROR "error.pas: status ${rc}, errors: ${err}")
endif()
# An error in a unit is preceded by the unit's name.
file(WRITE ${WORK}/main.js "import \"unit.js\"\nx = 1;\n")
file(WRITE ${WORK}/unit.js "y = ;\n")
execute_process(COMMAND ${TOOL} --language JScript main.js WORKING_DIRECTORY ${WORK}
                RESULT_VARIABLE rc ERROR_VARIABLE err)
if(NOT rc EQUAL 1 OR NOT err STREQUAL "unit.js:1:5: Expression expected\n")
  message(FATAL_ERROR "main.js: status ${rc}, errors: ${err}")
endif()
execute_process(COMMAND ${TOOL} --language Cobol ${WORK}/error.pas RESULT_VARIABLE rc ERROR_VARIABLE err)
if(NOT rc EQUAL 1 OR NOT err MATCHES "Language 'Cobol' not found")
  message(FATAL_ERROR "Cobol: status ${rc}, errors: ${err}")
endif()

file(READ ${PROGRAMS}/tour.out tour)
foreach(run IN ITEMS "PascalScript;tour.pas" "D++Eviviz;tour.cpp" "ZoridEdodud;tour.vb" "JScript;tour.js")
  list(GET run 0 language)
  list(GET run 1 source)
  execute_process(COMMAND ${TOOL} --language ${language} ${PROGRAMS}/${source}
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0 OR NOT out STREQUAL tour)
    message(FATAL_ERROR "${source}: status ${rc}, errors: ${err}\n${out}")
  endif()
endforeach()
file(WRITE ${WORK}/fails.pas "begin\n  Print(1);\n  RaiseException('no data');\n  Print(2);\nend.\n")
execute_process(COMMAND ${TOOL} ${WORK}/fails.pas RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 2 OR NOT out STREQUAL "1\n" OR NOT err STREQUAL "no data\n")
  message(FATAL_ERROR "fails.pas: status ${rc}, output ${out}, errors: ${err}")
endif()
