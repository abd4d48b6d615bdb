#!/usr/bin/env bash
# Builds the Debian package (scripts/build-deb.sh: its own folder build-deb/,
# Debian's hardening flags, reproducible, checked with lintian), installs it on
# this machine with apt-get, which also installs the packages it depends on,
# then starts the installed programs once to show that they run from the
# installed paths. Uses sudo when not root.
# Remove it again with: apt-get remove ionveto
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh lintian
deb=$(bash scripts/build-deb.sh build-deb | tail -n 1)
echo "Package: $deb"
dpkg-deb --field "$deb" Package Version Depends

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get install -y -qq "$deb"

echo "Installed files:"
dpkg -L ionveto | while read -r f; do if [ -f "$f" ]; then echo "$f"; fi; done | sort
echo "Run of the installed programs:"
/usr/bin/ionveto --version
/usr/bin/ionveto-sim --version
/usr/bin/ionveto-report --version
# The window under the offscreen platform: it must still be running (waiting
# for the identification) when it is stopped after three seconds.
data="${XDG_DATA_HOME:-$HOME/.local/share}/ionveto"
had_data=0
if [ -e "$data" ]; then had_data=1; fi
status=0
QT_QPA_PLATFORM=offscreen timeout 3 /usr/bin/ionveto || status=$?
if [ "$status" -ne 124 ]; then
  echo "the installed window ended by itself (status $status)"
  exit 1
fi
echo "/usr/bin/ionveto started and was running after 3 s"
# Nobody identified, so the user's data folder must not have been made.
if [ "$had_data" = 0 ] && [ -e "$data" ]; then
  echo "the start made $data before anyone identified"
  exit 1
fi
