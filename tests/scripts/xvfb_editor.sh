#!/usr/bin/env bash
# Runs the real editor on a virtual X display with the real mouse: taps and
# clicks through the title, chooses icons and sets a target platform, a
# prisoner and a start point, paints two walls, takes both back with Ctrl+Z
# and brings one back with Ctrl+Y, saves with F2 (twice, the first save kept
# as the backup), checks the saved map with vantormap, and quits with Escape
# and J, expecting exit code 0. Works in a copy of the player's folder, so
# build/run/maps is never touched.
# Usage: xvfb_editor.sh BUILD_DIR SOURCE_DIR
set -euo pipefail

build=$(cd "${1:?build directory}" && pwd)
source_dir=$(cd "${2:-$(dirname "$0")/../..}" && pwd)
run="$build/run"
vantormap="$build/bin/vantormap"
for file in "$run/vantoredit" "$run/vantoredit.pak" "$vantormap"; do
  [ -e "$file" ] || { echo "no $file"; exit 1; }
done
source "$source_dir/tests/support/xvfb_lib.sh"
# The editor takes the mouse in relative mode, which grabs the pointer; import
# would wait for that grab, so screenshots are taken with xwd.
xvfb_require_tools Xvfb xdotool xwininfo xwd convert

work=$(mktemp -d)
editor_pid=""
cleanup() {
  stop_group "$editor_pid"
  xvfb_stop
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

fail() {
  echo "FAIL: $*"
  xvfb_report "$work/editor.log"
  exit 1
}

player="$work/player"
mkdir "$player"
cp -r "$run/." "$player/"
rm -f "$player/maps/own .map"
own_map="$player/maps/own .map"

xvfb_start "$work" || fail "Xvfb did not start"
echo "display $DISPLAY"
xvfb_no_session_bus "$work"
# In a sanitizer build, the X libraries keep allocations until the process
# ends; our own leaks are the unit tests' concern.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"

cd "$player"
start_in_group "$work/editor.log" 180 ./vantoredit
editor_pid=$group_pid
find_window "Edit" 30 > /dev/null || fail "no editor window"
sleep 1  # SDL may recreate the window for its renderer
window=$(find_window "Edit" 10) || fail "the editor window went away"
xdo windowfocus "$window"
sleep 0.3

# The editor sees relative motion only, and holds its pointer within the
# screen: pushed into the top left corner, it is at (0, 0), and from there
# this script keeps count of where it is.
pointer_x=0
pointer_y=0
xdo mousemove_relative -- -2000 -2000
sleep 0.2
point() {
  xdo mousemove_relative -- $(($1 - pointer_x)) $(($2 - pointer_y))
  pointer_x=$1
  pointer_y=$2
  sleep 0.25  # several frames: the next one takes the cell under the pointer
}
# A click held over several frames, and a tap: press and release at once,
# as a touchpad sends them, both read in one frame.
click() {
  point "$1" "$2"
  xdo mousedown 1
  sleep 0.4
  xdo mouseup 1
  sleep 0.2
}
tap() {
  point "$1" "$2"
  xdo click 1
  sleep 0.2
}
click_icon() { click 640 $((100 + 40 * $1 + 20)); }
click_cell() { click $(($1 * 40 + 20)) $(($2 * 40 + 20)); }
press() {
  xdo windowfocus "$window"
  xdo keydown "$1"
  sleep 0.3
  xdo keyup "$1"
  sleep 0.2
}
# Ctrl with the key that types the letter.
press_with_ctrl() {
  xdo windowfocus "$window"
  xdo keydown ctrl
  xdo keydown "$1"
  sleep 0.3
  xdo keyup "$1"
  xdo keyup ctrl
  sleep 0.2
}

tap 300 300     # ends the title; no icon is chosen, so nothing is set
tap 640 280     # target platform
click_cell 3 5
click_icon 5    # prisoner
tap 340 220     # cell (8, 5)
click_icon 6    # start point
click_cell 5 2
click_icon 1    # wall
click_cell 10 8
click_cell 12 8
press_with_ctrl z   # both walls undone, one stroke each
press_with_ctrl z
press_with_ctrl y   # the first wall again
point 700 560   # the pointer off the view and the overview map
kill -0 "$editor_pid" 2> /dev/null || fail "the editor ended"

# The overview map at (659, 1) shows the prisoner's cell in yellow.
timeout 10 xwd -root -silent > "$work/shot.xwd" || fail "no screenshot"
size=$(convert "xwd:$work/shot.xwd" -format '%wx%h' info:)
[ "$size" = "800x600" ] || fail "screen is $size, not 800x600"
prisoner_pixel=$(convert "xwd:$work/shot.xwd" -format '%[hex:p{667,6}]' info:)
case "$prisoner_pixel" in
  FFFF00*) echo "overview map: prisoner in yellow" ;;
  *) fail "overview pixel of the prisoner is #$prisoner_pixel, not yellow" ;;
esac

press F2
wait_for 10 test -s "$own_map" || fail "F2 saved no map"
map_size=$(stat -c %s "$own_map")
[ "$map_size" -eq 4182 ] || fail "the map has $map_size bytes, not 4182"
"$vantormap" check "$own_map" || fail "vantormap check finds the map incomplete"
"$vantormap" dump "$own_map" > "$work/map.txt" || fail "vantormap dump failed"
row() { grep -E "; $1\$" "$work/map.txt" | tr -d ' ' | cut -c1-50; }
[ "$(row 2)" = ".....S............................................" ] || fail "row 2 is $(row 2)"
[ "$(row 5)" = "...T....P........................................." ] || fail "row 5 is $(row 5)"
[ "$(row 8)" = "..........#......................................." ] || fail "row 8 is $(row 8)"
echo "saved: 4182 bytes, start point, target platform and prisoner where they were set, one wall of two after undo and redo"
press F2
cmp -s "$own_map" "$own_map.bak" || fail "the second save kept no copy of the first"

quit_with_escape_and_j "$window" "$editor_pid" || fail "the editor did not end on Escape and J"
exit_code_of "$editor_pid"
editor_pid=""
[ "$exit_code" -eq 0 ] || fail "exit code $exit_code"
echo "PASS: the editor saved a complete map and ended with exit code 0"
