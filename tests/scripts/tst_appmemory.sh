#!/usr/bin/env bash
# The program under X11 loads no OpenGL implementation (Mesa's GLX driver,
# its LLVM, a DRI driver: it draws nothing with them), unless the
# environment asks for the GL integration; prints its resident memory once
# the window is up. The small GL dispatch library Qt's Gui module links
# stays.
#   tst_appmemory.sh BUILD/app/HarrierDriver
set -uo pipefail
app="$1"
source "$(dirname "$0")/x11-program.sh"
unset WAYLAND_DISPLAY

# run [VAR=value ...]: starts the program with an emulated Kestrel, waits for
# its window, and prints its memory map's GL libraries and its VmRSS.
run() {
  env "$@" xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
    "$0" --emulate kestrel >/dev/null 2>&1 &
    pid=$!
    "$WINDOW_SHOWS" 30 || { echo "no window"; kill $pid; exit 1; }
    sleep 1
    echo "gl: $(grep -oE "(libGLX_[a-z]+|libEGL_[a-z]+|libLLVM[^/ ]*|[a-z0-9_]+_dri)\.so[^/ ]*" /proc/$pid/maps | sort -u | tr "\n" " ")"
    echo "rss: $(awk "/VmRSS/ {print \$2}" /proc/$pid/status) kB"
    kill $pid; wait $pid 2>/dev/null; exit 0
  ' "$app"
}

failed=0
out="$(run)"
echo "default:  $out" | tr '\n' ' '; echo
if grep -q "^gl: lib" <<<"$out" || ! grep -q "^rss:" <<<"$out"; then
  echo "FAIL!  : an OpenGL implementation is loaded by default, or the window never came"; failed=1
else
  echo "PASS   : no OpenGL implementation by default"
fi

# The environment's choice is kept (where the system has a GL library to load).
if ls /usr/lib/*/libGLX.so.0 >/dev/null 2>&1; then
  out="$(run QT_XCB_GL_INTEGRATION=xcb_glx)"
  echo "asked:    $out" | tr '\n' ' '; echo
  if grep -q "^gl: .*libGLX_" <<<"$out"; then
    echo "PASS   : QT_XCB_GL_INTEGRATION from the environment is kept"
  else
    echo "FAIL!  : QT_XCB_GL_INTEGRATION=xcb_glx loaded no GL library"; failed=1
  fi
fi
exit $failed
