# Checks the binary interface of the built plug-in.
#   cmake -DTOOL=<objdump or nm> -DLIBRARY=<path> -P CheckLibraryAbi.cmake
# A Windows DLL (checked with objdump -p) must be a 32-bit PE for i386 that
# exports registConvert alone and imports only the system and C++ runtime
# DLLs that ship with it. A shared object (checked with nm -D) must define
# no dynamic symbol but registConvert.

foreach(var TOOL LIBRARY)
  if(NOT ${var})
    message(FATAL_ERROR "${var} is not set")
  endif()
endforeach()
if(NOT EXISTS "${LIBRARY}")
  message(FATAL_ERROR "${LIBRARY} does not exist")
endif()

set(failures "")
macro(fail text)
  string(APPEND failures "  ${text}\n")
endmacro()

function(expect_list what expected actual)
  list(SORT expected)
  list(SORT actual)
  if(NOT "${expected}" STREQUAL "${actual}")
    set(failures "${failures}  ${what}: expected [${expected}], found [${actual}]\n" PARENT_SCOPE)
  endif()
endfunction()

if(LIBRARY MATCHES "\\.dll$")
  execute_process(COMMAND ${TOOL} -p ${LIBRARY} OUTPUT_VARIABLE dump RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${TOOL} -p ${LIBRARY} failed: ${status}")
  endif()

  if(NOT dump MATCHES "file format pei-i386")
    fail("not a pei-i386 file")
  endif()
  if(NOT dump MATCHES "\nMagic[ \t]+010b")
    fail("optional header magic is not 010b (PE32)")
  endif()

  # Names listed after "[Ordinal/Name Pointer] Table", up to the blank line.
  set(exports "")
  if(dump MATCHES "\\[Ordinal/Name Pointer\\] Table\n(([ \t]+\\[[ 0-9]+\\][^\n]*\n)*)")
    string(REGEX MATCHALL "\\][ \t]+[^ \t\n]+" entries "${CMAKE_MATCH_1}")
    foreach(entry IN LISTS entries)
      string(REGEX REPLACE "^\\][ \t]+" "" name "${entry}")
      list(APPEND exports ${name})
    endforeach()
  endif()
  expect_list("exports" "registConvert" "${exports}")

  string(REGEX MATCHALL "DLL Name: [^\n]+" imported "${dump}")
  set(imports "")
  foreach(entry IN LISTS imported)
    string(REPLACE "DLL Name: " "" name "${entry}")
    list(APPEND imports ${name})
  endforeach()
  expect_list("imports" "KERNEL32.dll;USER32.dll;msvcrt.dll;libstdc++-6.dll;libgcc_s_dw2-1.dll" "${imports}")
else()
  execute_process(COMMAND ${TOOL} -D --defined-only ${LIBRARY} OUTPUT_VARIABLE dump RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${TOOL} -D --defined-only ${LIBRARY} failed: ${status}")
  endif()
  string(REGEX MATCHALL "[^\n]+" lines "${dump}")
  set(symbols "")
  foreach(line IN LISTS lines)
    string(REGEX REPLACE "^.* " "" name "${line}")
    list(APPEND symbols ${name})
  endforeach()
  expect_list("defined dynamic symbols" "registConvert" "${symbols}")
endif()

if(failures)
  message(FATAL_ERROR "${LIBRARY}:\n${failures}")
endif()
message(STATUS "${LIBRARY}: interface as expected")
