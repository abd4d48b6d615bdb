# Cross-building for 64-bit Windows with Debian's MinGW-w64 compilers (POSIX
# threads). The Windows libraries come from IONVETO_WINDOWS_PREFIX (see
# scripts/windows-prefix.sh); Debian's own Qt of the same version supplies
# the host tools (moc, rcc, uic).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

if(NOT IONVETO_WINDOWS_PREFIX AND DEFINED ENV{IONVETO_WINDOWS_PREFIX})
  set(IONVETO_WINDOWS_PREFIX "$ENV{IONVETO_WINDOWS_PREFIX}")
endif()
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES IONVETO_WINDOWS_PREFIX)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 ${IONVETO_WINDOWS_PREFIX})
set(CMAKE_PREFIX_PATH ${IONVETO_WINDOWS_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(QT_HOST_PATH /usr)
set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake)

# pkg-config answers for the Windows libraries only.
set(ENV{PKG_CONFIG_LIBDIR} "${IONVETO_WINDOWS_PREFIX}/lib/pkgconfig")
set(ENV{PKG_CONFIG_SYSROOT_DIR} "")

# Tests of the cross build run through Wine (see scripts/wine-run.sh).
get_filename_component(_ionveto_source_dir ${CMAKE_CURRENT_LIST_DIR} DIRECTORY)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_COMMAND} -E env IONVETO_WINDOWS_PREFIX=${IONVETO_WINDOWS_PREFIX}
    bash ${_ionveto_source_dir}/scripts/wine-run.sh)
