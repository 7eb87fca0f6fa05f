# The public keys that update manifests must be signed with, built into the
# client and the updater as <build>/generated/update/UpdateKeys.h.
#
#   -DTESSALY_UPDATE_KEYS=FILE         one or two PEM public keys (P-256): two
#                                      while the maker moves to a new key
#   -DTESSALY_REQUIRE_UPDATE_KEYS=ON   no build without TESSALY_UPDATE_KEYS
#                                      (for builds that are shipped)
#
# Without TESSALY_UPDATE_KEYS a development key pair is made once in
# <build>/update-key/ (update.key, the private key that the tests and the demo
# sign with, and update.pub), and its public key is built in;
# TESSALY_UPDATE_SIGNING_KEY then names update.key, otherwise it is empty.
#
# It also runs as a script in the current folder, as its test does:
#   cmake [-DTESSALY_UPDATE_KEYS=FILE] [-DTESSALY_REQUIRE_UPDATE_KEYS=ON] -P UpdateKeys.cmake

find_program(TESSALY_OPENSSL openssl)
if(NOT TESSALY_OPENSSL)
  message(FATAL_ERROR "update keys: openssl is needed (tools/setup.sh installs it)")
endif()

# Makes the key pair DIR/update.key and DIR/update.pub unless DIR holds one.
function(tessaly_key_pair dir)
  set(key ${dir}/update.key)
  if(NOT EXISTS ${key})
    file(MAKE_DIRECTORY ${dir})
    # Private before openssl writes into it, which keeps the file's mode.
    file(TOUCH ${key}.new)
    file(CHMOD ${key}.new PERMISSIONS OWNER_READ OWNER_WRITE)
    execute_process(COMMAND ${TESSALY_OPENSSL} ecparam -name prime256v1 -genkey -noout -out ${key}.new
      RESULT_VARIABLE failed ERROR_VARIABLE error)
    if(failed)
      message(FATAL_ERROR "update keys: cannot make a key pair in ${dir}: ${error}")
    endif()
    file(RENAME ${key}.new ${key})
  endif()
  execute_process(COMMAND ${TESSALY_OPENSSL} ec -in ${key} -pubout -out ${dir}/update.pub
    RESULT_VARIABLE failed ERROR_VARIABLE error)
  if(failed)
    message(FATAL_ERROR "update keys: ${key} is not an elliptic-curve private key in PEM form: ${error}")
  endif()
endfunction()

# Writes HEADER with the array tessaly::generated::NAME: the X and Y of each
# P-256 public key in KEYS, as BCRYPT_ECCPUBLIC_BLOB takes them.
function(tessaly_key_header keys header name)
  if(NOT EXISTS "${keys}" OR IS_DIRECTORY "${keys}")
    message(FATAL_ERROR "update keys: cannot read the key file ${keys}")
  endif()
  file(READ "${keys}" text)
  string(REGEX MATCHALL "-----BEGIN [A-Z0-9 ]+-----" blocks "${text}")
  string(REGEX MATCHALL "-----BEGIN PUBLIC KEY-----[^-]+-----END PUBLIC KEY-----" pems "${text}")
  list(LENGTH blocks block_count)
  list(LENGTH pems count)
  if(NOT block_count EQUAL count)
    message(FATAL_ERROR "update keys: ${keys} holds more than PEM public keys "
      "(a private key is never built in: give its public half, openssl ec -in KEY -pubout)")
  endif()
  if(count EQUAL 0 OR count GREATER 2)
    message(FATAL_ERROR "update keys: ${keys} holds ${count} PEM public keys; "
      "one is built in, or two while the maker moves to a new key")
  endif()
  get_filename_component(dir ${header} DIRECTORY)
  file(MAKE_DIRECTORY ${dir})
  set(points "")
  set(index 0)
  foreach(pem IN LISTS pems)
    math(EXPR index "${index} + 1")
    file(WRITE ${dir}/key.pem "${pem}\n")
    execute_process(COMMAND ${TESSALY_OPENSSL} ec -pubin -in ${dir}/key.pem -conv_form uncompressed
        -outform DER -out ${dir}/key.der
      RESULT_VARIABLE failed ERROR_VARIABLE error)
    if(failed)
      file(REMOVE ${dir}/key.pem)
      message(FATAL_ERROR "update keys: key ${index} in ${keys} is not an elliptic-curve public key: ${error}")
    endif()
    file(READ ${dir}/key.der der HEX)
    file(REMOVE ${dir}/key.pem ${dir}/key.der)
    # A P-256 key's SubjectPublicKeyInfo: id-ecPublicKey, prime256v1, then the
    # point 04 X Y, 91 bytes in all.
    string(FIND "${der}" "3059301306072a8648ce3d020106082a8648ce3d03010703420004" at)
    string(LENGTH "${der}" length)
    if(NOT at EQUAL 0 OR NOT length EQUAL 182)
      message(FATAL_ERROR "update keys: key ${index} in ${keys} is not a P-256 (prime256v1) key")
    endif()
    string(SUBSTRING "${der}" 54 128 point)
    string(REGEX REPLACE "(..)" "0x\\1," point "${point}")
    string(APPEND points "    {{${point}}},\n")
  endforeach()
  file(WRITE ${header}.new
    "// Made by cmake/UpdateKeys.cmake from ${keys}: do not edit.\n"
    "#pragma once\n#include <array>\n\nnamespace tessaly::generated {\n\n"
    "inline constexpr std::array<std::array<unsigned char, 64>, ${count}> ${name} = {{\n"
    "${points}}};\n\n} // namespace tessaly::generated\n")
  file(COPY_FILE ${header}.new ${header} ONLY_IF_DIFFERENT)
  file(REMOVE ${header}.new)
endfunction()

if(NOT CMAKE_SCRIPT_MODE_FILE)
  set(TESSALY_UPDATE_KEYS "" CACHE FILEPATH
    "File of one or two PEM public keys (P-256) that signs updates; empty: a development key in update-key/")
  option(TESSALY_REQUIRE_UPDATE_KEYS "Refuse to build without TESSALY_UPDATE_KEYS (builds that are shipped)" OFF)
endif()
set(TESSALY_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
if(TESSALY_UPDATE_KEYS)
  set(tessaly_keys ${TESSALY_UPDATE_KEYS})
  set(TESSALY_UPDATE_SIGNING_KEY "")
elseif(TESSALY_REQUIRE_UPDATE_KEYS)
  message(FATAL_ERROR "update keys: TESSALY_REQUIRE_UPDATE_KEYS is on and TESSALY_UPDATE_KEYS names no key file")
else()
  tessaly_key_pair(${CMAKE_BINARY_DIR}/update-key)
  set(tessaly_keys ${CMAKE_BINARY_DIR}/update-key/update.pub)
  set(TESSALY_UPDATE_SIGNING_KEY ${CMAKE_BINARY_DIR}/update-key/update.key)
endif()
tessaly_key_header(${tessaly_keys} ${TESSALY_GENERATED_DIR}/update/UpdateKeys.h kUpdateKeys)
if(NOT CMAKE_SCRIPT_MODE_FILE)
  # A changed or deleted key file configures again.
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${tessaly_keys} ${TESSALY_UPDATE_SIGNING_KEY})
endif()
