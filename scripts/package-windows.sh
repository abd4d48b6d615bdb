#!/usr/bin/env bash
# The Windows programs, cross-built on Debian 12 and tested under Wine:
#   bash scripts/package-windows.sh
# installs what it needs, takes the Windows prefix (Qt, QCustomPlot,
# libjpeg-turbo) from ../shared/windows/qt6-mingw64.tar.xz when its checksum
# matches and otherwise builds it from Debian's source packages
# (scripts/windows-prefix.sh, cached under ~/.cache/ionveto-windows), builds
# every program and test into build-windows/, runs the tests under Wine on a
# virtual X display, and writes
#   build-windows/Ionveto-<version>-win64.zip    the portable folder
#   build-windows/Ionveto-<version>-setup.exe    the installer
# It ends with status 1 when a test failed (the packages are still written).
# IONVETO_SKIP_TESTS=1 packs without running the tests.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
cache=$HOME/.cache/ionveto-windows
export IONVETO_WINDOWS_PREFIX=${IONVETO_WINDOWS_PREFIX:-$cache/mingw64-qt6.4.2}
prefix=$IONVETO_WINDOWS_PREFIX
archive=${IONVETO_WINDOWS_ARCHIVE:-$root/../shared/windows/qt6-mingw64.tar.xz}
archive_sha=cb23a14d007928bd35c58ccd0e70bede6d9c63ad23a3a9f26f971b3617b8ac28
export WINEPREFIX=${WINEPREFIX:-$cache/wine}
jobs=$(nproc)
step() { echo "== $(date -u +%H:%M:%S) $*"; }

step "What the cross build needs"
bash scripts/install-deps.sh
need=()
for p in g++-mingw-w64-x86-64-posix wine wine64 nsis zip xvfb xauth qt6-translations-l10n \
         libz-mingw-w64-dev pkgconf; do
  dpkg -s "$p" >/dev/null 2>&1 || need+=("$p")
done
if [[ ${#need[@]} -gt 0 ]]; then
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${need[@]}"
fi

step "The Windows prefix in $prefix"
stamp=$prefix/.ionveto-prefix
if [[ ! -f $stamp ]]; then
  if [[ -f $archive ]] && echo "$archive_sha  $archive" | sha256sum -c --quiet - 2>/dev/null; then
    mkdir -p "$(dirname "$prefix")"
    tmp=$(mktemp -d "$(dirname "$prefix")/unpack.XXXXXX")
    tar -xJf "$archive" -C "$tmp"
    rm -rf "$prefix"
    mv "$tmp/mingw64-qt6.4.2" "$prefix"
    rmdir "$tmp"
    echo "archive $archive_sha" >"$stamp"
  else
    echo "No prebuilt prefix with the expected checksum: building it from Debian's sources."
    bash scripts/windows-prefix.sh libjpeg-turbo qt6-base qcustomplot
    echo "built from source" >"$stamp"
  fi
fi
if [[ ! -f $prefix/lib/pkgconfig/xlsxwriter.pc ]]; then
  bash scripts/windows-prefix.sh libxlsxwriter ||
    echo "warning: libxlsxwriter did not build for Windows; the Windows programs are built without it"
fi

step "The Linux simulator, for the same-results test"
if [[ ! -f build/CMakeCache.txt ]]; then
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build build -j"$jobs" --target ionveto-sim

step "Cross-building into build-windows/"
cmake -S . -B build-windows -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw64.toolchain.cmake" \
      -DIONVETO_WINDOWS_PREFIX="$prefix" -DIONVETO_LINUX_SIM="$root/build/ionveto-sim" \
      -DIONVETO_WARNINGS_AS_ERRORS="${IONVETO_WARNINGS_AS_ERRORS:-OFF}" >/dev/null
cmake --build build-windows -j"$jobs"
version=$(cat build-windows/windows/version.txt)

tests_ok=true
if [[ ${IONVETO_SKIP_TESTS:-0} != 1 ]]; then
  step "The Windows tests under Wine"
  # One virtual display for every test; Wine needs one even for tools.
  display=:$((100 + RANDOM % 800))
  Xvfb "$display" -screen 0 1366x768x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  trap 'kill $xvfb_pid 2>/dev/null || true; wineserver -k 2>/dev/null || true' EXIT
  export DISPLAY=$display
  sleep 1
  WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" wineboot --init >/dev/null 2>&1 || true
  ctest --test-dir build-windows --output-on-failure -j"$jobs" || tests_ok=false
fi

step "The portable folder"
name=Ionveto-$version-win64
stage=build-windows/$name
rm -rf "$stage" "build-windows/$name.zip"
mkdir -p "$stage/platforms" "$stage/styles" "$stage/translations" "$stage/licenses"
cp build-windows/ionveto.exe build-windows/ionveto-sim.exe build-windows/ionveto-report.exe "$stage/"
cp "$prefix/plugins/platforms/qwindows.dll" "$stage/platforms/"
cp "$prefix/plugins/styles/qwindowsvistastyle.dll" "$stage/styles/"
cp /usr/share/qt6/translations/qtbase_hu.qm "$stage/translations/"
cp resources/icons/ionveto.ico "$stage/"
# Every DLL the programs and plugins import, found where the build found it.
runtime=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libstdc++-6.dll)")
search=("$prefix/bin" "$runtime" /usr/x86_64-w64-mingw32/lib /usr/x86_64-w64-mingw32/bin)
todo=("$stage"/*.exe "$stage"/platforms/*.dll "$stage"/styles/*.dll)
while [[ ${#todo[@]} -gt 0 ]]; do
  file=${todo[0]}
  todo=("${todo[@]:1}")
  for dll in $(x86_64-w64-mingw32-objdump -p "$file" | sed -n 's/^\s*DLL Name: //p'); do
    [[ -f $stage/$dll ]] && continue
    for dir in "${search[@]}"; do
      if [[ -f $dir/$dll ]]; then
        cp "$dir/$dll" "$stage/"
        todo+=("$stage/$dll")
        break
      fi
    done
  done
done
# Without their debugging sections: a third of the size.
find "$stage" \( -name '*.exe' -o -name '*.dll' \) -exec x86_64-w64-mingw32-strip --strip-unneeded {} +
bash scripts/windows-licenses.sh "$stage" "$prefix"
(cd build-windows && zip -qr "$name.zip" "$name")

step "The installer"
files=build-windows/windows/uninstall-files.nsh
(cd "$stage"
 find . -type f | sort | sed 's|^\./||; s|/|\\|g; s|.*|  Delete "$INSTDIR\\&"|'
 find . -mindepth 1 -type d | sort -r | sed 's|^\./||; s|/|\\|g; s|.*|  RMDir "$INSTDIR\\&"|') >"$files"
version4=$(echo "$version.0.0.0" | cut -d. -f1-4)   # Windows' four-part version
makensis -V2 -DVERSION="$version" -DVERSION4="$version4" -DSTAGE="$root/$stage" -DFILES="$root/$files" \
         -DOUTFILE="$root/build-windows/Ionveto-$version-setup.exe" resources/windows/ionveto.nsi

step "Written"
ls -l "build-windows/$name.zip" "build-windows/Ionveto-$version-setup.exe"
unzip -l "build-windows/$name.zip"
if [[ ${IONVETO_SKIP_TESTS:-0} != 1 ]]; then
  step "The installer, silently under Wine, and the installed program"
  bash tests/windows/installer.sh "$root/build-windows/Ionveto-$version-setup.exe" || tests_ok=false
fi
$tests_ok
