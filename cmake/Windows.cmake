# What a Windows build adds: the icon and version resource of every program,
# and, when cross-built, the check that the Windows programs compute exactly
# what the Linux ones do.
if(NOT WIN32)
  return()
endif()
enable_language(RC)

# The window is a window program (no console, see Install.cmake); the tools
# stay console programs so their output reaches the command prompt.
set(_rc_descriptions
    "ionveto|Ionvető – szektormezős tömegspektrométer szimulátora"
    "ionveto-sim|Ionvető – parancssori szimulátor"
    "ionveto-report|Ionvető – a zsűri összesítő jelentése")
set(RC_ICON ${CMAKE_SOURCE_DIR}/resources/icons/ionveto.ico)
set(RC_MINOR ${PROJECT_VERSION_MINOR})
set(RC_PATCH ${PROJECT_VERSION_PATCH})
if("${RC_MINOR}" STREQUAL "")
  set(RC_MINOR 0)
endif()
if("${RC_PATCH}" STREQUAL "")
  set(RC_PATCH 0)
endif()
foreach(entry ${_rc_descriptions})
  string(REPLACE "|" ";" entry "${entry}")
  list(GET entry 0 RC_NAME)
  list(GET entry 1 RC_DESCRIPTION)
  if(TARGET ${RC_NAME})
    set(RC_FILE_NAME ${RC_NAME}.exe)
    configure_file(${CMAKE_SOURCE_DIR}/resources/windows/version.rc.in
                   ${CMAKE_BINARY_DIR}/windows/${RC_NAME}.rc @ONLY)
    target_sources(${RC_NAME} PRIVATE ${CMAKE_BINARY_DIR}/windows/${RC_NAME}.rc)
  endif()
endforeach()

# The Windows simulator against the Linux one (IONVETO_LINUX_SIM, a native
# build's ionveto-sim): same seeds, modes and a saved layout, same bytes.
set(IONVETO_LINUX_SIM "" CACHE FILEPATH "The Linux build's ionveto-sim, for the same-results test")
if(CMAKE_CROSSCOMPILING AND IONVETO_LINUX_SIM)
  add_test(NAME windows_same_results
           COMMAND bash ${CMAKE_SOURCE_DIR}/tests/windows/same-results.sh ${IONVETO_LINUX_SIM}
                   $<TARGET_FILE:ionveto-sim> ${CMAKE_SOURCE_DIR}/tests/fuzz/corpus/layout/full.ini)
  set_tests_properties(windows_same_results PROPERTIES
      ENVIRONMENT "IONVETO_WINDOWS_PREFIX=${IONVETO_WINDOWS_PREFIX}" TIMEOUT 600)
endif()

# The version the packages are named after (scripts/package-windows.sh).
file(WRITE ${CMAKE_BINARY_DIR}/windows/version.txt ${PROJECT_VERSION})

# The toolkit's Hungarian texts beside the programs and the tests, as the
# packages ship them (from Debian's qt6-translations-l10n, the same Qt version).
find_file(IONVETO_QTBASE_HU qtbase_hu.qm PATHS /usr/share/qt6/translations NO_DEFAULT_PATH
          NO_CMAKE_FIND_ROOT_PATH)
if(IONVETO_QTBASE_HU)
  foreach(dir ${CMAKE_BINARY_DIR} ${CMAKE_BINARY_DIR}/tests)
    configure_file(${IONVETO_QTBASE_HU} ${dir}/translations/qtbase_hu.qm COPYONLY)
  endforeach()
endif()
