#!/usr/bin/env bash
# A whole measurement done with the keyboard, as a teacher without a mouse would
# do it, under Xvfb on the screen of a school laptop or a scaled display. Only
# the detector's three points are mouse clicks (placing them is pointing at the
# picture). A screenshot is taken after every step.
#
#   scripts/keyboard-measurement.sh [WIDTHxHEIGHT] [SCALE] [OUTDIR]
#   scripts/keyboard-measurement.sh 1366x768
#   scripts/keyboard-measurement.sh 1920x1080 1.25
#   scripts/keyboard-measurement.sh 2560x1440 2 /tmp/shots-200
#
# Needs a built program (build/ionveto, or IONVETO_BIN), Xvfb, xdotool and
# ImageMagick's import (scripts/install-deps.sh installs them). The program runs
# from a copy in OUTDIR, so its contestant folder and saved files land there.
set -euo pipefail
cd "$(dirname "$0")/.."

SIZE=${1:-1366x768}
SCALE=${2:-1}
OUT=${3:-/tmp/ionveto-keys-${SIZE}-${SCALE}}
BIN=${IONVETO_BIN:-build/ionveto}
CONTESTANT=${CONTESTANT:-7}
[ -x "$BIN" ] || { echo "no program at $BIN: build it first" >&2; exit 1; }

mkdir -p "$OUT/program"
cp "$BIN" "$OUT/program/ionveto"
rm -rf "${OUT:?}/program/$CONTESTANT" "$OUT"/*.png

# A display of our own.
for n in $(seq 90 140); do
  [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || { DISPLAY_NUM=$n; break; }
done
Xvfb ":$DISPLAY_NUM" -screen 0 "${SIZE}x24" -nolisten tcp >/dev/null 2>&1 &
XVFB_PID=$!
APP_PID=
cleanup() {
  [ -n "$APP_PID" ] && kill "$APP_PID" 2>/dev/null || true
  kill "$XVFB_PID" 2>/dev/null || true
}
trap cleanup EXIT
export DISPLAY=":$DISPLAY_NUM"
for _ in $(seq 50); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.1; done

# A Hungarian desktop, at the given scaling.
export LANG=hu_HU.UTF-8 LC_ALL=hu_HU.UTF-8 QT_SCALE_FACTOR="$SCALE"
"$OUT/program/ionveto" >"$OUT/program.log" 2>&1 &
APP_PID=$!

STEP=0
shot() {
  sleep "${2:-0.6}"
  STEP=$((STEP + 1))
  import -window root "$(printf '%s/%02d-%s.png' "$OUT" "$STEP" "$1")"
  echo "step $STEP: $1"
}
key() { xdotool key --clearmodifiers --delay 120 "$@"; sleep 0.25; }
typed() { xdotool type --delay 60 "$1"; sleep 0.2; }
tabs() { for _ in $(seq "$1"); do key Tab; done; }
window() { xdotool search --sync --onlyvisible --name "$1" | head -n 1; }

# 1. Identification: the contestant number, Enter.
window "Azonosító beadása" >/dev/null
shot identification
typed "$CONTESTANT"
key Return
MAIN=$(window "Felhasználó: $CONTESTANT")
shot device-page 1.5

# 2. The detector: three points in the drift after the magnet (picture column
# 237, rows 460, 483, 506), clicked where the picture shows on the screen.
eval "$(xdotool getwindowgeometry --shell "$MAIN")"
picture_at() {   # picture point -> screen point, through the window's own offsets
  awk -v x="$1" -v y="$2" -v s="$SCALE" -v wx="$X" -v wy="$Y" -v ox="$PICTURE_X" -v oy="$PICTURE_Y" \
    'BEGIN { printf "%d %d", wx + (ox + x) * s, wy + (oy + y) * s }'
}
# The picture's corner in the window's own pixels: the page's border and the
# picture's place on the page (15, 2), under the menu bar and 9 pixels of margin.
PICTURE_X=${PICTURE_X:-18}
PICTURE_Y=${PICTURE_Y:-33}
for row in 460 483 506; do
  read -r sx sy <<<"$(picture_at 237 "$row")"
  xdotool mousemove "$sx" "$sy" click 1
  sleep 0.4
done
xdotool mousemove 0 0
shot detector-points

# 3. From here on the keyboard alone. The window takes the keys (there is no
# window manager under Xvfb to hand them over). Tab walks the page as it reads:
# the run panel, the source panel, the analyser panel, then the detector and
# the magnet panels.
xdotool windowfocus "$MAIN"
sleep 0.3
tabs 2            # "Tesztelés, beállítás", "Start"
shot focus-on-start
tabs 2            # "Kitűzött részecskeszám" ("Folyamatos a kitűzöttig" is on)
key ctrl+a
typed 400
key Return
tabs 9            # "Blende1 (m)"
key Up Up         # 0.022
tabs 1            # "Blende2 (m)"
key Up Up         # 0.022
tabs 2            # "Blende3 (m)"
key Down          # 0.007
shot apertures-by-arrows
tabs 4            # "Setup", "Mutat", "Pont #1", "Elfogad"
shot focus-on-accept
key Return        # accepts the detector
shot detector-accepted
# The accepted detector's button is gone: the focus moved on to "Magn. indukció (T)".
key Page_Down Page_Up Up Down     # -0.1, +0.1, +0.01, -0.01: back to 1
shot induction-by-keys

# 4. The run: Enter on "Start".
tabs "${TABS_TO_START:-4}"
shot focus-on-start-again
key Return
shot during-the-run 1.5          # the page's controls locked: greyed
sleep "${RUN_SECONDS:-12}"
shot after-the-run

# 5. The spectrum: Ctrl+Tab to "Grafikonok", Alt+arrows for the cursor.
key ctrl+Tab
shot graphs-page
for _ in $(seq 20); do xdotool key --clearmodifiers alt+Right; done
sleep 0.3
shot cursor-moved

# 6. Saving: F10 opens "Fájl", Down and Enter its first item; the file dialog
# (in the system's language) takes a name and Enter; then the note: a line,
# Ctrl+Tab for a tab in it, another line, Tab Tab to "OK", Enter.
key F10
shot file-menu
key Down Return
sleep 1.5
shot save-dialog
typed "meres1"
key Return
sleep 1.5
typed "Billentyuzettel mert spektrum"
key Return
typed "Blende:"
key ctrl+Tab
typed "0.022 0.022 0.007"
shot note
key Tab Tab       # "Megjegyzés törlése", "OK"
key Return
sleep 1
shot saved

# 7. The help, read by keys. Without a window manager a window that opens is
# handed the keys here, as a desktop would do.
xdotool windowfocus "$MAIN"
sleep 0.5
key F10 Right Down               # "Súgó" opens on "Névjegy"; one down
shot help-menu
key Return                       # "Elmélet+feladatok"
HELP=$(window "feladatok")
xdotool windowfocus "$HELP"
shot help 1.5
key Page_Down Page_Down End
shot help-end
key Return                       # "OK" closes it

# 8. The end: "Fájl" › "Vége" (Up from the top wraps to it), the question,
# Enter for "Igen".
xdotool windowfocus "$MAIN"
sleep 0.5
key F10 Up Return
QUESTION=$(window "MEGER")
xdotool windowfocus "$QUESTION"
shot exit-question
key Return
sleep 1
if kill -0 "$APP_PID" 2>/dev/null; then echo "the program is still running" >&2; exit 1; fi
APP_PID=
ls "$OUT/program/$CONTESTANT"
echo "screenshots in $OUT"
