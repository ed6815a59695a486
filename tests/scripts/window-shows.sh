#!/usr/bin/env bash
# window-shows.sh SECONDS: exits 0 when a visible window titled HarrierDriver
# is on the screen within SECONDS. A search fails at once when a window it
# is looking at vanishes mid-search (the window manager swapping frames, a
# dialog closing), so it is tried again until the deadline, not trusted once.
deadline=$((SECONDS + ${1:-15}))
while [ "$SECONDS" -lt "$deadline" ]; do
  xdotool search --onlyvisible --name "^HarrierDriver$" >/dev/null 2>&1 && exit 0
  sleep 0.2
done
exit 1
