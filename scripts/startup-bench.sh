#!/usr/bin/env bash
# Start-up figures, printed, asserting nothing:
#   1. launch -> window shown, medians of RUNS launches side by side on one
#      Xvfb (../shared/tools/time-to-window when present, else the same
#      method below): HarrierDriver with an emulated Kestrel, a bare 960 x 640
#      Qt window, and Solaar and Piper when installed;
#   2. launch -> settings page filled, per emulated model (the program's
#      "settings page filled" line);
#   3. resident memory of the idle program under X11.
#   scripts/startup-bench.sh [RUNS]      (default 11)
set -euo pipefail
source "$(dirname "$0")/common.sh"
runs="${1:-11}"
BUILD_TARGETS="HarrierDriver bare_window" configure_and_build "$ROOT/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cp "$ROOT/build/app/HarrierDriver" "$work/"
cp -r "$ROOT/build/app/Language" "$work/"
[ -d "$ROOT/build/app/Font" ] && cp -r "$ROOT/build/app/Font" "$work/"
mkdir -m 700 "$work/run"
export XDG_RUNTIME_DIR="$work/run" HOME="$work/home"
unset QT_QPA_PLATFORM

echo "== launch -> window shown (ms, $runs launches each)"
peers=()
command -v solaar >/dev/null && peers+=(::: 'Solaar' -- solaar --window=show)
command -v piper >/dev/null && peers+=(::: 'Piper' -- piper)
tool="$ROOT/../shared/tools/time-to-window"
if [ -x "$tool" ]; then
  "$tool" "$runs" '^HarrierDriver$' -- "$work/HarrierDriver" --emulate kestrel \
    ::: '^BareWindow$' -- "$ROOT/build/bench/startup/bare_window" "${peers[@]}"
else
  echo "(time-to-window not found: window figures skipped)"
fi

echo "== launch -> settings page filled (ms, median of $runs)"
xvfb-run -a -s "-screen 0 1280x800x24" python3 - "$work/HarrierDriver" "$runs" <<'PY'
import os, statistics, subprocess, sys, time
app, runs = sys.argv[1], int(sys.argv[2])
env = dict(os.environ, HARRIER_LOG="verbose")
for model in ("kestrel", "merlin-receiver", "harrier", "wren"):
    times = []
    for _ in range(runs):
        start = time.monotonic()
        p = subprocess.Popen([app, "--emulate", model], env=env, stdout=subprocess.DEVNULL,
                             stderr=subprocess.PIPE, text=True)
        for line in p.stderr:
            if "settings page filled" in line:
                times.append((time.monotonic() - start) * 1000)
                break
        p.terminate()
        p.wait()
    if times:
        print(f"{model:16s} median {statistics.median(times):5.0f}  min {min(times):5.0f}  max {max(times):5.0f}")
    else:
        print(f"{model:16s} never filled")
PY

echo "== idle resident memory under X11 (3 s after the window shows)"
# rss NAME-REGEX COMMAND...: the program's VmRSS once its window is up.
rss() {
  local name="$1"; shift
  xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
    name="$0"
    "$@" >/dev/null 2>&1 &
    pid=$!
    timeout 30 xdotool search --sync --onlyvisible --name "$name" >/dev/null
    sleep 3
    echo "$(basename "$1") $(awk "/VmRSS/ {print int(\$2 / 1024)}" /proc/$pid/status) MB"
    kill $pid
  ' "$name" "$@"
}
rss '^HarrierDriver$' "$work/HarrierDriver" --emulate kestrel
command -v piper >/dev/null && rss 'Piper' piper
command -v solaar >/dev/null && rss 'Solaar' solaar --window=show
true
