#!/usr/bin/env bash
# Builds the fuzz targets with clang and libFuzzer (ASan and UBSan on) in their own
# build folder and runs each for a given time.
#
#   scripts/fuzz.sh [SECONDS] [TARGET...]
#
# SECONDS per target (default 600); TARGETs are the names after "fuzz_" (default:
# all of tests/fuzz/fuzz_*.cpp). Each run starts from the committed seed corpus
# tests/fuzz/corpus/<target> and the inputs that once failed, tests/fuzz/crashes/<target>;
# what it grows stays in build-fuzz/corpus/<target>. A failing input is written to
# build-fuzz/artifacts/<target>/: copy it into tests/fuzz/crashes/<target>/ so the
# replay tests keep it. Figures of each run go to build-fuzz/logs/<target>.log.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}
shift || true
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for f in tests/fuzz/fuzz_*.cpp; do
    n=$(basename "$f" .cpp)
    targets+=("${n#fuzz_}")
  done
fi

build=build-fuzz
bash scripts/install-deps.sh
# clang with its sanitizer and libFuzzer runtimes, only for this script.
if ! command -v clang++ >/dev/null || ! dpkg-query -W -f='${Status}' libclang-rt-14-dev 2>/dev/null | grep -q "ok installed"; then
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends clang libclang-rt-14-dev
fi
# A compiler cache, where there is one, keeps rebuilds short.
if command -v ccache >/dev/null; then
  export CMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER:-ccache}
fi
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DIONVETO_FUZZ=ON >/dev/null
cmake --build "$build" -j2 --target $(printf 'fuzz_%s ' "${targets[@]}")

status=0
for t in "${targets[@]}"; do
  corpus=$build/corpus/$t
  artifacts=$build/artifacts/$t
  mkdir -p "$corpus" "$artifacts" "$build/logs" tests/fuzz/crashes/"$t"
  seeds=(tests/fuzz/corpus/"$t")
  [ -n "$(ls -A tests/fuzz/crashes/"$t")" ] && seeds+=(tests/fuzz/crashes/"$t")
  echo "== fuzz_$t for ${seconds}s"
  if ! nice -n 10 "$build/tests/fuzz/fuzz_$t" "$corpus" "${seeds[@]}" \
        -dict=tests/fuzz/layout.dict -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -max_len=16384 -print_final_stats=1 -artifact_prefix="$artifacts/" \
        >"$build/logs/$t.log" 2>&1; then
    echo "fuzz_$t FAILED: see $build/logs/$t.log and $artifacts/"
    status=1
  fi
  grep -E '^(Done|stat::number_of_executed_units|stat::average_exec_per_sec|stat::peak_rss_mb)' \
       "$build/logs/$t.log" || tail -5 "$build/logs/$t.log"
done
exit $status
