# Every tool says its usage: with --help and with -h on standard output and
# status 0; with a wrong argument on standard error and a status other than 0,
# before it does any work.
#   cmake "-DHELP=<command>;..." "-DREFUSING=<command>;..." -P CheckUsage.cmake
# HELP: every tool; REFUSING: those that check their arguments themselves
# (tools/test.sh hands its arguments to ctest).

foreach(tool IN LISTS HELP)
  foreach(option --help -h)
    execute_process(COMMAND ${tool} ${option} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT rc EQUAL 0)
      message(FATAL_ERROR "${tool} ${option}: status ${rc}: ${err}")
    endif()
    if(NOT out MATCHES "^usage: ")
      message(FATAL_ERROR "${tool} ${option}: no usage on standard output: ${out}")
    endif()
  endforeach()
endforeach()

foreach(tool IN LISTS REFUSING)
  execute_process(COMMAND ${tool} --no-such-option RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(rc EQUAL 0)
    message(FATAL_ERROR "${tool} --no-such-option: accepted")
  endif()
  if(NOT err MATCHES "usage: ")
    message(FATAL_ERROR "${tool} --no-such-option: no usage on standard error: ${err}")
  endif()
endforeach()
