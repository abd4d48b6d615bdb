#!/usr/bin/env bash
# Builds the Debian package of the program and installs it on this machine with
# apt-get, which also installs the packages it depends on; then starts the
# installed programs once to show that they run from the installed paths.
# Remove it again with: apt-get remove ionveto
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)"
(cd build && cpack -G DEB)
deb=$(ls -t build/ionveto_*.deb | head -n 1)
echo "Package: $deb"
dpkg-deb --field "$deb" Package Version Depends

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get install -y -qq "./$deb"

echo "Installed files:"
dpkg -L ionveto | while read -r f; do if [ -f "$f" ]; then echo "$f"; fi; done | sort
echo "Run of the installed programs:"
/usr/bin/ionveto-sim --help | head -n 2
# The window under the offscreen platform: it must still be running (waiting
# for the identification) when it is stopped after three seconds.
status=0
QT_QPA_PLATFORM=offscreen timeout 3 /usr/bin/ionveto || status=$?
if [ "$status" -ne 124 ]; then
  echo "the installed window ended by itself (status $status)"
  exit 1
fi
echo "/usr/bin/ionveto started and was running after 3 s"
