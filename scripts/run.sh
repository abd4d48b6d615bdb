#!/usr/bin/env bash
# Installs what is missing, builds and starts the program.
# IONVETO_PROGRAMS_ONLY=1 builds only the three programs, not the tests and benchmarks.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
if [ "${IONVETO_PROGRAMS_ONLY:-0}" = 1 ]; then
  cmake --build build -j"$(nproc)" --target ionveto ionveto-sim ionveto-report
else
  cmake --build build -j"$(nproc)"
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  # Nobody sees this screen: it only shows that the window starts.
  echo "No display: starting under Xvfb as a smoke test (nothing to see; stop it with Ctrl+C)"
  exec xvfb-run -a -s "-screen 0 1280x1024x24" ./build/ionveto "$@"
fi
exec ./build/ionveto "$@"
