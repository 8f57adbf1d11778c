# Checks the Windows-1251 writer of text resources on small inputs whose bytes
# are known: cmake -DTOOL=<utf8to1251> -DWORK=<scratch folder> -P CheckUtf8To1251.cmake

file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})

function(expect_bytes name input expected_hex)
  file(WRITE ${WORK}/${name}.txt "${input}")
  execute_process(COMMAND ${TOOL} ${WORK}/${name}.txt ${WORK}/${name}.out RESULT_VARIABLE rc ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${name}: the tool failed: ${err}")
  endif()
  file(READ ${WORK}/${name}.out hex HEX)
  if(NOT hex STREQUAL expected_hex)
    message(FATAL_ERROR "${name}: expected ${expected_hex}, got ${hex}")
  endif()
endfunction()

function(expect_refused name input)
  file(WRITE ${WORK}/${name}.txt "${input}")
  execute_process(COMMAND ${TOOL} ${WORK}/${name}.txt ${WORK}/${name}.out RESULT_VARIABLE rc ERROR_VARIABLE err)
  if(rc EQUAL 0)
    message(FATAL_ERROR "${name}: accepted")
  endif()
  if(EXISTS ${WORK}/${name}.out)
    message(FATAL_ERROR "${name}: an output was written although the input was refused")
  endif()
  if(NOT err MATCHES "${ARGN}")
    message(FATAL_ERROR "${name}: unexpected message: ${err}")
  endif()
endfunction()

# "[Файл]" LF "Ёё№" CR LF "€": Cyrillic letters, the letters outside the
# alphabet block and signs of the high half; line ends become CR LF.
expect_bytes(letters "[Файл]\nЁё№\r\n€" "5bd4e0e9eb5d0d0aa8b8b90d0a88")
# A leading byte order mark is dropped.
string(ASCII 239 187 191 bom)
expect_bytes(bom "${bom}a=1\n" "613d310d0a")
# A character outside the code page is named with its line.
expect_refused(outside "a=1\nb=中\n" "txt:2: the character U\\+4e2d")
# Bytes that are not UTF-8.
string(ASCII 255 208 bad)
expect_refused(notutf8 "a=${bad}\n" "not UTF-8")
