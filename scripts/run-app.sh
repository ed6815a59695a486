#!/usr/bin/env bash
# Builds HarrierDriver and starts it. Arguments are passed to the program,
# e.g. scripts/run-app.sh --emulate kestrel
# Without a display the program runs under Xvfb for a few seconds, a
# screenshot of the main window is saved to build/screenshot.png, and the script exits.
set -euo pipefail
source "$(dirname "$0")/common.sh"
"$ROOT/scripts/install-deps.sh"
configure_and_build "$ROOT/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
app="$ROOT/build/app/HarrierDriver"

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec "$app" "$@"
fi

shot="$ROOT/build/screenshot.png"
seconds="${SCREENSHOT_DELAY:-6}"
echo "No display: running under Xvfb, screenshot in $shot"
rm -f "$shot"
xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
  "$0" "${@:3}" &
  pid=$!
  sleep "$2"
  # The main window by its title; the whole screen if it cannot be found.
  import -window HarrierDriver "$1" 2>/dev/null || import -window root "$1" || echo "screenshot failed"
  kill "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null || true
' "$app" "$shot" "$seconds" "$@"
[ -f "$shot" ] && echo "Screenshot saved: $shot"
