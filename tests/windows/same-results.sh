#!/usr/bin/env bash
# The Windows simulator under Wine computes exactly what the Linux one does:
# for several seeds, modes and a saved layout, the summary line (without its
# timing), the spectra file and the trace picture are the same bytes. Every
# file sits in a folder whose name has ő, ű and blanks. The last case is a
# longer run whose speeds both sides print, for the record.
#   same-results.sh LINUX_SIM WINDOWS_SIM.exe LAYOUT.ini
set -uo pipefail
linux=$1 windows=$2 layout=$3
here=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
dir="$work/Mérés ő ű"
mkdir -p "$dir"
cp "$layout" "$dir/elrendezés ű.ini"

passed=0 failed=0
speeds=()
check() {   # NAME ARGS...
  local name=$1
  shift
  "$linux" "$@" --spectrum-out "$dir/linux spektrum ő.txt" --picture-out "$dir/linux kép ű.png" \
    >"$dir/linux.out" 2>"$dir/linux.err"
  local lrc=$?
  bash "$here/scripts/wine-run.sh" "$windows" "$@" --spectrum-out "$dir/windows spektrum ő.txt" \
    --picture-out "$dir/windows kép ű.png" >"$dir/windows.out" 2>"$dir/windows.err"
  local wrc=$?
  local why=""
  [[ $lrc == 0 && $wrc == 0 ]] || why="exit status $lrc (Linux) and $wrc (Windows)"
  # The summary without its timing, the lines before it as they are.
  local lsum wsum
  lsum=$(tr -d '\r' <"$dir/linux.out" | sed 's/, seconds .*//')
  wsum=$(tr -d '\r' <"$dir/windows.out" | sed 's/, seconds .*//')
  [[ -n $why || -n $lsum ]] || why="no summary line"
  [[ -n $why || $lsum == "$wsum" ]] || why="summary differs: '$lsum' against '$wsum'"
  [[ -n $why ]] || cmp -s "$dir/linux spektrum ő.txt" "$dir/windows spektrum ő.txt" || why="spectra files differ"
  [[ -n $why ]] || cmp -s "$dir/linux kép ű.png" "$dir/windows kép ű.png" || why="pictures differ"
  if [[ -z $why ]]; then
    passed=$((passed + 1))
    echo "PASS $name: $lsum"
  else
    failed=$((failed + 1))
    echo "FAIL $name: $why"
    sed 's/^/  linux: /' "$dir/linux.err"
    sed 's/^/  windows: /' "$dir/windows.err"
  fi
  speeds=("$(grep -o 'steps/s [0-9]*' "$dir/linux.out")" "$(tr -d '\r' <"$dir/windows.out" | grep -o 'steps/s [0-9]*')")
}

check "seed 1, test mode" --ions 2000 --seed 1
check "seed 2, test mode, spectrum 2" --ions 2000 --seed 2 --spectrum 2
check "seed 3, unknown mode" --ions 2000 --seed 3 --mode unknown
check "seed 4, one by one, heavy ions" --ions 300 --seed 4 --continuous off --mass 200 --mean-mass 200 --induction 1.5
check "seed 5, detector placed, ROI" --ions 2000 --seed 5 --detector 236,460,237,483,238,506 --roi 100,600
check "seed 6, saved layout" --ions 1000 --seed 6 --layout "$dir/elrendezés ű.ini"
check "seed 1, long run" --ions 20000 --seed 1
echo "speed of the long run: Linux ${speeds[0]}, Windows under Wine ${speeds[1]}"
echo "$passed passed, $failed failed"
[[ $failed == 0 ]]
