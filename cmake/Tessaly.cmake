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

# Prints the size of an executable after every link, so growth is seen at once.
function(tessaly_print_size target)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -DFILE=$<TARGET_FILE:${target}> -P ${PROJECT_SOURCE_DIR}/cmake/PrintSize.cmake
    VERBATIM)
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
