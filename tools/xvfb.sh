# Sourced by the scripts that need a virtual X display.
# xvfb_start WxHxD starts Xvfb on the first free display number from 90 up,
# exports DISPLAY and keeps the server's process id in XVFB_PID.
xvfb_start() {
  local geometry=$1 n
  for n in $(seq 90 189); do
    [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] && continue
    Xvfb :$n -screen 0 "$geometry" -nolisten tcp -noreset >/dev/null 2>&1 &
    XVFB_PID=$!
    local i
    for i in $(seq 1 100); do
      if [ -e /tmp/.X11-unix/X$n ]; then export DISPLAY=:$n; return 0; fi
      kill -0 $XVFB_PID 2>/dev/null || break
      sleep 0.05
    done
    kill $XVFB_PID 2>/dev/null; wait $XVFB_PID 2>/dev/null
  done
  return 1
}

xvfb_stop() {
  if [ -n "${XVFB_PID:-}" ]; then
    kill "$XVFB_PID" 2>/dev/null
    wait "$XVFB_PID" 2>/dev/null
    XVFB_PID=
  fi
}
