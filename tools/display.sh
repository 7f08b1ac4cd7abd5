# Sourced by the scripts that need a virtual X display.  Both servers start
# on the first free display number from 90 up, export DISPLAY and keep the
# server's process id in DISPLAY_PID; display_stop stops it by that id.
#
# xvfb_start WxHxD: Xvfb, one screen.
# xorg_start DEPTH: Xorg with its dummy driver (tools/monitors.conf), three
#   real monitors as Wine sees them: 800x600 left of the primary 1024x768 and
#   640x480 right of it, so that the virtual screen's origin is negative and
#   parts of it belong to no monitor.  Programs change the layout as on
#   Windows (ChangeDisplaySettingsEx), or xrandr does.
xvfb_start() {
  display_start Xvfb -screen 0 "$1" -nolisten tcp -noreset
}

xorg_start() {
  DISPLAY_LOG=$(mktemp -u "${TMPDIR:-/tmp}/tindle-xorg.XXXXXX")
  display_start Xorg -config "$(dirname "${BASH_SOURCE[0]}")/monitors.conf" -logfile "$DISPLAY_LOG" \
    -depth "$1" -noreset -nolisten tcp -sharevts -novtswitch -keeptty
}

# display_start SERVER ARGS...: SERVER :N ARGS...
display_start() {
  local n i
  for n in $(seq 90 189); do
    [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] && continue
    "$1" :$n "${@:2}" >/dev/null 2>&1 &
    DISPLAY_PID=$!
    for i in $(seq 1 100); do
      if [ -e /tmp/.X11-unix/X$n ]; then export DISPLAY=:$n; return 0; fi
      kill -0 $DISPLAY_PID 2>/dev/null || break
      sleep 0.05
    done
    kill $DISPLAY_PID 2>/dev/null; wait $DISPLAY_PID 2>/dev/null
  done
  return 1
}

display_stop() {
  if [ -n "${DISPLAY_PID:-}" ]; then
    kill "$DISPLAY_PID" 2>/dev/null
    wait "$DISPLAY_PID" 2>/dev/null
    DISPLAY_PID=
  fi
  [ -z "${DISPLAY_LOG:-}" ] || rm -f "$DISPLAY_LOG"
}
