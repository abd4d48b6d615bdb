#!/usr/bin/env bash
# Builds the Windows prefix the cross build uses, from Debian's own source
# packages, with Debian's MinGW-w64 compilers (POSIX threads), Release, shared:
#   libjpeg-turbo  (libjpeg-62.dll, no SIMD)
#   qt6-base       (Core, Gui, Widgets, PrintSupport, Test; platform plugins
#                   windows, offscreen, minimal, direct2d; style windowsvista)
#   qcustomplot    (libQCustomPlotQt6.dll, with Debian's two patches)
#   libxlsxwriter  (libxlsxwriter.dll against Debian's MinGW zlib)
# scripts/package-windows.sh takes a prebuilt copy of the first three when its
# checksum matches and runs this only for what is missing.
#   scripts/windows-prefix.sh [COMPONENT...]     (default: all four, in order)
# The prefix is IONVETO_WINDOWS_PREFIX (default ~/.cache/ionveto-windows/
# mingw64-qt6.4.2); sources and build folders are cached beside it. qt6-base
# takes about 40 minutes on two cores; the others a minute each.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cache=${IONVETO_WINDOWS_CACHE:-$HOME/.cache/ionveto-windows}
prefix=${IONVETO_WINDOWS_PREFIX:-$cache/mingw64-qt6.4.2}
src=$cache/src
jobs=${JOBS:-$(nproc)}
toolchain=$root/cmake/mingw64.toolchain.cmake
mkdir -p "$src" "$prefix"
export IONVETO_WINDOWS_PREFIX=$prefix

# The versions the project is tested with (Debian 12). The host's Qt tools
# (moc, rcc, uic) serve the cross build, so qt6-base must match the host Qt.
declare -A version=(
  [libjpeg-turbo]=1:2.1.5-2
  [qt6-base]=6.4.2+dfsg-10
  [qcustomplot]=2.1.0+dfsg1-3.1
  [libxlsxwriter]=1.1.4-2
)

need_deb_src() {
  if ! apt-get indextargets --format '$(IDENTIFIER)' 2>/dev/null | grep -qx Sources; then
    cat >/etc/apt/sources.list.d/ionveto-deb-src.sources <<'SRC'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
    apt-get update -qq
  fi
  command -v dpkg-source >/dev/null || apt-get install -y --no-install-recommends dpkg-dev
}

# Unpacks Debian's source package NAME (its patches applied) under $src and
# prints the folder.
fetch() {
  local name=$1 dir
  dir=$(find "$src" -maxdepth 1 -type d -name "$name-*" | head -n1)
  if [[ -z $dir ]]; then
    need_deb_src
    (cd "$src" && apt-get source -qq "$name=${version[$name]}" >&2)
    dir=$(find "$src" -maxdepth 1 -type d -name "$name-*" | head -n1)
  fi
  echo "$dir"
}

cross_cmake() {   # SOURCE BUILD [CMAKE ARGS...]
  local s=$1 b=$2
  shift 2
  cmake -S "$s" -B "$b" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
        -DIONVETO_WINDOWS_PREFIX="$prefix" -DCMAKE_INSTALL_PREFIX="$prefix" "$@"
  cmake --build "$b" -j"$jobs"
  cmake --install "$b"
}

build_libjpeg_turbo() {
  local s
  s=$(fetch libjpeg-turbo)
  cross_cmake "$s" "$cache/build/libjpeg-turbo" -DWITH_SIMD=OFF -DENABLE_STATIC=OFF \
              -DWITH_TURBOJPEG=OFF -DCMAKE_INSTALL_DOCDIR="$prefix/share/doc/libjpeg-turbo"
}

build_qt6_base() {
  local s
  s=$(fetch qt6-base)
  # The +dfsg source lacks the tablet library: the Windows and Direct2D
  # platform plugins build without their tablet sources (no tablet input).
  sed -i 's/CONDITION QT_FEATURE_tabletevent/CONDITION FALSE/' \
      "$s/src/plugins/platforms/windows/CMakeLists.txt" "$s/src/plugins/platforms/direct2d/CMakeLists.txt"
  sed -i 's/QT_CONFIG(tabletevent)/0/g' \
      "$s/src/plugins/platforms/windows/qwindowscontext.cpp" \
      "$s/src/plugins/platforms/windows/qwindowspointerhandler.cpp" \
      "$s/src/plugins/platforms/windows/qwindowspointerhandler.h"
  cross_cmake "$s" "$cache/build/qt6-base" \
      -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
      -DBUILD_SHARED_LIBS=ON -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF \
      -DFEATURE_sql=OFF -DFEATURE_dbus=OFF -DFEATURE_opengl=OFF -DINPUT_opengl=no \
      -DFEATURE_network=OFF -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF -DFEATURE_vulkan=OFF \
      -DFEATURE_icu=OFF -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF \
      -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_freetype=OFF -DFEATURE_system_png=OFF \
      -DFEATURE_system_jpeg=OFF
}

build_qcustomplot() {
  local s
  s=$(fetch qcustomplot)
  # Debian's patches (applied by apt-get source) add the CMake package files
  # and make the moc output compile with Qt 6.
  cross_cmake "$s" "$cache/build/qcustomplot" -DQT_HOST_PATH=/usr \
      -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake -DQT_VERSION_MAJOR=6
}

build_libxlsxwriter() {
  local s
  dpkg -s libz-mingw-w64-dev >/dev/null 2>&1 || apt-get install -y --no-install-recommends libz-mingw-w64-dev
  s=$(fetch libxlsxwriter)
  cross_cmake "$s" "$cache/build/libxlsxwriter" -DBUILD_SHARED_LIBS=ON -DBUILD_TESTS=OFF \
      -DBUILD_EXAMPLES=OFF -DUSE_SYSTEM_MINIZIP=OFF -DUSE_OPENSSL_MD5=OFF -DUSE_NO_MD5=ON
  install -Dm644 "$s/License.txt" "$prefix/share/doc/libxlsxwriter/License.txt"
}

components=("$@")
[[ ${#components[@]} -gt 0 ]] || components=(libjpeg-turbo qt6-base qcustomplot libxlsxwriter)
for c in "${components[@]}"; do
  echo "== $c ${version[$c]:?unknown component $c} into $prefix"
  "build_${c//-/_}"
done
