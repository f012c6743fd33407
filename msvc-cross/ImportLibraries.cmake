# Makes the import libraries the MSVC-ABI cross build links against:
#
#   cmake -DARCH=i386|x86_64 -DDLL_DIR=<Wine's *-windows folder of DLLs>
#         -DARCHIVE_DIR=<Wine's import archives (libkernel32.a, ...)>
#         -DOUTPUT_DIR=<dir> -DREADOBJ=llvm-readobj -DNM=llvm-nm
#         -DDLLTOOL=llvm-dlltool -P ImportLibraries.cmake
#
# Wine's own import archives leave out every C++ export (msvcp140 consists
# of little else), so the list of names comes from the export table of each
# DLL that Wine runs. On 32-bit x86 a __stdcall function is linked by its
# decorated name (GetModuleFileNameA@12) but imported by its plain one; the
# decoration, which an export table does not record, comes from Wine's
# archive. Writes <name>.lib for each DLL and stamps the set as complete.

foreach(var ARCH DLL_DIR OUTPUT_DIR READOBJ DLLTOOL)
  if(NOT ${var})
    message(FATAL_ERROR "${var} is not set")
  endif()
endforeach()
if(ARCH STREQUAL "i386")
  foreach(var ARCHIVE_DIR NM)
    if(NOT ${var})
      message(FATAL_ERROR "${var} is not set")
    endif()
  endforeach()
  set(machine i386)
elseif(ARCH STREQUAL "x86_64")
  set(machine i386:x86-64)
else()
  message(FATAL_ERROR "ARCH must be i386 or x86_64, not ${ARCH}")
endif()

# The DLL file, and its name as a module imports it (as Microsoft's import
# libraries spell it).
set(libraries
  kernel32=KERNEL32.dll
  user32=USER32.dll
  ntdll=ntdll.dll
  msvcp140=MSVCP140.dll
  vcruntime140=VCRUNTIME140.dll
  ucrtbase=ucrtbase.dll)

file(MAKE_DIRECTORY ${OUTPUT_DIR})
foreach(entry IN LISTS libraries)
  string(REPLACE "=" ";" pair "${entry}")
  list(GET pair 0 name)
  list(GET pair 1 module)

  set(dll ${DLL_DIR}/${name}.dll)
  if(NOT EXISTS ${dll})
    message(FATAL_ERROR "${dll} not found: is Wine installed for ${ARCH}?")
  endif()
  execute_process(COMMAND ${READOBJ} --coff-exports ${dll}
                  OUTPUT_VARIABLE dump RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${READOBJ} --coff-exports ${dll} failed")
  endif()
  string(REGEX MATCHALL "\n  Name: [^\n]+" found "${dump}")

  # i386: plain name -> name@N for the __stdcall exports.
  set(decorated "")
  if(ARCH STREQUAL "i386")
    set(archive ${ARCHIVE_DIR}/lib${name}.a)
    if(NOT EXISTS ${archive})
      message(FATAL_ERROR "${archive} not found: run scripts/setup.sh")
    endif()
    execute_process(COMMAND ${NM} --defined-only ${archive}
                    OUTPUT_VARIABLE symbols RESULT_VARIABLE status ERROR_QUIET)
    string(REGEX MATCHALL " I __imp__[A-Za-z0-9_]+@[0-9]+" stdcalls "${symbols}")
    foreach(symbol IN LISTS stdcalls)
      string(REGEX REPLACE "^ I __imp__" "" symbol "${symbol}")
      string(REGEX REPLACE "@[0-9]+$" "" plain "${symbol}")
      set(stdcall_${plain} ${symbol})
      list(APPEND decorated ${plain})
    endforeach()
  endif()

  set(def "LIBRARY ${module}\nEXPORTS\n")
  foreach(line IN LISTS found)
    string(REGEX REPLACE "^\n  Name: " "" export "${line}")
    if(export STREQUAL "")
      continue()
    endif()
    if(DEFINED stdcall_${export})
      string(APPEND def "  ${stdcall_${export}}\n")
    else()
      string(APPEND def "  ${export}\n")
    endif()
  endforeach()
  foreach(plain IN LISTS decorated)
    unset(stdcall_${plain})
  endforeach()

  file(WRITE ${OUTPUT_DIR}/${name}.def "${def}")
  set(dlltool_args -m ${machine} -d ${OUTPUT_DIR}/${name}.def -l ${OUTPUT_DIR}/${name}.lib)
  if(ARCH STREQUAL "i386")
    list(APPEND dlltool_args -k)
  endif()
  execute_process(COMMAND ${DLLTOOL} ${dlltool_args} RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${DLLTOOL} failed on ${OUTPUT_DIR}/${name}.def")
  endif()
endforeach()
file(WRITE ${OUTPUT_DIR}/complete.stamp "${ARCH}\n")
