# cmake -DOBJDUMP=... -DALLOWED="a.dll;b.dll" -DFILES="x.exe;y.exe" -P CheckImports.cmake
# Fails when an executable imports at load time a DLL outside ALLOWED (the
# KnownDLLs): one that Windows would look for beside it first.
cmake_minimum_required(VERSION 3.25)
foreach(file IN LISTS FILES)
  execute_process(COMMAND ${OBJDUMP} -p ${file} OUTPUT_VARIABLE dump COMMAND_ERROR_IS_FATAL ANY)
  string(REGEX MATCHALL "DLL Name: [^\r\n]+" names "${dump}")
  foreach(name IN LISTS names)
    string(REPLACE "DLL Name: " "" dll "${name}")
    string(TOLOWER "${dll}" dll)
    if(NOT dll IN_LIST ALLOWED)
      message(SEND_ERROR "${file} imports ${dll} at load time: add it to TESSALY_DELAY_DLLS")
    endif()
  endforeach()
endforeach()
