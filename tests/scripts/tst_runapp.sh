#!/usr/bin/env bash
# scripts/run-app.sh without a display, on the built program: a normal run
# saves a screenshot of the window, the no-mouse box over it when there is no
# mouse; with another copy holding the lock the
# script ends non-zero within its deadline and passes on the program's message.
#   tst_runapp.sh BUILD/app/HarrierDriver
set -uo pipefail
ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
app="$1"
for tool in xvfb-run xdotool import identify convert; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is missing"; exit 77; }
done
work="$(mktemp -d)"
mkdir -m 700 "$work/runtime"
holder=""
cleanup() { [ -n "$holder" ] && kill "$holder" 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT
export HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime" HARRIER_APP="$app"
unset DISPLAY WAYLAND_DISPLAY
passed=0
failed=0
result() {
  if [ "$1" -eq 0 ]; then echo "PASS   : $2"; passed=$((passed + 1));
  else echo "FAIL!  : $2"; sed 's/^/    /' <<<"$3"; failed=$((failed + 1)); fi
}

out="$(SCREENSHOT="$work/shot.png" SCREENSHOT_DELAY=1 "$ROOT/scripts/run-app.sh" --emulate kestrel 2>&1)"
status=$?
size="$(identify -format '%w %h' "$work/shot.png" 2>/dev/null)"
[ "$status" -eq 0 ] && grep -q "Screenshot saved" <<<"$out" && [ -n "$size" ]
result $? "a normal run saves the window ($size)" "$out"

# Without a mouse the no-mouse box stands over the window; the screenshot
# shows it painted (a grab of the window alone left that part black).
out="$(SCREENSHOT="$work/shot3.png" SCREENSHOT_DELAY=2 "$ROOT/scripts/run-app.sh" 2>&1)"
status=$?
inside="$(convert "$work/shot3.png" -format '%[fx:int(255*r)],%[fx:int(255*g)],%[fx:int(255*b)]' -crop 1x1+300+250 info: 2>/dev/null)"
[ "$status" -eq 0 ] && [ -n "$inside" ] && [ "$inside" != "0,0,0" ]
result $? "without a mouse the screenshot shows the no-mouse box (a pixel in it: $inside)" "$out"

# A running copy holds the lock (offscreen, no window needed for that).
QT_QPA_PLATFORM=offscreen "$app" > "$work/holder.log" 2>&1 &
holder=$!
for _ in $(seq 50); do ls "$work/runtime"/*.lock >/dev/null 2>&1 && break; sleep 0.2; done
start=$SECONDS
out="$(SCREENSHOT="$work/shot2.png" WINDOW_DEADLINE=20 "$ROOT/scripts/run-app.sh" 2>&1)"
status=$?
took=$((SECONDS - start))
[ "$status" -ne 0 ] && [ "$took" -lt 40 ] && grep -q "already running" <<<"$out" && grep -q "exit code" <<<"$out" \
  && ! grep -q "Screenshot saved" <<<"$out"
result $? "a held lock ends the run with the program's message (exit $status after $took s)" "$out"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
