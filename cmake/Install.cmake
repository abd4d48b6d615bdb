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
  install(FILES ${CMAKE_SOURCE_DIR}/resources/man/ionveto-sim.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()
install(FILES ${CMAKE_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/ionveto)

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
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Sector-field mass spectrometer simulator for a physics competition")
set(CPACK_PACKAGE_DESCRIPTION "A teaching simulator of a sector-field mass spectrometer: ions fly one by one \
across a picture of the apparatus and the ions reaching the detector build a spectrum. Hungarian interface. \
Also holds ionveto-sim, the same simulation without a window.")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGE_INSTALL_DIRECTORY Ionveto)
set(CPACK_STRIP_FILES ON)
if(UNIX AND NOT APPLE)
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION science)
  # The libraries come from dpkg-shlibdeps; the Hungarian texts of Qt's own
  # dialogs and the fonts of the pictures are loaded at run time, so they are named.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-translations-l10n, fonts-liberation2")
endif()
include(CPack)

if(UNIX AND NOT APPLE)
  add_test(NAME install_tree
           COMMAND ${CMAKE_COMMAND} -DBUILD=${CMAKE_BINARY_DIR} -DPREFIX=${CMAKE_BINARY_DIR}/install-check
                   -P ${CMAKE_SOURCE_DIR}/cmake/CheckInstallTree.cmake)
endif()
