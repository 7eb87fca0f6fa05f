# Project-wide helpers: warnings for our own code, GoogleTest, test registration.

set(TESSALY_WARNINGS -Wall -Wextra -Wshadow -Werror)

# Our own targets get the strict warnings; third-party code (GoogleTest) does not.
function(tessaly_strict target)
  target_compile_options(${target} PRIVATE ${TESSALY_WARNINGS})
endfunction()

# GoogleTest is built from Debian's sources with the project, for both targets.
macro(tessaly_add_googletest)
  set(GTEST_SOURCE_DIR "/usr/src/googletest" CACHE PATH "GoogleTest sources")
  if(NOT EXISTS "${GTEST_SOURCE_DIR}/CMakeLists.txt")
    message(FATAL_ERROR "GoogleTest sources not found in ${GTEST_SOURCE_DIR}; run tools/setup.sh")
  endif()
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(${GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
  if(WIN32)
    # The win32 thread model has no std::mutex, which GoogleTest's Notification needs.
    target_sources(gtest PRIVATE ${PROJECT_SOURCE_DIR}/cmake/gtest/Notification_win.cpp)
    target_compile_options(gtest PUBLIC -include ${PROJECT_SOURCE_DIR}/cmake/gtest/Notification_win.h)
  endif()
endmacro()

# One CTest entry per test executable: Wine start-up costs more than the tests.
# Under the mingw build every Windows test needs the Wine fixture.
function(tessaly_add_test target)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${target} ${T_SOURCES})
  tessaly_strict(${target})
  target_link_libraries(${target} PRIVATE ${T_LIBS} GTest::gtest_main)
  # Tests share helpers under tests/ (support/, shell/TestServer_win.h).
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  add_test(NAME ${target} COMMAND ${target})
  if(WIN32)
    set_tests_properties(${target} PROPERTIES FIXTURES_REQUIRED wine TIMEOUT 120)
  else()
    set_tests_properties(${target} PROPERTIES TIMEOUT 120)
  endif()
endfunction()

# Prints an executable's size beside its budget (bytes) after every link, and
# fails the link when it is over.
function(tessaly_print_size target budget)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -DFILE=$<TARGET_FILE:${target}> -DBUDGET=${budget}
            -P ${PROJECT_SOURCE_DIR}/cmake/PrintSize.cmake
    VERBATIM)
endfunction()

# Keeps a library apart from another part of the program: fails the
# configuration when `target` links one of the AWAY libraries, directly or
# through what it links, or when a source or header in its folder includes a
# header from one of the AWAY_HEADERS folders ("app/"). The check runs once
# every target is known, at the end of the top directory.
function(tessaly_keep_apart target)
  cmake_parse_arguments(K "" "" "AWAY;AWAY_HEADERS" ${ARGN})
  cmake_language(EVAL CODE "cmake_language(DEFER DIRECTORY [[${CMAKE_SOURCE_DIR}]] CALL
    _tessaly_check_apart [[${target}]] [[${CMAKE_CURRENT_SOURCE_DIR}]] [[${K_AWAY}]] [[${K_AWAY_HEADERS}]])")
endfunction()

function(_tessaly_check_apart target folder away away_headers)
  set(seen "")
  set(queue ${target})
  while(queue)
    list(POP_FRONT queue current)
    if(current IN_LIST seen OR NOT TARGET ${current})
      continue()
    endif()
    list(APPEND seen ${current})
    get_target_property(links ${current} LINK_LIBRARIES)
    get_target_property(interface ${current} INTERFACE_LINK_LIBRARIES)
    foreach(link IN LISTS links interface)
      if(link AND TARGET ${link})
        list(APPEND queue ${link})
      endif()
    endforeach()
  endwhile()
  foreach(library IN LISTS away)
    if(library IN_LIST seen)
      message(FATAL_ERROR "${target} must not depend on ${library} (it links: ${seen})")
    endif()
  endforeach()
  file(GLOB sources ${folder}/*.cpp ${folder}/*.h)
  foreach(source IN LISTS sources)
    file(STRINGS ${source} includes REGEX "^#include \"")
    foreach(prefix IN LISTS away_headers)
      if(includes MATCHES "#include \"${prefix}")
        message(FATAL_ERROR "${source} must not include headers of ${prefix}")
      endif()
    endforeach()
  endforeach()
endfunction()

# With TESSALY_SIGN a program is signed (tools/sign.sh, Authenticode) as soon as
# it is linked, inside the link step: the updater is signed before the client's
# resource script embeds it. The certificate comes from the build's
# environment (TESSALY_SIGN_PFX, TESSALY_SIGN_PASSWORD); without one,
# tools/sign.sh gives a test signature.
function(tessaly_sign target)
  if(TESSALY_SIGN)
    add_custom_command(TARGET ${target} POST_BUILD
      COMMAND ${PROJECT_SOURCE_DIR}/tools/sign.sh $<TARGET_FILE:${target}>
      VERBATIM)
  endif()
endfunction()
