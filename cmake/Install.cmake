# Installing the programs and the desktop's files, the Debian package, and the
# checks the desktop's validators make on those files.
include(GNUInstallDirs)

# Every program of the project: the window and each tool named ionveto-*,
# whether it is defined here or in the tools folder.
set(_ionveto_programs)
set(_ionveto_dirs ${CMAKE_SOURCE_DIR})
get_property(_ionveto_subdirs DIRECTORY ${CMAKE_SOURCE_DIR} PROPERTY SUBDIRECTORIES)
foreach(dir ${_ionveto_subdirs})
  if(dir MATCHES "/tools$")
    list(APPEND _ionveto_dirs ${dir})
  endif()
endforeach()
foreach(dir ${_ionveto_dirs})
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  foreach(t ${targets})
    get_target_property(type ${t} TYPE)
    if(type STREQUAL "EXECUTABLE" AND t MATCHES "^ionveto")
      list(APPEND _ionveto_programs ${t})
    endif()
  endforeach()
endforeach()
if(TARGET ionveto)
  # A window program on Windows (no console), a plain program elsewhere.
  set_target_properties(ionveto PROPERTIES WIN32_EXECUTABLE ON)
endif()
install(TARGETS ${_ionveto_programs} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(UNIX AND NOT APPLE AND CMAKE_OBJCOPY)
  # A stripped install (the package) also drops the compilers' .comment and
  # .note sections, as Debian's dh_strip does.
  foreach(program ${_ionveto_programs})
    install(CODE "if(CMAKE_INSTALL_DO_STRIP)
  execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment --remove-section=.note
                          \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/${program}\")
endif()")
  endforeach()
endif()

set(IONVETO_APP_ID hu.ionveto.Ionveto)
set(_desktop_dir ${CMAKE_SOURCE_DIR}/resources/desktop)
set(_icon_dir ${CMAKE_SOURCE_DIR}/resources/icons)
if(UNIX AND NOT APPLE)
  install(FILES ${_desktop_dir}/${IONVETO_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${_desktop_dir}/${IONVETO_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  install(FILES ${_icon_dir}/ionveto.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  foreach(size 16 22 24 32 48 64 128 256)
    install(FILES ${_icon_dir}/ionveto-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME ionveto.png)
  endforeach()
  # The manual pages of every program, with the project's version, compressed
  # as Debian wants them (gzip -n: no name or time stamp, so builds repeat).
  find_program(GZIP_PROGRAM gzip)
  set(_man_pages)
  foreach(program ${_ionveto_programs})
    set(_page ${CMAKE_SOURCE_DIR}/resources/man/${program}.1)
    if(NOT EXISTS ${_page})
      message(WARNING "${program} has no manual page (resources/man/${program}.1)")
      continue()
    endif()
    configure_file(${_page} ${CMAKE_BINARY_DIR}/man/${program}.1 @ONLY)
    if(GZIP_PROGRAM)
      add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/man/${program}.1.gz
                         COMMAND ${GZIP_PROGRAM} -9nf -k ${program}.1
                         DEPENDS ${CMAKE_BINARY_DIR}/man/${program}.1
                         WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/man VERBATIM)
      list(APPEND _man_pages ${CMAKE_BINARY_DIR}/man/${program}.1.gz)
    else()
      list(APPEND _man_pages ${CMAKE_BINARY_DIR}/man/${program}.1)
    endif()
  endforeach()
  add_custom_target(ionveto_man_pages ALL DEPENDS ${_man_pages})
  install(FILES ${_man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  # Debian's place for the licence (machine-readable, naming what the
  # programs link) and the changelog.
  install(FILES ${CMAKE_SOURCE_DIR}/resources/package/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/ionveto)
  if(GZIP_PROGRAM)
    add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/doc/changelog.gz
                       COMMAND ${GZIP_PROGRAM} -9n -c ${CMAKE_SOURCE_DIR}/resources/package/changelog
                               > ${CMAKE_BINARY_DIR}/doc/changelog.gz
                       DEPENDS ${CMAKE_SOURCE_DIR}/resources/package/changelog)
    file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/doc)
    add_custom_target(ionveto_changelog ALL DEPENDS ${CMAKE_BINARY_DIR}/doc/changelog.gz)
    install(FILES ${CMAKE_BINARY_DIR}/doc/changelog.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/ionveto)
  endif()
else()
  install(FILES ${CMAKE_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/ionveto)
endif()

# The desktop's validators, where they are installed.
find_program(DESKTOP_FILE_VALIDATE desktop-file-validate)
find_program(APPSTREAMCLI appstreamcli)
if(DESKTOP_FILE_VALIDATE)
  add_test(NAME validate_desktop_entry COMMAND ${DESKTOP_FILE_VALIDATE} ${_desktop_dir}/${IONVETO_APP_ID}.desktop)
endif()
if(APPSTREAMCLI)
  add_test(NAME validate_metainfo COMMAND ${APPSTREAMCLI} validate --no-net ${_desktop_dir}/${IONVETO_APP_ID}.metainfo.xml)
endif()

# The Debian package: `cpack -G DEB` in the build folder (scripts/package.sh).
set(CPACK_PACKAGE_NAME ionveto)
set(CPACK_PACKAGE_VENDOR "Ionvető developers")
set(CPACK_PACKAGE_CONTACT "Ionvető developers <fejlesztok@ionveto.hu>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "sector-field mass spectrometer simulator for a physics competition")
# Lines of at most 80 characters, as the package's description shows them.
set(CPACK_PACKAGE_DESCRIPTION "A teaching simulator of a sector-field mass spectrometer: ions fly one by
one across a picture of the apparatus and the ions reaching the detector build
a spectrum. The interface is Hungarian.
.
The package also holds two programs without a window: ionveto-sim, the same
simulation on the command line, and ionveto-report, the jury's summary of the
contestants' saved layouts as a table and a printable page.")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGE_INSTALL_DIRECTORY Ionveto)
set(CPACK_STRIP_FILES ON)
if(UNIX AND NOT APPLE)
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION science)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://ionveto.hu/)
  # The libraries come from dpkg-shlibdeps; the Hungarian texts of Qt's own
  # dialogs and the fonts of the pictures are loaded at run time, so they are named.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-translations-l10n, fonts-liberation2")
  # Installed files are root's, and the folders in the archive carry the usual modes.
  set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
endif()
include(CPack)

if(UNIX AND NOT APPLE)
  add_test(NAME install_tree
           COMMAND ${CMAKE_COMMAND} -DBUILD=${CMAKE_BINARY_DIR} -DPREFIX=${CMAKE_BINARY_DIR}/install-check
                   -P ${CMAKE_SOURCE_DIR}/cmake/CheckInstallTree.cmake)
  # The package as scripts/package.sh builds it (its own build folder with
  # Debian's flags, programs only), checked: version, file list, lintian.
  find_program(DPKG_BUILDFLAGS dpkg-buildflags)
  if(DPKG_BUILDFLAGS)
    add_test(NAME package_deb
             COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/build-deb.sh ${CMAKE_BINARY_DIR}/package-check)
    set_tests_properties(package_deb PROPERTIES TIMEOUT 1800 LABELS package)
  endif()
endif()
