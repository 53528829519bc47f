#!/usr/bin/env bash
# Runs one libFuzzer target for a bounded time:  tools/fuzz.sh TARGET SECONDS
# TARGET is reply_decoder, setup_block, configuration, results_file,
# setup_file, prescan_file, cell_characteristic or read_number ("all" runs
# each in turn for SECONDS). The fuzz build lives in build-fuzz (clang,
# AddressSanitizer, UndefinedBehaviorSanitizer), apart from the normal build.
# The run starts from the inputs kept in tests/fuzz/corpus/TARGET (the
# regression inputs of earlier findings among them) and the golden and
# example files of that kind; what it learns stays in build-fuzz/corpus.
# Exits non-zero on a finding, whose input is left in build-fuzz/findings.
set -euo pipefail
cd "$(dirname "$0")/.."
target=${1:?usage: tools/fuzz.sh TARGET SECONDS}
seconds=${2:?usage: tools/fuzz.sh TARGET SECONDS}
all=(reply_decoder setup_block configuration results_file setup_file prescan_file
     cell_characteristic read_number)
if [ "$target" = all ]; then
  for t in "${all[@]}"; do "$0" "$t" "$seconds"; done
  exit 0
fi

seeds() {
  case $1 in
    setup_block | setup_file) echo tests/golden/setup_block.txt ;;
    configuration) echo tests/golden/config.ini examples/MZ4800.INI ;;
    results_file) echo tests/golden/results.mz ;;
    prescan_file) echo tests/golden/prescan.psc ;;
    cell_characteristic) echo tests/golden/cell_rules.csv examples/cell0010.csv ;;
    reply_decoder | read_number) ;;
    *) echo "unknown fuzz target $1 (one of: ${all[*]})" >&2; exit 2 ;;
  esac
}
files=$(seeds "$target")

if [ ! -f build-fuzz/build.ninja ]; then
  CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DMZ_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++ >/dev/null
fi
cmake --build build-fuzz --target "fuzz_$target" >/dev/null

corpus=build-fuzz/corpus/$target
findings=build-fuzz/findings/$target
mkdir -p "$corpus" "$findings"
[ -d "tests/fuzz/corpus/$target" ] && cp -n tests/fuzz/corpus/"$target"/* "$corpus"/ 2>/dev/null || true
for f in $files; do cp -n "$f" "$corpus/seed_$(basename "$f")"; done

max_len=65536
[ "$target" = reply_decoder ] && max_len=4096
[ "$target" = read_number ] && max_len=256
# Each input gets a fresh program and its own temporary folder.
[ -d /dev/shm ] && [ -w /dev/shm ] && export TMPDIR=${TMPDIR:-/dev/shm}
export TMPDIR=${TMPDIR:-/tmp}
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
# The regression inputs first: each must pass on its own.
if [ -d "tests/fuzz/corpus/$target" ]; then
  nice -n 10 "build-fuzz/tests/fuzz/fuzz_$target" -runs=0 "tests/fuzz/corpus/$target" \
    >"$findings/regression.log" 2>&1 || { tail -40 "$findings/regression.log"; exit 1; }
fi
nice -n 10 "build-fuzz/tests/fuzz/fuzz_$target" "$corpus" -max_total_time="$seconds" \
  -max_len="$max_len" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
  -artifact_prefix="$findings/" >"$findings/run.log" 2>&1 || {
  tail -60 "$findings/run.log"
  echo "fuzz_$target: FINDING, input in $findings/" >&2
  exit 1
}
stats=$(grep -E '^#[0-9]+.*(DONE|cov)' "$findings/run.log" | tail -1)
echo "fuzz_$target: ${seconds} s, no finding: $stats"
