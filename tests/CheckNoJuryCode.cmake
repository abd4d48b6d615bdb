# Fails when a program holds the jury code as text, as `strings` would show it.
# cmake -DCODE=... -DPROGRAMS="a;b" -P CheckNoJuryCode.cmake
foreach(program IN LISTS PROGRAMS)
  file(STRINGS "${program}" texts LENGTH_MINIMUM 4)
  foreach(text IN LISTS texts)
    string(FIND "${text}" "${CODE}" at)
    if(NOT at EQUAL -1)
      message(FATAL_ERROR "${program} holds the jury code (at ${at} of a text of the program)")
    endif()
  endforeach()
  list(LENGTH texts n)
  message(STATUS "${program}: ${n} texts, none holds the jury code")
endforeach()
