# The competition's identification data, fixed when the program is built:
# the accepted contestant numbers and the jury code. The program keeps only a
# salted PBKDF2-HMAC-SHA256 hash of the code, so no text of the program shows it.
#
#   -DIONVETO_CONTESTANT_NUMBERS="1-10,101-110,201-210"   numbers and ranges, 0..255
#   -DIONVETO_JURY_CODE=...          the jury code (needs python3 at configure time)
#   -DIONVETO_JURY_SALT=<32 hex>     optional salt of its own for that code
#
# Without IONVETO_JURY_CODE the delivered code is used, through its hash below,
# so a build needs no python and every build of the same sources is the same.

set(IONVETO_CONTESTANT_NUMBERS "1-10,101-110,201-210" CACHE STRING
    "Accepted contestant numbers: numbers and ranges from 0 to 255, separated by commas")
set(IONVETO_JURY_CODE "" CACHE STRING "The jury code (empty: the delivered one)")
set(IONVETO_JURY_SALT "" CACHE STRING "Salt of the jury code's hash, 32 hex digits (empty: the delivered one)")
mark_as_advanced(IONVETO_JURY_SALT)

set(_jury_iterations 100000)
set(_jury_salt_default 31e119f88ad884b828c86dffa61ba939)
set(_jury_hash_default f765ba5b47ee012daca9e27b448b042cbce4687bc00b32796029c324dc0db805)

# --- contestant numbers: the 256-bit set, bit n = bit n % 8 of byte n / 8 ---
set(_bytes)
foreach(i RANGE 31)
  list(APPEND _bytes 0)
endforeach()
string(REPLACE "," ";" _items "${IONVETO_CONTESTANT_NUMBERS}")
set(_count 0)
foreach(item IN LISTS _items)
  string(STRIP "${item}" item)
  if(item STREQUAL "")
    continue()
  endif()
  if(item MATCHES "^([0-9]+)-([0-9]+)$")
    set(_lo ${CMAKE_MATCH_1})
    set(_hi ${CMAKE_MATCH_2})
  elseif(item MATCHES "^[0-9]+$")
    set(_lo ${item})
    set(_hi ${item})
  else()
    message(FATAL_ERROR "IONVETO_CONTESTANT_NUMBERS: \"${item}\" is neither a number nor a range like 1-10")
  endif()
  if(_lo GREATER 255 OR _hi GREATER 255 OR _lo GREATER _hi)
    message(FATAL_ERROR "IONVETO_CONTESTANT_NUMBERS: \"${item}\" must lie in 0..255, smaller number first")
  endif()
  foreach(n RANGE ${_lo} ${_hi})
    math(EXPR _b "${n} / 8")
    math(EXPR _bit "1 << (${n} % 8)")
    list(GET _bytes ${_b} _old)
    math(EXPR _new "${_old} | ${_bit}")
    if(NOT _new EQUAL _old)
      math(EXPR _count "${_count} + 1")
    endif()
    list(REMOVE_AT _bytes ${_b})
    list(INSERT _bytes ${_b} ${_new})
  endforeach()
endforeach()
if(_count EQUAL 0)
  message(FATAL_ERROR "IONVETO_CONTESTANT_NUMBERS names no number")
endif()
set(_number_bytes)
foreach(b IN LISTS _bytes)
  math(EXPR _hex "${b}" OUTPUT_FORMAT HEXADECIMAL)
  string(APPEND _number_bytes "${_hex}, ")
endforeach()

# --- the jury code's hash ---
function(_ionveto_hex_bytes hex out)
  string(LENGTH "${hex}" len)
  set(text)
  math(EXPR last "${len} - 2")
  foreach(i RANGE 0 ${last} 2)
    string(SUBSTRING "${hex}" ${i} 2 pair)
    string(APPEND text "0x${pair}, ")
  endforeach()
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

if(IONVETO_JURY_CODE STREQUAL "")
  set(_salt ${_jury_salt_default})
  set(_hash ${_jury_hash_default})
else()
  set(_salt ${_jury_salt_default})
  if(NOT IONVETO_JURY_SALT STREQUAL "")
    string(TOLOWER "${IONVETO_JURY_SALT}" _salt)
  endif()
  if(NOT _salt MATCHES "^[0-9a-f]+$" OR NOT _salt MATCHES "^................................$")
    message(FATAL_ERROR "IONVETO_JURY_SALT must be 32 hex digits (16 bytes)")
  endif()
  # The host's python computes the hash, so a cross build gets it the same way.
  find_package(Python3 COMPONENTS Interpreter)
  if(NOT Python3_Interpreter_FOUND)
    message(FATAL_ERROR "IONVETO_JURY_CODE needs python3 at configure time to compute the code's hash")
  endif()
  # The code goes through the environment, not the command line, so a process list never shows it.
  set(ENV{IONVETO_JURY_CODE_TO_HASH} "${IONVETO_JURY_CODE}")
  execute_process(
    COMMAND ${Python3_EXECUTABLE} -c
      "import hashlib, os, sys; print(hashlib.pbkdf2_hmac('sha256', os.environ['IONVETO_JURY_CODE_TO_HASH'].encode('utf-8'), bytes.fromhex(sys.argv[1]), int(sys.argv[2])).hex())"
      ${_salt} ${_jury_iterations}
    OUTPUT_VARIABLE _hash OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE _rc)
  unset(ENV{IONVETO_JURY_CODE_TO_HASH})
  if(NOT _rc EQUAL 0 OR NOT _hash MATCHES "^[0-9a-f]+$")
    message(FATAL_ERROR "The jury code's hash could not be computed (${_rc})")
  endif()
endif()
_ionveto_hex_bytes(${_salt} _salt_bytes)
_ionveto_hex_bytes(${_hash} _hash_bytes)
set(IONVETO_JURY_ITERATIONS ${_jury_iterations})
set(IONVETO_CONTESTANT_BYTES "${_number_bytes}")
set(IONVETO_JURY_SALT_BYTES "${_salt_bytes}")
set(IONVETO_JURY_HASH_BYTES "${_hash_bytes}")
configure_file(${CMAKE_SOURCE_DIR}/Main/core/IdentificationConfig.h.in
               ${CMAKE_BINARY_DIR}/generated/Main/core/IdentificationConfig.h @ONLY)
if(IONVETO_JURY_CODE STREQUAL "")
  message(STATUS "Contestant numbers: ${IONVETO_CONTESTANT_NUMBERS} (${_count}); jury code: the delivered one")
else()
  message(STATUS "Contestant numbers: ${IONVETO_CONTESTANT_NUMBERS} (${_count}); jury code: set by IONVETO_JURY_CODE")
endif()
