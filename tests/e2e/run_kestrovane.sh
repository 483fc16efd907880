#!/usr/bin/env bash
# Starts the simulator (on the display with_xvfb.sh gives it), waits for its first screen and
# its main window, closes them and checks that it exits cleanly.
set -euo pipefail
probe="$1"
program="$2"
workdir="$3"

mkdir -p "$workdir"
cd "$workdir"
"$program" &
app=$!
status=0
# The first screen comes first; closing it chooses nothing, and the cab window follows with
# the default model, which an empty folder does not hold.
"$probe" close 60 "Kestrovane: Select Situation" || status=1
[ $status -ne 0 ] || "$probe" close 60 "RE-RUZ125: ERROR!" || status=1
if [ $status -ne 0 ]; then
  kill "$app" 2>/dev/null || true
  wait "$app" 2>/dev/null || true
  exit 1
fi
for _ in $(seq 1 300); do
  kill -0 "$app" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$app" 2>/dev/null; then
  echo "kestrovane did not close"
  kill "$app"
  exit 1
fi
wait "$app"
