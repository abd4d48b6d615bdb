#!/usr/bin/env bash
# Times ionveto-report over generated contestant folders (default 30 folders of
# 5 layouts each, plus one text file per folder that is no layout).
# usage: scripts/bench-report.sh [BUILD_DIR] [FOLDERS] [LAYOUTS]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
folders=${2:-30}
layouts=${3:-5}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
python3 scripts/make-report-sample.py "$work/verseny" "$folders" "$layouts"
# Wall time depends on what else the machine does; user + sys is the program's own work.
for run in 1 2 3; do
  TIMEFORMAT="run $run: %R s wall, %U s user, %S s sys"
  time "$build/ionveto-report" --out "$work/jelentes" "$work/verseny" 2>"$work/stderr"
done
tail -1 "$work/stderr"
ls -l "$work/jelentes"
