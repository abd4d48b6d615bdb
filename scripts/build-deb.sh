#!/usr/bin/env bash
# Builds the Debian package of the three programs, as a Debian maintainer
# would, and checks it:
# - only the programs are built (no tests or benchmarks), with the hardening
#   flags of dpkg-buildflags;
# - reproducibly: SOURCE_DATE_EPOCH from the last commit (or the changelog),
#   source and build paths mapped away (-ffile-prefix-map), so the same commit
#   built in another folder gives a byte-identical .deb;
# - checked: name, version (package, changelog and every program's --version
#   agree), the exact file list, and lintian where it is installed (any error
#   or warning fails).
# Prints the path of the .deb on its last line.
#
#   bash scripts/build-deb.sh [BUILD_DIR]      (default build-deb)
# Needs what scripts/install-deps.sh installs (and lintian for the last check).
set -euo pipefail
cd "$(dirname "$0")/.."
src=$(pwd -P)
build=${1:-build-deb}
mkdir -p "$build"
build=$(cd "$build" && pwd -P)

if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  SOURCE_DATE_EPOCH=$(git -C "$src" log -1 --format=%ct 2>/dev/null \
                      || dpkg-parsechangelog -l resources/package/changelog -STimestamp)
fi
export SOURCE_DATE_EPOCH
# The same archive whatever the machine's language, time zone and umask.
export LC_ALL=C.UTF-8 TZ=UTC
umask 022

# Debian's flags with every hardening feature. dpkg-buildflags maps the folder
# it runs in (the source) to "."; the build folder, inside the source or not,
# is mapped to "build" (the compiler takes the last matching map), so neither
# path reaches the debug information or the build-ids.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS) -ffile-prefix-map=$build=build"
LDFLAGS="$(dpkg-buildflags --get LDFLAGS)"
export CXXFLAGS LDFLAGS

# Given explicitly: the environment's flags only count when a folder is first
# configured. The compiler cache runs without its base folder here: that would
# hand the compiler source paths relative to the build folder, which no map
# can remove, so the debug information (and with it the build-ids) would
# follow where the build folder lies. For the same reason moc names the headers
# by their include path, not by a path relative to the build folder.
# The compiler cache is left out altogether (IONVETO_DEB_CCACHE=1 brings it
# back, without its base folder): after the moc files changed it once returned
# an object compiled from the earlier ones, and that package differed.
launcher="env;CCACHE_DISABLE=1"   # non-empty: CMakeLists.txt would otherwise add its own ccache
if [ "${IONVETO_DEB_CCACHE:-0}" = 1 ] && command -v ccache >/dev/null; then launcher="env;CCACHE_BASEDIR=;ccache"; fi
cmake -S "$src" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF \
      -DCMAKE_CXX_FLAGS="$CXXFLAGS" -DCMAKE_EXE_LINKER_FLAGS="$LDFLAGS" \
      -DCMAKE_CXX_COMPILER_LAUNCHER="$launcher" -DCMAKE_AUTOMOC_PATH_PREFIX=ON >/dev/null
# rcc stamps each resource with SOURCE_DATE_EPOCH but only reruns when the
# resources change: in a folder built before at another commit, its output would
# keep the earlier commit's time.
find "$build" -path '*_autogen*' -name 'qrc_*.cpp' -delete
cmake --build "$build" -j"$(nproc)"
rm -f "$build"/ionveto_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/ionveto_*.deb)

fail() { echo "build-deb: $*" >&2; exit 1; }

# The version: the project's, the changelog's and each program's own.
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
[ "$(dpkg-deb -f "$deb" Package)" = ionveto ] || fail "package name is not ionveto"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "package version is not $version"
changelog_version=$(dpkg-parsechangelog -l resources/package/changelog -SVersion)
[ "$changelog_version" = "$version" ] || fail "changelog's last entry is $changelog_version, the project $version"
unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -x "$deb" "$unpacked"
for program in ionveto ionveto-sim ionveto-report; do
  # No display: --version must not need one.
  shown=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$unpacked/usr/bin/$program" --version)
  [ "$shown" = "$program $version" ] || fail "$program --version says '$shown'"
done

# Every file of the package, and nothing else.
expected="./usr/bin/ionveto
./usr/bin/ionveto-report
./usr/bin/ionveto-sim
./usr/share/applications/hu.ionveto.Ionveto.desktop
./usr/share/doc/ionveto/changelog.gz
./usr/share/doc/ionveto/copyright
./usr/share/icons/hicolor/128x128/apps/ionveto.png
./usr/share/icons/hicolor/16x16/apps/ionveto.png
./usr/share/icons/hicolor/22x22/apps/ionveto.png
./usr/share/icons/hicolor/24x24/apps/ionveto.png
./usr/share/icons/hicolor/256x256/apps/ionveto.png
./usr/share/icons/hicolor/32x32/apps/ionveto.png
./usr/share/icons/hicolor/48x48/apps/ionveto.png
./usr/share/icons/hicolor/64x64/apps/ionveto.png
./usr/share/icons/hicolor/scalable/apps/ionveto.svg
./usr/share/man/man1/ionveto-report.1.gz
./usr/share/man/man1/ionveto-sim.1.gz
./usr/share/man/man1/ionveto.1.gz
./usr/share/metainfo/hu.ionveto.Ionveto.metainfo.xml"
files=$(dpkg-deb --fsys-tarfile "$deb" | tar -t | grep -v '/$' | sort)
if [ "$files" != "$expected" ]; then
  diff <(echo "$expected") <(echo "$files") >&2 || true
  fail "the package's files differ from the list above (< expected, > packaged)"
fi

if command -v lintian >/dev/null; then
  # --fail-on: errors and warnings both fail; info and pedantic tags are shown only.
  lintian --info --fail-on error,warning "$deb" || fail "lintian found errors or warnings"
else
  echo "build-deb: lintian is not installed; skipped (bash scripts/install-deps.sh lintian)"
fi
echo "$deb"
