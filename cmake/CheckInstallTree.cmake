# Installs the build into a scratch prefix and checks that every file the
# desktop needs is where it belongs.  cmake -DBUILD=... -DPREFIX=... -P this
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${PREFIX}
                RESULT_VARIABLE rc OUTPUT_QUIET)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${rc}")
endif()
set(expected bin/ionveto bin/ionveto-sim bin/ionveto-report
    share/applications/hu.ionveto.Ionveto.desktop share/metainfo/hu.ionveto.Ionveto.metainfo.xml
    share/icons/hicolor/scalable/apps/ionveto.svg share/doc/ionveto/copyright share/doc/ionveto/changelog.gz
    share/man/man1/ionveto.1.gz share/man/man1/ionveto-sim.1.gz share/man/man1/ionveto-report.1.gz)
foreach(size 16 22 24 32 48 64 128 256)
  list(APPEND expected share/icons/hicolor/${size}x${size}/apps/ionveto.png)
endforeach()
foreach(f ${expected})
  if(NOT EXISTS ${PREFIX}/${f})
    message(FATAL_ERROR "missing from the install tree: ${f}")
  endif()
endforeach()
file(GLOB_RECURSE installed RELATIVE ${PREFIX} ${PREFIX}/*)
list(SORT installed)
list(JOIN installed "\n  " listing)
message(STATUS "install tree:\n  ${listing}")
file(REMOVE_RECURSE ${PREFIX})
