# Sourced: vantrel_ensure_display gives the caller an X display. With none set it
# starts a private Xvfb, says so, and ends it when the calling script exits.
vantrel_ensure_display() {
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    return 0
  fi
  local n=90
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do
    n=$((n + 1))
  done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  VANTREL_XVFB_PID=$!
  trap 'kill "$VANTREL_XVFB_PID" 2>/dev/null || true' EXIT
  for _ in $(seq 1 100); do
    [ -e "/tmp/.X11-unix/X$n" ] && break
    sleep 0.05
  done
  export DISPLAY=":$n"
  echo "No display was set: started a private Xvfb on $DISPLAY"
}
