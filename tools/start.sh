#!/usr/bin/env bash
# Builds MZ4800 Control and starts it. On first use it prepares the program
# folder ~/MZ4800 with a demonstration cell characteristic and a
# configuration for simulation mode (no instrument).
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target mz4800 mz4800-emulator
folder="$HOME/MZ4800"
mkdir -p "$folder"
[ -e "$folder/MZ4800.INI" ] || cp examples/MZ4800.INI "$folder/MZ4800.INI"
[ -e "$folder/cell0010.csv" ] || cp examples/cell0010.csv "$folder/cell0010.csv"
exec build/mz4800 "$@"
