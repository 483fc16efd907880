#!/usr/bin/env bash
# Writes a fresh demo data set and starts the simulator on it, both on the display with_xvfb.sh
# gives them as on a desktop, and drives it as a user would: loads the first situation on the
# first screen, chooses File > "Start Sim", answers the 3D card's driver dialog, pushes the POWER
# lever down and watches the 3D panel.
# Passes when the panel is not all one colour and its pixels change while the train runs.
set -euo pipefail
probe="$1"
program="$2"
make_demo_data="$3"
workdir="$4"

model="RE-RUZ125"
ready="$model: Ready"
running="$model: Sim running . . ."
box="Kestrovane"  # the caption of the simulator's message boxes

rm -rf "$workdir"
mkdir -p "$workdir"
# The generator runs as scripts/run starts it, on the display, and shows nothing there: a
# watcher looks for the engine's windows while it works.
"$probe" wait 600 "Drovik 3D Graphics Engine" "Drovik default rendering window" \
  "Select New Direct3D Driver" >"$workdir/generator-windows.log" 2>&1 &
watcher=$!
"$make_demo_data" "$workdir/root" >"$workdir/make_demo_data.log" 2>&1 ||
  { kill "$watcher" 2>/dev/null || true; echo "make_demo_data failed:"; cat "$workdir/make_demo_data.log"; exit 1; }
kill "$watcher" 2>/dev/null || true
wait "$watcher" 2>/dev/null || true
if grep -q '^found' "$workdir/generator-windows.log"; then
  echo "make_demo_data showed a window: $(cat "$workdir/generator-windows.log")"
  exit 1
fi

# Message boxes are windows here, as a user sees them.
unset DROVIK_HEADLESS_BOXES
cd "$workdir/root"
"$program" >"$workdir/kestrovane.log" 2>&1 &
app=$!
trap 'kill "$app" 2>/dev/null || true' EXIT

fail() {
  echo "FAILED: $*"
  echo "--- last lines of $workdir/kestrovane.log:"
  tail -n 20 "$workdir/kestrovane.log"
  exit 1
}

# Waits for one of the captions and prints the one shown.
shown() {
  local found
  found=$("$probe" wait "$@") || return 1
  found=${found#found \"}
  echo "${found%\" (*}"
}

layout() {
  tr -d '\r' <"$workdir/root/traction/$model/$model.ini" | sed -n "s/^$1=//p"
}

# The first screen: the first situation in the list, then Enter for "Load".
"$probe" keys 60 "Kestrovane: Select Situation" Down Return >/dev/null ||
  fail "the first screen did not come up"
window=$(shown 60 "$ready" "$model: ERROR!" "$box") || fail "the cab window did not come up"
[ "$window" = "$ready" ] || fail "\"$window\" came up in place of the ready cab window"

# The cab picture (793 x 524) fills the window below the menu bar; the 3D panel and the levers
# sit on it where the cab layout says. The panel is watched inside its frame (one pixel), which
# has colours of its own.
read -r _ height < <("$probe" size 5 "$ready" | tail -n 1)
[ -n "${height:-}" ] || fail "cannot read the cab window's size"
menubar=$((height - 524))
[ -n "$(layout 3d_width)" ] || fail "the demo cab layout has no 3D panel"
panel=($(($(layout 3d_left) + 2)) $(($(layout 3d_top) + menubar + 2)) $(($(layout 3d_width) - 4))
       $(($(layout 3d_height) - 4)))
IFS=: read -r lever_top lever_left < <(layout control1 | sed 's/^[^,]*, *//')
[ -n "${lever_left:-}" ] || fail "the demo cab layout has no POWER lever"
"$probe" grab 5 "$ready" "${panel[@]}" "$workdir/panel-before.ppm" >/dev/null ||
  fail "cannot read the 3D panel"

# File > "Start Sim": the menu's fourth entry.
"$probe" menu 20 "$ready" 20 $((menubar / 2)) Down Down Down Down Return >/dev/null ||
  fail "cannot choose \"Start Sim\" from the File menu"
window=$(shown 60 "Select New Direct3D Driver" "$running" "$box") ||
  fail "the simulation did not start"
if [ "$window" = "Select New Direct3D Driver" ]; then
  "$probe" keys 5 "$window" Return >/dev/null || fail "cannot answer the driver dialog"
  window=$(shown 60 "$running" "$box") || fail "the simulation did not start"
fi
[ "$window" = "$running" ] || fail "a message box came up while the simulation started"

# The POWER lever (40 x 150 in the demo cab) dragged from its top to its foot: full power.
lever_x=$((lever_left + 20))
lever_y=$((lever_top + menubar))
"$probe" drag 10 "$running" "$lever_x" $((lever_y + 13)) "$lever_x" $((lever_y + 150)) \
  >/dev/null || fail "cannot move the POWER lever"

"$probe" watch 30 "$running" "${panel[@]}" "$workdir/panel-before.ppm" "$workdir/panel" ||
  fail "the 3D panel did not show a moving line (grabs in $workdir/panel-*.ppm)"

"$probe" close 10 "$running" >/dev/null || fail "cannot close the cab window"
for _ in $(seq 1 300); do
  kill -0 "$app" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$app" 2>/dev/null && fail "kestrovane did not close"
wait "$app" || fail "kestrovane exited with status $?"
trap - EXIT
echo "the 3D panel shows the line and changes while the train runs"
