#!/usr/bin/env bash
# Builds MZ4800 Control and starts it. On first use the program itself
# prepares the program folder ~/MZ4800 with a demonstration cell
# characteristic and a configuration for simulation mode (no instrument),
# taken from examples/.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target mz4800 mz4800-emulator
exec build/mz4800 "$@"
