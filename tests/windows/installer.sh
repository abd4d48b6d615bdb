#!/usr/bin/env bash
# The installer as an administrator runs it on a competition PC, under Wine:
# silent install, the Start-menu entry and the entry in the installed programs'
# list, the installed tool and window started (the window keeps its work
# folders in %APPDATA%\ionveto), then a silent uninstall that removes the
# program and leaves the user's work. Needs WINEPREFIX and DISPLAY; writes a
# screenshot of the installed window beside the installer.
#   installer.sh SETUP.exe
set -uo pipefail
setup=$1
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=C.UTF-8
drive=$WINEPREFIX/drive_c
dir="$drive/Program Files/Ionvető"
menu="$drive/ProgramData/Microsoft/Windows/Start Menu/Programs/Ionvető.lnk"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Ionveto'
passed=0 failed=0
check() {   # WHAT COMMAND...
  local what=$1
  shift
  if "$@"; then passed=$((passed + 1)); echo "PASS $what"; else failed=$((failed + 1)); echo "FAIL $what"; fi
}
gone() { for _ in $(seq 60); do [[ ! -e $1 ]] && return 0; sleep 1; done; return 1; }

rm -rf "$dir"
wine "$setup" /S
wineserver -w
check "installed into Program Files" test -f "$dir/ionveto.exe" -a -f "$dir/platforms/qwindows.dll"
check "Start-menu entry" test -f "$menu"
check "in the installed programs' list" wine reg query "$key" /v UninstallString
out=$(cd /tmp && wine "$dir/ionveto-sim.exe" --ions 100 --seed 1 | tr -d '\r')
echo "installed ionveto-sim: $out"
check "installed tool runs" grep -q '^ions 100, ' <<<"$out"

# The window, started from its installed folder; once a contestant has said who
# they are, their work folders go to the user's data folder, not into Program Files.
appdata=$(find "$drive/users" -maxdepth 3 -type d -path '*/AppData/Roaming' | head -n1)
rm -rf "$appdata/ionveto"
(cd /tmp && wine "$dir/ionveto.exe" >/dev/null 2>&1) &
# The picture once its first window (the identification) shows; then contestant 7.
for _ in $(seq 60); do xdotool search --onlyvisible --class ionveto.exe >/dev/null 2>&1 && break; sleep 1; done
sleep 3
import -window root "$(dirname "$setup")/installed-window.png" 2>/dev/null || true
# Without a window manager the keys go to the window that has the focus.
window=$(xdotool search --onlyvisible --class ionveto.exe 2>/dev/null | tail -n1)
[[ -n $window ]] && xdotool windowfocus --sync "$window"
xdotool type --delay 100 7
xdotool key Return
for _ in $(seq 60); do [[ -d $appdata/ionveto/7 ]] && break; sleep 1; done
check "work folder in %APPDATA%\\ionveto" test -d "$appdata/ionveto/7"
wine taskkill /f /im ionveto.exe >/dev/null 2>&1
wait
echo "contestant's work" >"$appdata/ionveto/munka.txt"

wine "$dir/uninstall.exe" /S
check "uninstalled" gone "$dir"
wineserver -w
check "Start-menu entry removed" test ! -e "$menu"
check "the user's work stays" test -f "$appdata/ionveto/munka.txt"
echo "installer: $passed passed, $failed failed"
[[ $failed == 0 ]]
