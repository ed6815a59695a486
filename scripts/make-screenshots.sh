#!/usr/bin/env bash
# Takes the screenshots the README shows, under Xvfb with emulated mice:
#   docs/main-settings-kestrel.png  the settings page of a seven-level model
#   docs/main-settings-merlin.png   the settings page of a five-level model
#   docs/key-dialog.png             the key dialog opened from a picture button
#   docs/macro-page.png             the macro page with a recorded macro
#   docs/lighting-harrier.png       the lighting page of a two-zone model
#   docs/lighting-kestrel.png       the lighting page of a one-zone model
#   docs/pairing-kestrel.png        the pairing page, reached from the support page
#   docs/screen-editor.png          the screen editor with a drawing (Kestrel)
#   docs/firmware-update.png        the firmware update view for the open Kestrel
#   docs/support-page.png           the support page with the desktop switches
#   docs/mouse-chooser.png          two mice: the chooser in the title bar
#   docs/scale-1.5.png, scale-2.png the whole 1920 x 1080 screen with the window
#                                   at scale factors 1.5 and 2 (half size)
# Each run starts from a fresh application folder, so the pictures show a
# factory-fresh mouse whatever earlier runs left behind. Run it after a
# change to the pages and commit the PNGs.
set -euo pipefail
source "$(dirname "$0")/common.sh"
"$ROOT/scripts/install-deps.sh"
configure_and_build "$ROOT/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
seconds="${SCREENSHOT_DELAY:-8}"
mkdir -p "$ROOT/docs"

# A fresh folder with a copy of the program given, its texts and fonts.
new_work() {
  local work
  work="$(mktemp -d)"
  cp "$1" "$work/"
  cp -r "$ROOT/build/app/Language" "$work/"
  [ -d "$ROOT/build/app/Font" ] && cp -r "$ROOT/build/app/Font" "$work/"
  mkdir -m 700 "$work/run"
  echo "$work"
}

# Runs a command in a virtual screen with English texts, a GNOME session whose
# settings live in memory only, and a runtime folder of its own ($1/run) so a
# copy of the program already running does not take the start.
in_xvfb() {
  local work="$1"; shift
  env -u LC_ALL -u LC_MESSAGES LANG=en_US.UTF-8 XDG_CURRENT_DESKTOP=GNOME GSETTINGS_BACKEND=memory \
  XDG_RUNTIME_DIR="$work/run" xvfb-run -a -s "-screen 0 ${SCREEN_SIZE:-1280x800}x24" "$@"
}

# A dark interface needs few colours: a palette image keeps the file small.
save_png() {
  convert "$1" -strip -colors 128 "PNG8:$ROOT/docs/$2"
  echo "Saved docs/$2 ($(stat -c %s "$ROOT/docs/$2") bytes)"
}

# shoot MODELS FILE [X,Y ...]: the window with those emulated mice (one
# model, or several separated by spaces) after the start, or after clicks at
# those points of the window (one second apart), such as its page buttons.
shoot() {
  local model="$1" out="$2" work
  shift 2
  local clicks="$*"
  work="$(new_work "$ROOT/build/app/HarrierDriver")"
  in_xvfb "$work" bash -c '
    emulate=()
    for model in $1; do emulate+=(--emulate "$model"); done
    "$0" "${emulate[@]}" >"$3/log.txt" 2>&1 &
    pid=$!
    sleep "$2"
    for point in $4; do
      xdotool search --sync --name "^HarrierDriver$" mousemove --window %1 "${point%,*}" "${point#*,}" click 1
      sleep 1
    done
    # By the visible window: an unmapped helper window shares the title.
    import -window "$(xdotool search --onlyvisible --name "^HarrierDriver$" | head -n 1)" "$3/shot.png"
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null || true
  ' "$work/HarrierDriver" "$model" "$seconds" "$work" "$clicks"
  save_png "$work/shot.png" "$out"
  rm -rf "$work"
}

# shoot_scaled FACTOR FILE: the whole 1920 x 1080 screen with the window at
# that scale factor, halved: the window takes no more than the screen.
shoot_scaled() {
  local factor="$1" out="$2" work
  work="$(new_work "$ROOT/build/app/HarrierDriver")"
  SCREEN_SIZE=1920x1080 QT_SCALE_FACTOR="$factor" in_xvfb "$work" bash -c '
    "$0" --emulate kestrel >"$2/log.txt" 2>&1 &
    pid=$!
    sleep "$1"
    import -window root -resize 50% "$2/shot.png"
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null || true
  ' "$work/HarrierDriver" "$seconds" "$work"
  save_png "$work/shot.png" "$out"
  rm -rf "$work"
}

# The key dialog and the macro page: a program of its own opens them in the
# window and types into them (tests/app/assignment_shot.cpp).
shoot_assignment() {
  local work
  work="$(new_work "$ROOT/build/tests/app/assignment-shot")"
  in_xvfb "$work" "$work/assignment-shot" "$work/key-dialog.png" "$work/macro-page.png" >"$work/log.txt" 2>&1 \
    || { tail -20 "$work/log.txt"; exit 1; }
  save_png "$work/key-dialog.png" key-dialog.png
  save_png "$work/macro-page.png" macro-page.png
  rm -rf "$work"
}

# The screen editor: a program of its own opens it in the window and draws
# in it with pointer and keyboard events (tests/pages/drawdialog_shot.cpp).
shoot_editor() {
  local work
  work="$(new_work "$ROOT/build/tests/pages/drawdialog-shot")"
  in_xvfb "$work" "$work/drawdialog-shot" "$work/shot.png" >"$work/log.txt" 2>&1 \
    || { tail -20 "$work/log.txt"; exit 1; }
  save_png "$work/shot.png" "$1"
  rm -rf "$work"
}

shoot kestrel main-settings-kestrel.png
shoot merlin main-settings-merlin.png
shoot_assignment
# The page buttons: Lighting at (380, 68), Support at (580, 68); the support
# page's pair button at (780, 326).
shoot harrier lighting-harrier.png 380,68
shoot kestrel lighting-kestrel.png 380,68
shoot kestrel-receiver pairing-kestrel.png 580,68 780,326
shoot_editor screen-editor.png
# The firmware button of the support page at (480, 326).
shoot kestrel firmware-update.png 580,68 480,326
shoot kestrel-receiver support-page.png 580,68
# The chooser sits in the title bar.
shoot "kestrel harrier" mouse-chooser.png
shoot_scaled 1.5 scale-1.5.png
shoot_scaled 2 scale-2.png
