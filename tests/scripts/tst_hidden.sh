#!/usr/bin/env bash
# HarrierDriver --hidden on an X screen: it runs with no window mapped; a
# second start brings its window up (as the tray icon would).
#   tst_hidden.sh BUILD/app/HarrierDriver
set -uo pipefail
app="$1"
source "$(dirname "$0")/x11-program.sh"
xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
  app="$0"
  "$app" --hidden --emulate kestrel >/dev/null 2>&1 &
  pid=$!
  sleep 4
  failed=0
  if ! kill -0 $pid 2>/dev/null; then echo "FAIL!  : --hidden did not keep running"; exit 1; fi
  if xdotool search --onlyvisible --name "^HarrierDriver$" >/dev/null 2>&1; then
    echo "FAIL!  : --hidden mapped a window"; failed=1
  else
    echo "PASS   : --hidden runs with no window mapped"
  fi
  "$app" >/dev/null 2>&1
  if "$WINDOW_SHOWS" 15; then
    echo "PASS   : a second start shows the window"
  else
    echo "FAIL!  : a second start did not show the window"; failed=1
  fi
  kill $pid; wait $pid 2>/dev/null
  exit $failed
' "$app"
