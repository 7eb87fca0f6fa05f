# DLLs that are not KnownDLLs are found beside the program first, so one
# planted there (in the temporary folder, beside Update.exe) would run inside
# it before WinMain. The programs import these only through delay-import
# libraries, made here from the system's import libraries and put on the link
# path ahead of them: a plain `wininet` in target_link_libraries then links
# the delay-loaded one, and the programs load it from the system folder
# (base/SystemDlls_win.cpp) on its first use.
#
# TESSALY_DELAY_DLLS names them; the tests plant DLLs of these names too
# (tests/e2e), from the planted-<name>.def files made beside the libraries.
# oleaut32 and shell32 are KnownDLLs, but the client needs neither before its
# splash shows, so they load on first use, after it.
set(TESSALY_DELAY_DLLS bcrypt comctl32 gdiplus msimg32 oleaut32 shell32 version wininet)
# What the programs may import at load time: KnownDLLs of every Windows since 7.
set(TESSALY_LOAD_TIME_DLLS advapi32.dll gdi32.dll kernel32.dll msvcrt.dll ole32.dll oleaut32.dll
  shell32.dll user32.dll)
set(TESSALY_DELAY_DIR ${CMAKE_BINARY_DIR}/delay-imports)

function(tessaly_make_delay_imports)
  find_program(TESSALY_NM NAMES ${triple}-nm REQUIRED)
  find_program(TESSALY_OBJDUMP NAMES ${triple}-objdump REQUIRED)
  find_program(TESSALY_DLLTOOL NAMES ${triple}-dlltool REQUIRED)
  file(MAKE_DIRECTORY ${TESSALY_DELAY_DIR})
  foreach(dll IN LISTS TESSALY_DELAY_DLLS)
    set(library ${TESSALY_DELAY_DIR}/lib${dll}.a)
    if(EXISTS ${library})
      continue()
    endif()
    find_file(system_library lib${dll}.a PATHS ${CMAKE_FIND_ROOT_PATH}/lib NO_DEFAULT_PATH REQUIRED)
    execute_process(COMMAND ${TESSALY_NM} ${system_library} OUTPUT_VARIABLE symbols COMMAND_ERROR_IS_FATAL ANY)
    unset(system_library CACHE)
    string(REGEX MATCHALL " I __imp_[A-Za-z0-9_@?$]+" imports "${symbols}")
    list(TRANSFORM imports REPLACE " I __imp_" "")
    list(REMOVE_DUPLICATES imports)
    list(JOIN imports "\n" exports)
    file(WRITE ${TESSALY_DELAY_DIR}/${dll}.def "LIBRARY ${dll}.dll\nEXPORTS\n${exports}\n")
    list(JOIN imports " = PlantedStub\n" planted)
    file(WRITE ${TESSALY_DELAY_DIR}/planted-${dll}.def "LIBRARY ${dll}.dll\nEXPORTS\n${planted} = PlantedStub\n")
    execute_process(COMMAND ${TESSALY_DLLTOOL} --input-def ${TESSALY_DELAY_DIR}/${dll}.def
      --output-delaylib ${library} COMMAND_ERROR_IS_FATAL ANY)
  endforeach()
endfunction()

tessaly_make_delay_imports()
link_directories(BEFORE ${TESSALY_DELAY_DIR})
