#!/usr/bin/env bash
# Takes the screenshots the README shows, under Xvfb with emulated mice:
#   docs/main-settings-kestrel.png  the settings page of a seven-level model
#   docs/main-settings-merlin.png   the settings page of a five-level model
#   docs/lighting-harrier.png       the lighting page of a two-zone model
#   docs/lighting-kestrel.png       the lighting page of a one-zone model
#   docs/pairing-kestrel.png        the pairing page, reached from the support page
# Each run starts from a fresh application folder, so the pictures show a
# factory-fresh mouse whatever earlier runs left behind. Run it after a
# change to the pages and commit the PNGs.
set -euo pipefail
source "$(dirname "$0")/common.sh"
"$ROOT/scripts/install-deps.sh"
configure_and_build "$ROOT/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
seconds="${SCREENSHOT_DELAY:-8}"
mkdir -p "$ROOT/docs"

# shoot MODEL FILE [X,Y ...]: the window after the start, or after clicks at
# those points of the window (one second apart), such as its page buttons.
shoot() {
  local model="$1" out="$ROOT/docs/$2"
  shift 2
  local clicks="$*"
  local work
  work="$(mktemp -d)"
  cp "$ROOT/build/app/HarrierDriver" "$work/"
  cp -r "$ROOT/build/app/Language" "$work/"
  [ -d "$ROOT/build/app/Font" ] && cp -r "$ROOT/build/app/Font" "$work/"
  mkdir -m 700 "$work/run"
  # English texts, a GNOME session whose settings live in memory only, and a
  # runtime folder of its own so a copy of the program already running does
  # not take the start.
  env -u LC_ALL -u LC_MESSAGES LANG=en_US.UTF-8 XDG_CURRENT_DESKTOP=GNOME GSETTINGS_BACKEND=memory \
  XDG_RUNTIME_DIR="$work/run" xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
    "$0" --emulate "$1" >"$3/log.txt" 2>&1 &
    pid=$!
    sleep "$2"
    for point in $4; do
      xdotool search --sync --name "^HarrierDriver$" mousemove --window %1 "${point%,*}" "${point#*,}" click 1
      sleep 1
    done
    import -window HarrierDriver "$3/shot.png"
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null || true
  ' "$work/HarrierDriver" "$model" "$seconds" "$work" "$clicks"
  # A dark interface needs few colours: a palette image keeps the file small.
  convert "$work/shot.png" -strip -colors 128 "PNG8:$out"
  rm -rf "$work"
  echo "Saved $out ($(stat -c %s "$out") bytes)"
}

shoot kestrel main-settings-kestrel.png
shoot merlin main-settings-merlin.png
# The page buttons: Lighting at (380, 68), Support at (580, 68); the support
# page's pair button at (780, 326).
shoot harrier lighting-harrier.png 380,68
shoot kestrel lighting-kestrel.png 380,68
shoot kestrel-receiver pairing-kestrel.png 580,68 780,326
