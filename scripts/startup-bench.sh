#!/usr/bin/env bash
# Start-up figures of the window: the time from starting the program to the
# moment the identification dialog ("Azonosító beadása") is mapped, and the
# resident memory of the process at that moment. Runs under its own Xvfb
# (no window manager), several times; prints each run and the median.
#
#   bash scripts/startup-bench.sh [program] [runs]     (default build/ionveto, 10)
set -euo pipefail
cd "$(dirname "$0")/.."
PROGRAM=${1:-build/ionveto}
RUNS=${2:-10}
TITLE="Azonosító beadása"
bash scripts/install-deps.sh bc
for tool in Xvfb xdotool xdpyinfo bc; do
  command -v "$tool" >/dev/null || { echo "needs $tool (bash scripts/install-deps.sh bc)"; exit 1; }
done
[ -x "$PROGRAM" ] || { echo "no program at $PROGRAM"; exit 1; }

# Xvfb picks a free display itself and reports it on descriptor 3.
exec 3< <(Xvfb -displayfd 1 -noreset -screen 0 1280x1024x24 -nolisten tcp 2>/dev/null & echo "pid $!")
read -r _ XVFB_PID <&3 || true
read -r DISPLAY_NUMBER <&3
export DISPLAY=":$DISPLAY_NUMBER"
trap 'kill "$XVFB_PID" 2>/dev/null || true' EXIT
for _ in $(seq 1 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

now_ms() { echo $(( $(date +%s%N) / 1000000 )); }

times=()
rss=()
cpus=()
for run in $(seq 1 "$RUNS"); do
  start=$(now_ms)
  "$PROGRAM" >/dev/null 2>"${TMPDIR:-/tmp}/startup-bench.err" &
  pid=$!
  found=""
  while kill -0 "$pid" 2>/dev/null; do
    if xdotool search --onlyvisible --name "^$TITLE\$" >/dev/null 2>&1; then
      found=$(now_ms)
      break
    fi
    if (( $(now_ms) - start > 10000 )); then break; fi
  done
  if [ -z "$found" ]; then
    echo "run $run: the dialog did not appear"; cat "${TMPDIR:-/tmp}/startup-bench.err"
    kill "$pid" 2>/dev/null || true; exit 1
  fi
  kb=$(awk '/^VmRSS:/ {print $2}' "/proc/$pid/status")
  # Processor time used so far (user + system), which a busy machine changes less than the wall time.
  cpu=$(awk -v hz="$(getconf CLK_TCK)" '{print int(($14 + $15) * 1000 / hz)}' "/proc/$pid/stat")
  kill -KILL "$pid"; wait "$pid" 2>/dev/null || true
  ms=$(( found - start ))
  times+=("$ms"); rss+=("$kb"); cpus+=("$cpu")
  printf 'run %2d: dialog after %4d ms (processor %4d ms), resident %6.1f MB\n' "$run" "$ms" "$cpu" \
    "$(echo "$kb/1024" | bc -l)"
done
median() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {print (NR%2 ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2)}'; }
printf 'median: dialog after %s ms (processor %s ms), resident %.1f MB (%d runs, load %s)\n' \
  "$(median "${times[@]}")" "$(median "${cpus[@]}")" "$(echo "$(median "${rss[@]}")/1024" | bc -l)" "$RUNS" \
  "$(cut -d' ' -f1 /proc/loadavg)"
