#!/usr/bin/env bash
# The program as a person meets it: the built HarrierDriver on an X screen
# with a real window manager (openbox), real key presses (xdotool) and read
# through the real accessibility bus (AT-SPI, as screen readers read it).
#   run-journeys.sh BUILD/app/HarrierDriver [JOURNEY...]
# The accessibility bus is started by the session bus when the program asks
# for it (journeys.py reads the bus only once the program's window is up):
# a Qt 5 program that finds the accessibility bus already running when it
# starts was, here, never listed by the accessibility registry.
# Each journey gets a desktop of its own (session bus, accessibility bus, X
# screen, window manager, home): one journey's program cannot leave
# anything for the next. Skips (exit 77) only where these cannot run here.
set -uo pipefail
app="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"
shift
here="$(cd "$(dirname "$0")" && pwd)"
for tool in xvfb-run xdotool openbox dbus-run-session; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is missing"; exit 77; }
done
# pyatspi is Debian's, for Debian's own Python.
python=/usr/bin/python3
"$python" -c 'import pyatspi' 2>/dev/null || { echo "SKIP: python3-pyatspi is missing"; exit 77; }
[ -x /usr/libexec/at-spi-bus-launcher ] || { echo "SKIP: at-spi2-core is missing"; exit 77; }

journeys=("$@")
[ ${#journeys[@]} -eq 0 ] && mapfile -t journeys < <("$python" "$here/journeys.py" --list)

passed=0 failed=0 started=$SECONDS
for journey in "${journeys[@]}"; do
  work="$(mktemp -d)"
  mkdir -m 700 "$work/runtime" "$work/home"
  out="$(env JOURNEY_WORK="$work" JOURNEY_APP="$app" HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime" \
      QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 WAYLAND_DISPLAY= \
      dbus-run-session -- xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
        openbox --sm-disable >/dev/null 2>&1 &
        sleep 1
        exec "$0" "$1" "$2"' "$python" "$here/journeys.py" "$journey" 2>"$work/stderr")"
  status=$?
  echo "$out" | grep -E "^(PASS|FAIL)"
  if [ "$status" -eq 0 ] && grep -q "^PASS" <<<"$out"; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    grep -q "^FAIL" <<<"$out" || { echo "FAIL!  : $journey: exit $status"; tail -5 "$work/stderr"; }
  fi
  rm -rf "$work"
done
echo "journeys took $((SECONDS - started)) s"
echo "journeys: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
