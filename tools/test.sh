#!/usr/bin/env bash
# Builds MZ4800 Control with its tests and runs every test: logic, widgets
# (offscreen) and whole-program runs against the instrument emulator.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build
ctest --test-dir build --output-on-failure -j2 "$@"
