# Checks the binary interface of the built plug-in.
#   cmake -DTOOL=<objdump or nm> -DLIBRARY=<path>
#         [-DFORMAT=<pei-i386 or pei-x86-64> -DIMPORTS=<a.dll,b.dll,...>
#          -DSEH=SAFESEH|NO_SEH]
#         -P CheckLibraryAbi.cmake
# A Windows DLL (checked with objdump -p) must have the PE format its host
# build needs (FORMAT: pei-i386 is PE32, pei-x86-64 is PE32+), export
# registConvert alone and import exactly the system and C++ runtime DLLs
# that its flavour ships with (IMPORTS). A shared object (checked with nm -D)
# must define no dynamic symbol but registConvert.

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
  if(FORMAT STREQUAL "pei-i386")
    set(magic 010b)
    set(magic_name PE32)
  elseif(FORMAT STREQUAL "pei-x86-64")
    set(magic 020b)
    set(magic_name PE32+)
  else()
    message(FATAL_ERROR "FORMAT must be pei-i386 or pei-x86-64, not '${FORMAT}'")
  endif()
  if(NOT IMPORTS)
    message(FATAL_ERROR "IMPORTS is not set")
  endif()
  string(REPLACE "," ";" expected_imports "${IMPORTS}")

  execute_process(COMMAND ${TOOL} -p ${LIBRARY} OUTPUT_VARIABLE dump RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${TOOL} -p ${LIBRARY} failed: ${status}")
  endif()

  if(NOT dump MATCHES "file format ${FORMAT}\n")
    fail("not a ${FORMAT} file")
  endif()
  if(NOT dump MATCHES "\nMagic[ \t]+${magic}")
    fail("optional header magic is not ${magic} (${magic_name})")
  endif()

  # Host exceptions unwind through the plug-in's frames. A 32-bit image
  # built for Visual Studio's ABI registers its exception handlers in the
  # table its load configuration points at (SAFESEH); marked NO_SEH, none of
  # them would be called (Windows checks, Wine does not). A mingw one unwinds
  # with DWARF-2 and registers none, which NO_SEH says.
  set(no_seh FALSE)
  if(dump MATCHES "\n[ \t]+NO_SEH\n")
    set(no_seh TRUE)
  endif()
  if(SEH STREQUAL "SAFESEH")
    if(no_seh)
      fail("marked NO_SEH: Windows would call none of its exception handlers")
    endif()
    if(NOT dump MATCHES "Entry a [0-9a-f]*[1-9a-f][0-9a-f]* [0-9a-f]+ Load Configuration Directory")
      fail("no load configuration: no table of its exception handlers (SafeSEH)")
    endif()
  elseif(SEH STREQUAL "NO_SEH" AND NOT no_seh)
    fail("not marked NO_SEH, although it registers no SEH handler")
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
  expect_list("imports" "${expected_imports}" "${imports}")
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
