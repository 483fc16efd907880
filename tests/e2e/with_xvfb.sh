#!/usr/bin/env bash
# Runs a command on a private Xvfb display (a real X server) and passes on its exit status.
set -euo pipefail

displayfile=$(mktemp)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$displayfile" 2>/dev/null &
xvfb=$!
cleanup() { kill "$xvfb" 2>/dev/null || true; rm -f "$displayfile"; }
trap cleanup EXIT
for _ in $(seq 1 100); do
  [ -s "$displayfile" ] && break
  sleep 0.1
done
[ -s "$displayfile" ] || { echo "Xvfb did not start"; exit 1; }
export DISPLAY=":$(head -n 1 "$displayfile")"
export QT_QPA_PLATFORM=xcb
unset SDL_VIDEODRIVER

"$@"
