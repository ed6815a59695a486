#!/usr/bin/env bash
# Takes the screenshots the README shows, under Xvfb with emulated mice:
#   docs/main-settings-kestrel.png  the settings page of a seven-level model
#   docs/main-settings-merlin.png   the settings page of a five-level model
#   docs/screen-editor.png          the screen editor with a drawing (Kestrel)
# Each run starts from a fresh application folder, so the pictures show a
# factory-fresh mouse whatever earlier runs left behind. Run it after a
# change to the pages and commit the PNGs.
set -euo pipefail
source "$(dirname "$0")/common.sh"
"$ROOT/scripts/install-deps.sh"
configure_and_build "$ROOT/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
seconds="${SCREENSHOT_DELAY:-8}"
mkdir -p "$ROOT/docs"

# A fresh folder holding a built program with the shipped Language/ and
# Font/ beside it, and a runtime folder of its own so a copy of the program
# already running does not take the start. Prints its path.
make_work() {
  local work
  work="$(mktemp -d)"
  cp "$1" "$work/"
  cp -r "$ROOT/build/app/Language" "$work/"
  [ -d "$ROOT/build/app/Font" ] && cp -r "$ROOT/build/app/Font" "$work/"
  mkdir -m 700 "$work/run"
  echo "$work"
}

# Runs a command on a virtual display with English texts and a GNOME session
# whose settings live in memory only.
on_display() {
  local work="$1"; shift
  env -u LC_ALL -u LC_MESSAGES LANG=en_US.UTF-8 XDG_CURRENT_DESKTOP=GNOME GSETTINGS_BACKEND=memory \
  XDG_RUNTIME_DIR="$work/run" xvfb-run -a -s "-screen 0 1280x800x24" "$@"
}

# A dark interface needs few colours: a palette image keeps the file small.
keep_shot() {
  local work="$1" out="$2"
  convert "$work/shot.png" -strip -colors 128 "PNG8:$out"
  rm -rf "$work"
  echo "Saved $out ($(stat -c %s "$out") bytes)"
}

shoot() {
  local model="$1" out="$ROOT/docs/$2"
  local work
  work="$(make_work "$ROOT/build/app/HarrierDriver")"
  on_display "$work" bash -c '
    "$0" --emulate "$1" >"$3/log.txt" 2>&1 &
    pid=$!
    sleep "$2"
    import -window HarrierDriver "$3/shot.png"
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null || true
  ' "$work/HarrierDriver" "$model" "$seconds" "$work"
  keep_shot "$work" "$out"
}

# The screen editor: a program of its own opens it in the window and draws
# in it with pointer and keyboard events (tests/pages/drawdialog_shot.cpp).
shoot_editor() {
  local out="$ROOT/docs/$1"
  local work
  work="$(make_work "$ROOT/build/tests/pages/drawdialog-shot")"
  on_display "$work" "$work/drawdialog-shot" "$work/shot.png" >"$work/log.txt" 2>&1 \
    || { tail -20 "$work/log.txt"; exit 1; }
  keep_shot "$work" "$out"
}

shoot kestrel main-settings-kestrel.png
shoot merlin main-settings-merlin.png
shoot_editor screen-editor.png
