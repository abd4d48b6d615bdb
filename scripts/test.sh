#!/usr/bin/env bash
# Installs what is missing, builds everything, checks the names in the changed
# files and that no two units include each other (CONVENTIONS.md), and runs every test.
# IONVETO_WARNINGS_AS_ERRORS=ON (as CI sets it) makes any compiler warning fail the build.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DIONVETO_WARNINGS_AS_ERRORS="${IONVETO_WARNINGS_AS_ERRORS:-OFF}" >/dev/null
cmake --build build -j"$(nproc)"
bash scripts/check-naming.sh build
python3 scripts/include-cycles.py
ctest --test-dir build --output-on-failure -j"$(nproc)"
