#!/usr/bin/env bash
# The real program on an emulated instrument, told to end in the middle of a
# run by SIGTERM, SIGINT and SIGHUP in turn: the instrument reads RfOff after
# the signal and before the process has ended, the run's journal ends with
# "program ended by signal", the configuration is written and the exit
# status is 128 + the signal.
# Usage: signal_ends_run.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1
source=$2
for tool in Xvfb openbox xdotool flock; do
  command -v "$tool" >/dev/null || { echo "missing $tool (tools/install-deps.sh)"; exit 1; }
done

# shellcheck source=x_server.sh
source "$(dirname "$0")/x_server.sh"

fail() {
  echo "FAIL: $*"
  for log in "$work"/*.log; do echo "--- $log"; tail -n 5 "$log"; done
  exit 1
}
now_ms() { date +%s%3N; }

start_x_server
openbox >"$work/openbox.log" 2>&1 &
pids+=($!)
for _ in $(seq 300); do xdotool get_desktop >/dev/null 2>&1 && break; sleep 0.1; done
xdotool get_desktop >/dev/null 2>&1 || fail "the window manager did not start"

title="Halvorn Synthesiser MZ4800"

run_case() {
  local signal=$1 number=$2
  export HOME=$work/$signal
  local folder=$HOME/MZ4800
  mkdir -p "$folder"
  cp "$source/examples/MZ4800.INI" "$source/examples/cell0010.csv" "$folder/"
  sed -i '14s/.*/1\r/' "$folder/MZ4800.INI"  # COM1: the emulator
  touch -d '2000-01-01' "$folder/MZ4800.INI"
  local emulog=$work/$signal-emulator.log
  "$build/mz4800-emulator" --verbose --link "$folder/COM1" >"$emulog" 2>&1 &
  local emulator=$!
  pids+=("$emulator")
  for _ in $(seq 50); do [ -e "$folder/COM1" ] && break; sleep 0.1; done
  [ -e "$folder/COM1" ] || fail "$signal: the emulator made no terminal"

  "$build/mz4800" >"$work/$signal-program.log" 2>&1 &
  local program=$!
  pids+=("$program")
  local window=""
  for _ in $(seq 300); do
    window=$(xdotool search --onlyvisible --name "^$title\$" 2>/dev/null | head -1) && [ -n "$window" ] && break
    sleep 0.1
  done
  [ -n "$window" ] || fail "$signal: no main window"
  # Start-up has opened the port once the instrument hears its first command
  # (watched on the emulator's side: taking the port's lock to look could make
  # the program's own open fail); the herald goes after. Under load the 1 s
  # start-up timer can come late: allow it 30 s.
  for _ in $(seq 300); do grep -q '^cmd ' "$emulog" && break; sleep 0.1; done
  grep -q '^cmd ' "$emulog" || fail "$signal: the port was never taken"
  sleep 2
  # RUN, at its fixed place below the menu bar; pressed again should a loaded
  # machine have lost the click.
  for _ in 1 2 3; do
    xdotool mousemove --window "$window" 54 354 click 1
    for _ in $(seq 100); do
      xdotool search --onlyvisible --name "^$title - Step [2-9]" >/dev/null 2>&1 && break 2
      sleep 0.1
    done
  done
  xdotool search --onlyvisible --name "^$title - Step [2-9]" >/dev/null 2>&1 ||
    fail "$signal: the run did not reach its second step"

  local sent ended status=0
  sent=$(now_ms)
  kill "-$signal" "$program"
  wait "$program" || status=$?
  ended=$(now_ms)
  [ "$status" -eq $((128 + number)) ] || fail "$signal: exit status $status"
  [ $((ended - sent)) -lt 30000 ] || fail "$signal: took $((ended - sent)) ms to end"
  # The instrument's own record: RfOff (code 88) read after the signal and
  # before the process ended.
  local off
  off=$(awk -v t="$sent" '$1 == "cmd" && $3 == "88" && $6 >= t { print $6; exit }' "$emulog")
  [ -n "$off" ] || fail "$signal: the instrument never read RfOff after the signal"
  [ "$off" -le "$ended" ] || fail "$signal: RfOff read at $off, after the end at $ended"
  local journal
  journal=$(ls "$folder"/Runs/*.csv)
  tail -n 1 "$journal" | grep -q ',run ended,.*,program ended by signal' ||
    fail "$signal: the journal does not end with the signal: $(tail -n 1 "$journal")"
  [ "$(stat -c %Y "$folder/MZ4800.INI")" -gt "$(date -d 2001-01-01 +%s)" ] ||
    fail "$signal: the configuration was not written"
  flock -n -x "$folder/COM1" true || fail "$signal: the port is still held"
  echo "$signal: RfOff $((off - sent)) ms after the signal, ended after $((ended - sent)) ms"
  kill "$emulator"
}

run_case TERM 15
run_case INT 2
run_case HUP 1
echo PASS
