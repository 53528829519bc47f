#!/usr/bin/env bash
# Builds MZ4800 Control in Release (build-release/, benchmarks on), runs the
# Google Benchmark programs (mz_bench) and the whole-process probes (mz_probe),
# and prints one table: what, figure, budget, within budget or not.
#
#   tools/bench.sh                 # 5 repetitions of every benchmark
#   REPETITIONS=9 tools/bench.sh   # more, on a busy machine
#
# Figures are medians over the repetitions: CPU time of the measuring thread
# for mz_bench, wall time for the probes. The raw output stays in
# build-release/bench-results/. Exit status 1 when a figure misses its budget.
set -euo pipefail
cd "$(dirname "$0")/.."
reps="${REPETITIONS:-5}"
build=build-release
out="$build/bench-results"

tools/install-deps.sh
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DMZ_BUILD_BENCH=ON >/dev/null
cmake --build "$build" --target mz4800 mz_bench mz_probe
mkdir -p "$out"

load_before=$(cut -d' ' -f1-3 /proc/loadavg)
echo "Running mz_bench ($reps repetitions)..." >&2
QT_QPA_PLATFORM=offscreen "$build/bench/mz_bench" --benchmark_repetitions="$reps" \
  --benchmark_report_aggregates_only=true --benchmark_out="$out/mz_bench.json" \
  --benchmark_out_format=json >"$out/mz_bench.txt" 2>&1
echo "Running mz_probe..." >&2
probe="$build/bench/mz_probe"
{
  "$probe" first-paint "$reps"
  # Peak memory is one figure per process; the median of three runs.
  for i in 1 2 3; do "$probe" run-memory 2000 | sed "s/^vmhwm_mb /vmhwm_run_mb /"; done
  # The pseudo-terminal's figures follow the machine's scheduling: three runs
  # of 500 frames, the medians of their median and 99th percentile.
  for i in 1 2 3; do "$probe" reply-latency 500; done
  # The two pacings: on the virtual clock, and a real sweep on a pty.
  "$probe" paced-durations
  "$probe" paced-pty design
  "$probe" paced-pty fast
} >"$out/mz_probe.txt" 2>"$out/mz_probe.log"
load_after=$(cut -d' ' -f1-3 /proc/loadavg)

# A field of a benchmark's median (the JSON output has one field a line).
bench() {  # name field
  awk -v name="$1_median" -v field="\"$2\":" '
    $1 == "\"name\":" { cur = $2; gsub(/[",]/, "", cur) }
    $1 == field && cur == name { v = $2; gsub(/[",]/, "", v); print v; exit }' "$out/mz_bench.json"
}
# The time of a benchmark in the unit asked for (ms or us).
bench_time() {  # name unit
  local t unit
  t=$(bench "$1" cpu_time)
  unit=$(bench "$1" time_unit)
  awk -v t="$t" -v from="$unit" -v to="$2" 'BEGIN {
    f["ns"] = 1e-3; f["us"] = 1; f["ms"] = 1e3; f["s"] = 1e6
    if (t == "") { print ""; exit }
    printf "%.4g\n", t * f[from] / f[to] }'
}
probe_value() { awk -v k="$1" '$1 == k { print $2; exit }' "$out/mz_probe.txt"; }
probe_median() {
  awk -v k="$1" '$1 == k { print $2 }' "$out/mz_probe.txt" | sort -g |
    awk '{ v[++n] = $1 } END { if (n) print (n % 2) ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2 }'
}
sum() { awk -v a="$1" -v b="$2" 'BEGIN { if (a == "" || b == "") print ""; else printf "%.4g\n", a + b }'; }

failed=0
rows=()
row() {  # what figure unit op budget
  local verdict
  if [ -z "$2" ]; then
    verdict="NOT MEASURED"
    failed=1
  elif [ "$4" = "-" ]; then
    verdict="(no budget)"
  elif awk -v f="$2" -v b="$5" -v op="$4" 'BEGIN { exit !((op == "<=") ? f <= b : f >= b) }'; then
    verdict="within"
  else
    verdict="OVER BUDGET"
    failed=1
  fi
  local budget="$4 $5 $3"
  [ "$4" = "-" ] && budget="-"
  rows+=("$(printf '%-52s %12s %-5s %-14s %s' "$1" "${2:-?}" "$3" "$budget" "$verdict")")
}

mbps=$(bench ReplyDecoderMixedFrames bytes_per_second)
mbps=$(awk -v b="$mbps" 'BEGIN { if (b != "") printf "%.0f\n", b / 1e6 }')

row "full repaint, 2000-step swept graph" "$(bench_time FormPaint2000Steps ms)" ms "<=" 0.5
row "full repaint, 2000-step strip chart" "$(bench_time FormPaint2000StripSteps ms)" ms "<=" 1
row "run-clock tick, next step" "$(bench_time RunClockTick/2 us)" us "<=" 5
row "run-clock tick, level reached" "$(bench_time RunClockTick/4 us)" us "<=" 5
row "run-clock tick, dwelling" "$(bench_time RunClockTick/5 us)" us "<=" 5
row "live graph step (one segment)" "$(bench_time LiveStep us)" us "-" -
row "graph window 1920x1080, 2000 steps + 2 overlays, full repaint" \
  "$(bench_time GraphWindowRepaint ms)" ms "<=" 4
row "graph window 1920x1080, live step (segment + header)" "$(bench_time GraphWindowLiveStep us)" us "-" -
row "reply decoder, 1 MB mixed, chunks 1-64 bytes" "$mbps" MB/s ">=" 100
row "results file 2000 rows, write + read" \
  "$(sum "$(bench_time ResultsFileWrite2000 ms)" "$(bench_time ResultsFileRead2000 ms)")" ms "<=" 1
row "pre-scan file 2000 rows, write + read" \
  "$(sum "$(bench_time PreScanFileWrite2000 ms)" "$(bench_time PreScanFileRead2000 ms)")" ms "<=" 1
row "set-up file read" "$(bench_time SetupFileRead ms)" ms "-" -
row "configuration file read" "$(bench_time ConfigurationFileRead ms)" ms "-" -
row "cell characteristic 2000 rows read" "$(bench_time CellCharacteristicRead2000 ms)" ms "-" -
row "255-step IEC sweep, virtual clock (CPU)" "$(bench_time IecSweep255Steps ms)" ms "<=" 20
row "printed plot composed, 255 steps" "$(bench_time PrintedPlot/255 ms)" ms "<=" 2
row "printed plot composed, 1995 steps" "$(bench_time PrintedPlot/1995 ms)" ms "<=" 2
row "printed table composed, 255 rows" "$(bench_time PrintedTable/255 ms)" ms "<=" 2
row "printed table composed, 1995 rows" "$(bench_time PrintedTable/1995 ms)" ms "<=" 2
row "process start to first paint (offscreen)" "$(probe_value first_paint_ms)" ms "<=" 150
row "resident memory (VmHWM) after 2000-step run" "$(probe_median vmhwm_run_mb)" MB "<=" 40
row "status reply to ACK on a pty, median" "$(probe_median reply_ack_median_us)" us "<=" 300
row "status reply to ACK on a pty, 99th percentile" "$(probe_median reply_ack_p99_us)" us "<=" 1100
row "IEC preset sweep, virtual clock, design pacing" "$(probe_value iec_design_s)" s "<=" 1608.5
row "IEC preset sweep, virtual clock, fast stepping" "$(probe_value iec_fast_s)" s "<=" 900
row "IEC preset pre-scan, virtual clock, design pacing" "$(probe_value prescan_design_s)" s "-" -
row "IEC preset pre-scan, virtual clock, fast stepping" "$(probe_value prescan_fast_s)" s "<=" \
  "$(awk -v d="$(probe_value prescan_design_s)" 'BEGIN { if (d != "") print d / 2 }')"
row "15-step sweep, 1 s dwell, pty, design pacing" "$(probe_value pty_design_step_s)" s/step "-" -
row "15-step sweep, 1 s dwell, pty, fast stepping" "$(probe_value pty_fast_step_s)" s/step "<=" 1.6
row "CPU during the fast sweep on the pty" "$(probe_value pty_fast_cpu_pct)" "%" "<=" 2

echo
printf '%-52s %12s %-5s %-14s %s\n' "what" "figure" "" "budget" "verdict"
printf '%s\n' "${rows[@]}"
echo
echo "medians of $reps repetitions; $(nproc) cores; load average $load_before before, $load_after after"
exit "$failed"
