#!/usr/bin/env bash
# Times ionveto-report over generated contestant folders (default 30 folders of
# 5 layouts each, plus one text file per folder that is no layout). With a
# second build folder the two programs run in turn over the same folders, so
# one run compares them under the same load.
# usage: [RUNS=3] scripts/bench-report.sh [BUILD_DIR] [FOLDERS] [LAYOUTS] [OTHER_BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
folders=${2:-30}
layouts=${3:-5}
other=${4:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
python3 scripts/make-report-sample.py "$work/verseny" "$folders" "$layouts"
echo "cores: $(nproc), load: $(cut -d' ' -f1-3 /proc/loadavg)"
# Wall time depends on what else the machine does; user + sys is the program's own work.
for run in $(seq "${RUNS:-3}"); do
  for b in "$build" $other; do
    TIMEFORMAT="run $run $b: %R s wall, %U s user, %S s sys"
    time "$b/ionveto-report" --out "$work/jelentes-$run" "$work/verseny" 2>"$work/stderr"
  done
done
tail -1 "$work/stderr"
ls -l "$work/jelentes-1"
