#!/usr/bin/env bash
# The real program on a desktop with an accessibility bus: closing the main
# window through the window manager's close message and answering Yes to
# "Close MZ4800 ?" ends the process within 5 s, releases the serial port and
# leaves the configuration written. A main window destroyed from outside ends
# the process too.
# Usage: close_ends_process.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1
source=$2
for tool in Xvfb openbox dbus-run-session xdotool flock; do
  command -v "$tool" >/dev/null || { echo "missing $tool (tools/install-deps.sh)"; exit 1; }
done
[ -x /usr/libexec/at-spi-bus-launcher ] || { echo "missing at-spi2-core"; exit 1; }

# shellcheck source=x_server.sh
source "$(dirname "$0")/x_server.sh"

fail() {
  echo "FAIL: $*"
  exit 1
}

start_x_server

# One program start on an emulated instrument; $1 names the way the window goes.
run_case() {
  local how=$1
  export HOME=$work/$how
  local folder=$HOME/MZ4800
  mkdir -p "$folder"
  cp "$source/examples/MZ4800.INI" "$source/examples/cell0010.csv" "$folder/"
  sed -i '14s/.*/1\r/' "$folder/MZ4800.INI"  # COM1: the emulator
  touch -d '2000-01-01' "$folder/MZ4800.INI"
  "$build/mz4800-emulator" --verbose --link "$folder/COM1" >"$work/$how-emulator.log" 2>&1 &
  local emulator=$!
  pids+=("$emulator")
  for _ in $(seq 50); do [ -e "$folder/COM1" ] && break; sleep 0.1; done
  [ -e "$folder/COM1" ] || fail "$how: the emulator made no terminal"

  HOW=$how BUILD=$build FOLDER=$folder WORK=$work EMULOG=$work/$how-emulator.log dbus-run-session -- bash -c '
    set -u
    fail() {
      echo "FAIL: $HOW: $*"
      tail -n 5 "$WORK/$HOW-program.log" "$WORK/$HOW-openbox.log" 2>/dev/null
      exit 1
    }
    openbox >"$WORK/$HOW-openbox.log" 2>&1 & wm=$!
    trap "kill $wm 2>/dev/null" EXIT
    # Window activation needs the window manager running: under load it may
    # take a while to announce itself on the root window.
    for _ in $(seq 300); do xdotool get_desktop >/dev/null 2>&1 && break; sleep 0.1; done
    xdotool get_desktop >/dev/null 2>&1 || fail "the window manager did not start"
    # The accessibility bus, as a desktop with a screen reader has it running.
    dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus \
      org.a11y.Bus.GetAddress >/dev/null || fail "no accessibility bus"
    export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
    "$BUILD/mz4800" >"$WORK/$HOW-program.log" 2>&1 & program=$!
    title="Halvorn Synthesiser MZ4800"
    # A sanitizer build takes a while to show its window.
    for _ in $(seq 300); do
      xdotool search --onlyvisible --name "^$title\$" >/dev/null 2>&1 && break; sleep 0.1
    done
    xdotool search --onlyvisible --name "^$title\$" >/dev/null || fail "no main window"
    # Start-up has opened the port once the instrument hears its first
    # command. Watched on the side of the emulator: taking the lock of the
    # port to look would, at the wrong moment, make the program fail to open
    # it. Under load the 1 s start-up timer can come late: allow it 30 s.
    for _ in $(seq 300); do grep -q "^cmd " "$EMULOG" && break; sleep 0.1; done
    grep -q "^cmd " "$EMULOG" || fail "the port was never taken"
    sleep 1  # let start-up finish (the herald goes)
    if [ "$HOW" = close-box ]; then
      "$BUILD/tests/wm_close" "$title" >/dev/null || fail "WM_DELETE_WINDOW not sent"
      for _ in $(seq 50); do
        xdotool search --onlyvisible --name "^Confirm\$" >/dev/null 2>&1 && break; sleep 0.1
      done
      box=$(xdotool search --onlyvisible --name "^Confirm\$" | head -1)
      [ -n "$box" ] || fail "no \"Close MZ4800 ?\" question"
      # Return answers the question once it has the focus; a loaded machine
      # can lose the first activation, so try again while the box stays.
      for _ in 1 2 3; do
        xdotool windowactivate --sync "$box" key --clearmodifiers Return 2>/dev/null
        for _ in $(seq 20); do kill -0 $program 2>/dev/null || break; sleep 0.1; done
        xdotool search --onlyvisible --name "^Confirm\$" >/dev/null 2>&1 || break
      done
    else
      xdotool search --onlyvisible --name "^$title\$" windowclose
    fi
    start=$(date +%s%N)
    while kill -0 $program 2>/dev/null; do
      [ $(( ($(date +%s%N) - start) / 1000000 )) -gt 5000 ] && { kill -9 $program; fail "still running 5 s after the close"; }
      sleep 0.05
    done
    wait $program || fail "exit status $?"
    echo "$HOW: ended $(( ($(date +%s%N) - start) / 1000000 )) ms after the close"
  ' || exit 1

  flock -n -x "$folder/COM1" true || fail "$how: the port is still held"
  [ "$(stat -c %Y "$folder/MZ4800.INI")" -gt "$(date -d 2001-01-01 +%s)" ] ||
    fail "$how: the configuration was not written"
  [ "$(wc -l <"$folder/MZ4800.INI")" -eq 104 ] || fail "$how: the configuration is not 104 lines"
  kill "$emulator"
}

run_case close-box
run_case destroyed
echo PASS
