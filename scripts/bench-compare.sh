#!/usr/bin/env bash
# The flight and window-tick benchmarks of an earlier commit against this work
# tree's build, run interleaved (before, after, before, ...) so that a machine
# busy with other work slows both alike. Prints per benchmark the median CPU time
# and its range over the rounds, and the median wall time.
#
#     bash scripts/bench-compare.sh COMMIT [ROUNDS] [BUILD_DIR]
#
# COMMIT is exported into /tmp/ionveto-bench-COMMIT and built there (only the two
# benchmarks); BUILD_DIR (default build) must hold this tree's built benchmarks.
set -euo pipefail
cd "$(dirname "$0")/.."
commit=$(git rev-parse --short "$1")
rounds=${2:-3}
after=$(realpath "${3:-build}")
before=/tmp/ionveto-bench-$commit
if [ ! -x "$before/build/bench/bench_window_tick" ]; then
  mkdir -p "$before"
  git archive "$commit" | tar -x -C "$before"
  cmake -S "$before" -B "$before/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$before/build" -j"$(nproc)" --target bench_flight bench_window_tick >/dev/null
fi
export QT_QPA_PLATFORM=offscreen
out=$(mktemp)
trap 'rm -f "$out"' EXIT
for r in $(seq 1 "$rounds"); do
  for which in before after; do
    dir=$before/build; [ "$which" = after ] && dir=$after
    for b in bench_flight bench_window_tick; do
      "$dir/bench/$b" --benchmark_format=csv 2>/dev/null | grep -v '^name,' | sed "s/^/$which,/" >>"$out"
    done
  done
done
python3 - "$out" "$commit" <<'PY'
import csv, statistics, sys, collections
runs = collections.defaultdict(lambda: collections.defaultdict(list))
for row in csv.reader(open(sys.argv[1])):
    which, name, real, cpu, unit = row[0], row[1], float(row[3]), float(row[4]), row[5]
    runs[name][which].append((cpu, real, unit))
print(f"{'benchmark':38s} {'CPU ' + sys.argv[2] + ' median (range)':>34s} {'CPU now median (range)':>34s} {'wall before':>12s} {'wall now':>10s}")
for name, v in runs.items():
    def cell(xs):
        c = [x[0] for x in xs]
        return f"{statistics.median(c):.3f} ({min(c):.3f}-{max(c):.3f}) {xs[0][2]}"
    wall = lambda xs: f"{statistics.median(x[1] for x in xs):.3f}"
    print(f"{name:38s} {cell(v['before']):>34s} {cell(v['after']):>34s} {wall(v['before']):>12s} {wall(v['after']):>10s}")
PY
