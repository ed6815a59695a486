#!/usr/bin/env bash
# Builds HarrierDriver (the window and harrierctl, nothing else) and starts
# it. Arguments are passed to the program, e.g. scripts/run-app.sh --emulate kestrel
# Without a display the program runs under Xvfb for a few seconds, a
# screenshot of the main window is saved to build/screenshot.png, and the
# script exits. It never waits without bound: a program that ends early is
# reported with its own message and exit code, and a window that does not
# appear within WINDOW_DEADLINE seconds (default 30) ends the run.
set -euo pipefail
source "$(dirname "$0")/common.sh"
# HARRIER_APP runs an already built program instead (the script's own test).
app="${HARRIER_APP:-}"
if [ -z "$app" ]; then
  "$ROOT/scripts/install-deps.sh"
  BUILD_TARGETS="HarrierDriver harrierctl" configure_and_build "$ROOT/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
  app="$ROOT/build/app/HarrierDriver"
fi

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec "$app" "$@"
fi

shot="${SCREENSHOT:-$ROOT/build/screenshot.png}"
seconds="${SCREENSHOT_DELAY:-6}"
deadline="${WINDOW_DEADLINE:-30}"
echo "No display: running under Xvfb, screenshot in $shot"
rm -f "$shot"
set +e
timeout --kill-after=5 $((deadline + seconds + 30)) \
  xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
  app="$1" shot="$2" seconds="$3" deadline="$4"; shift 4
  out="$(mktemp)"
  trap "rm -f \"$out\"" EXIT
  # A real window on the virtual screen, whatever platform the caller named.
  QT_QPA_PLATFORM=xcb "$app" "$@" > "$out" 2>&1 &
  pid=$!
  # The main window by its exact title, visible; the program may end first.
  window=""
  start=$SECONDS
  while [ -z "$window" ]; do
    if ! kill -0 "$pid" 2>/dev/null; then
      wait "$pid"; status=$?
      echo "HarrierDriver ended before showing its window (exit code $status). It said:"
      sed "s/^/  /" "$out" | tail -n 20
      exit 3
    fi
    if [ $((SECONDS - start)) -ge "$deadline" ]; then
      echo "HarrierDriver showed no window within $deadline s; stopping it."
      kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null
      sed "s/^/  /" "$out" | tail -n 20
      exit 4
    fi
    window="$(xdotool search --onlyvisible --name "^HarrierDriver\$" 2>/dev/null | head -n 1)"
    [ -z "$window" ] && sleep 0.3
  done
  echo "Window shown after $((SECONDS - start)) s; taking the screenshot in $seconds s"
  sleep "$seconds"
  if ! kill -0 "$pid" 2>/dev/null; then
    wait "$pid"; status=$?
    echo "HarrierDriver ended before the screenshot (exit code $status)."
    sed "s/^/  /" "$out" | tail -n 20
    exit 3
  fi
  status=0
  # The screen where the window is, not the window alone: without a
  # compositor the part another window (the no-mouse box) covers would come
  # out black.
  eval "$(xdotool getwindowgeometry --shell "$window")"
  import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$shot" 2>/dev/null \
    || { echo "screenshot failed"; status=5; }
  kill "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  exit "$status"
' bash "$app" "$shot" "$seconds" "$deadline" "$@"
status=$?
set -e
if [ "$status" -eq 124 ] || [ "$status" -eq 137 ]; then
  echo "The run under Xvfb did not end in time; it was stopped." >&2
  exit 1
fi
[ "$status" -eq 0 ] || exit "$status"
# Saved only when it holds the window: an empty or tiny file is no screenshot.
size="$(identify -format '%w %h' "$shot" 2>/dev/null || true)"
read -r width height <<<"${size:-0 0}"
if [ "${width:-0}" -lt 200 ] || [ "${height:-0}" -lt 200 ]; then
  echo "The screenshot does not show the window (size '${size}')." >&2
  exit 5
fi
echo "Screenshot saved: $shot (${width} x ${height})"
