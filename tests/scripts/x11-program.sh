# Sourced by the tests that run the built program on an X screen: skips
# (exit 77) without Xvfb or xdotool, and gives the program a home and a
# runtime folder of its own, removed at the end.
for tool in xvfb-run xdotool; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is missing"; exit 77; }
done
work="$(mktemp -d)"
mkdir -m 700 "$work/runtime"
trap 'rm -rf "$work"' EXIT
export HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime" QT_QPA_PLATFORM=xcb

# "$WINDOW_SHOWS" SECONDS inside the xvfb-run'd shell: whether the window
# comes up in time (a script of its own: xvfb-run runs through sh, which
# does not pass exported bash functions on).
export WINDOW_SHOWS="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/window-shows.sh"
