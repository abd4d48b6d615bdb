#!/usr/bin/env bash
# Runs a cross-built Windows program under Wine: the emulator CTest puts in
# front of every test of build-windows/ (cmake/mingw64.toolchain.cmake).
#   scripts/wine-run.sh PROGRAM.exe [ARGS...]
# The program finds its DLLs in the Windows prefix and the compiler's runtime
# folders, the toolkit's plugins in the prefix, and draws with the `windows`
# platform plugin on the X display in DISPLAY (the offscreen plugin hangs under
# Wine). A test program's output goes to a file that is printed afterwards:
# under Wine the test framework's output to a pipe comes back empty.
set -uo pipefail
export LC_ALL=C.UTF-8   # arguments reach the program as UTF-8 (ő, ű)
prefix=${IONVETO_WINDOWS_PREFIX:?IONVETO_WINDOWS_PREFIX names the Windows prefix}
export WINEPREFIX=${WINEPREFIX:-$HOME/.cache/ionveto-windows/wine}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="   # no .NET or browser installers
winpath() { local p; p=$(readlink -f "$1"); echo "Z:${p//\//\\}"; }
runtime=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libstdc++-6.dll)")
export WINEPATH="$(winpath "$prefix/bin");$(winpath "$runtime");$(winpath /usr/x86_64-w64-mingw32/lib)"
export QT_PLUGIN_PATH=$(winpath "$prefix/plugins")
export QT_QPA_PLATFORM=windows
unset QT_QPA_FONTDIR

program=$1
shift
if [[ $(basename "$program") != test_* ]]; then
  exec wine "$program" "$@"
fi
out=$(mktemp --suffix=.txt)
trap 'rm -f "$out"' EXIT
wine "$program" "$@" -o "$(winpath "$out"),txt"
rc=$?
cat "$out"
exit $rc
