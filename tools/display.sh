# Sourced: makes sure an X display is there. Uses $DISPLAY when it answers; otherwise starts one
# Xvfb for the build folder (kept running for later commands, stopped by tools/stop-wine) and says so.
qv_ensure_display() {
  local build=$1
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then return 0; fi
  mkdir -p "$build"
  local state="$build/xvfb.display"
  exec 8>"$build/.xvfb.lock"
  flock 8
  if [ -f "$state" ]; then
    DISPLAY=$(cat "$state"); export DISPLAY
    if xdpyinfo >/dev/null 2>&1; then flock -u 8; return 0; fi
  fi
  local n
  for n in $(seq 90 140); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    Xvfb ":$n" -screen 0 1920x1200x24 -nolisten tcp </dev/null >/dev/null 2>&1 8>&- 9>&- &
    echo $! >"$build/xvfb.pid"
    export DISPLAY=":$n"
    local i
    for i in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
    if xdpyinfo >/dev/null 2>&1; then
      echo "$DISPLAY" >"$state"
      echo "no display: started Xvfb on $DISPLAY" >&2
      flock -u 8
      return 0
    fi
  done
  flock -u 8
  echo "could not start Xvfb" >&2
  return 1
}
