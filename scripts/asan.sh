#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UBSan (IONVETO_SANITIZE) in its own
# build folder and runs the whole test suite there. Any sanitizer report fails
# the test it occurs in.
#
#   scripts/asan.sh [extra ctest arguments, e.g. -R test_layout]
set -euo pipefail
cd "$(dirname "$0")/.."
build=build-asan
bash scripts/install-deps.sh
# A compiler cache, where there is one, keeps rebuilds short.
if command -v ccache >/dev/null; then
  export CMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER:-ccache}
fi
# Leaks are reported too; a UBSan finding stops the program like an ASan one.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DIONVETO_SANITIZE=ON >/dev/null
cmake --build "$build" -j2
ctest --test-dir "$build" -j2 --output-on-failure "$@"
