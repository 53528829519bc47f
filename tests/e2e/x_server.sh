# Sourced by the end-to-end scripts that run the real program on an X server.
# Gives them `work` (a temporary folder removed at exit), `pids` (processes
# killed at exit) and `start_x_server`, which starts Xvfb and sets DISPLAY.
# The script defines `fail` before it calls start_x_server.
work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# A display number no other server holds (-displayfd). Without -noreset the
# server resets whenever its last client leaves (an xdotool call between two
# steps, before the window manager is up) and drops every client that
# connects meanwhile: the window manager or the program then dies.
start_x_server() {
  Xvfb -displayfd 3 -noreset -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" \
    >"$work/xvfb.log" 2>&1 &
  pids+=($!)
  for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
  [ -s "$work/display" ] || { cat "$work/xvfb.log"; fail "the X server did not start"; }
  export DISPLAY=:$(head -1 "$work/display")
  for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done
  xdotool getdisplaygeometry >/dev/null 2>&1 || fail "no X server on $DISPLAY"
}
