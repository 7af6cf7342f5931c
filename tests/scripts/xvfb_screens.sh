#!/usr/bin/env bash
# Runs the real game on virtual X screens of the given sizes, each once with
# a window manager (openbox) and once without, and checks that the whole
# picture is seen: the screenshot of the root window, cut to where the
# picture must be and scaled back to 800x600, is the title picture and the
# quit question pixel for pixel, and a frame of play shows world and panel.
# The game is played by a virtual game controller (A starts the maps, B
# answers no), which is pulled out and plugged in again during play; with
# the window manager Alt+F4 asks to quit and a second Alt+F4 ends the game,
# without one Start and A do. Exit code 0 each time.
# Usage: xvfb_screens.sh BUILD_DIR SOURCE_DIR [SIZE...]  (default 1366x768 1920x1080)
set -euo pipefail

build=$(cd "${1:?build directory}" && pwd)
source_dir=$(cd "${2:-$(dirname "$0")/../..}" && pwd)
shift $(($# < 2 ? $# : 2))
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(1366x768 1920x1080)
run="$build/run"
for file in "$run/vantor" "$run/vantor.pak" "$build/bin/vantorpak" "$build/bin/vantorreplay"; do
  [ -e "$file" ] || { echo "no $file"; exit 1; }
done
source "$source_dir/tests/support/xvfb_lib.sh"
xvfb_require_tools Xvfb openbox xdotool xwininfo xprop xwd convert compare

# Where the picture lies on a screen the game's window fills: the largest
# whole-number scale where twice the picture fits, else the largest scale.
declare -A FULL_SCREEN_PICTURE=(
  [1024x768]=1024x768+0+0 [1366x768]=1024x768+171+0
  [1920x1080]=1440x1080+240+0 [2560x1440]=1600x1200+480+120
)

work=$(mktemp -d)
game_pid=""
wm_pid=""
stop_all() {
  stop_group "$game_pid"
  game_pid=""
  if [ -n "$wm_pid" ]; then kill "$wm_pid" 2> /dev/null || true; wait "$wm_pid" 2> /dev/null || true; fi
  wm_pid=""
  xvfb_stop
}
cleanup() {
  stop_all
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

case_name=""
fail() {
  echo "FAIL ($case_name): $*"
  xvfb_report "$work/game.log"
  exit 1
}

player="$work/player"
mkdir "$player"
cp -r "$run/." "$player/"
"$build/bin/vantorpak" extract "$run/vantor.pak" "$work/pack" > /dev/null
# Pack entry 15 is the title picture, 14 the status panel; the quit question
# as the game draws it comes from a replay that asks it in map 1.
printf '552\n1 F1\n10\n3 Esc\n' > "$work/question.replay"
"$build/bin/vantorreplay" --dir "$player" --no-sound --shot "$work/question.bmp" "$work/question.replay" > /dev/null

pad() { echo "$*" > "$work/pad"; }
# A button held over several frames, then let go.
pad_press() {
  pad "$@"
  sleep 0.4
  pad ""
  sleep 0.2
}

shoot() { timeout 10 xwd -root -silent > "$work/shot.xwd" || fail "no screenshot"; }
# The screenshot cut to the picture and scaled back, without smoothing.
picture_back() { convert "xwd:$work/shot.xwd" -crop "$picture" +repage -sample '800x600!' "$work/back.png"; }
differing() { compare -metric AE "$1" "$2" null: 2>&1 || true; }
shows() {
  shoot
  picture_back
  [ "$(differing "$work/back.png" "$1")" = "0" ]
}
# Outside the picture a full-screen window is black.
letterbox_black() {
  local geometry=${picture//[x+]/ } w h x y
  read -r w h x y <<< "$geometry"
  convert "xwd:$work/shot.xwd" -fill black -draw "rectangle $x,$y $((x + w - 1)),$((y + h - 1))" \
    -format '%[fx:maxima]' info:
}

# Asks to quit: Alt+F4 through the window manager, or Start on the pad.
ask_to_quit() {
  if [ "$1" = openbox ]; then
    xdo windowfocus "$window"
    xdo key alt+F4
  else
    pad_press start
  fi
}

run_case() {
  local size=$1 wm=$2
  case_name="$size, $wm"
  xvfb_start "$work" "$size" || fail "Xvfb did not start"
  xvfb_no_session_bus "$work"
  if [ "$wm" = openbox ]; then
    openbox > "$work/openbox.log" 2>&1 &
    wm_pid=$!
    wait_for 30 bash -c "timeout 10 xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'" ||
      fail "openbox did not start"
  fi
  pad ""
  cd "$player"
  # No audio driver: the game says it has no sound, in a box with one button.
  VANTOR_TEST_PAD="$work/pad" SDL_AUDIODRIVER=none-in-this-test start_in_group "$work/game.log" 300 ./vantor
  game_pid=$group_pid
  box=$(find_window "Keine Soundkarte gefunden" 30) || fail "no sound notice"
  for attempt in $(seq 1 10); do
    has_window "Keine Soundkarte gefunden" || break
    xdo windowfocus "$box"
    sleep 0.3
    xdo key Return
    sleep 0.5
  done
  find_window "NoName" 30 > /dev/null || fail "no game window"
  sleep 1
  window=$(find_window "NoName" 10) || fail "the game window went away"
  xdo windowfocus "$window"

  if [ "$wm" = openbox ]; then
    picture=${FULL_SCREEN_PICTURE[$size]:?no expected picture for $size}
  else
    # Nobody makes the window full screen: the picture fills it as it was made.
    local info x y
    info=$(timeout 10 xwininfo -id "$window")
    x=$(awk '/Absolute upper-left X/ { print $NF }' <<< "$info")
    y=$(awk '/Absolute upper-left Y/ { print $NF }' <<< "$info")
    picture="800x600+$x+$y"
  fi

  wait_for 60 shows "$work/pack/15.bmp" ||
    fail "no title picture in $picture ($(differing "$work/back.png" "$work/pack/15.bmp") pixels differ)"
  if [ "$wm" = openbox ]; then
    [ "$(letterbox_black)" = "0" ] || fail "not black around the picture"
  fi
  echo "$case_name: the title picture, pixel for pixel, in $picture"

  pad_press a
  sleep 0.5
  shoot
  picture_back
  convert "$work/back.png" -crop 800x160+0+440 +repage "$work/panel.png"
  local panel_off world_colours
  panel_off=$(differing "$work/panel.png" "$work/pack/14.bmp")
  [ "$panel_off" -lt 16000 ] || fail "pad A: no status panel ($panel_off of 128000 pixels differ)"
  world_colours=$(convert "$work/back.png" -crop 800x440+0+0 +repage -format %k info:)
  [ "$world_colours" -gt 100 ] || fail "pad A: the world view has only $world_colours colours"
  echo "$case_name: pad A started map 1 (world $world_colours colours, panel $panel_off pixels over)"

  ask_to_quit "$wm"
  wait_for 10 shows "$work/question.bmp" ||
    fail "no quit question ($(differing "$work/back.png" "$work/question.bmp") pixels differ)"
  pad_press b
  shoot
  picture_back
  [ "$(differing "$work/back.png" "$work/question.bmp")" != "0" ] || fail "pad B did not go on"
  echo "$case_name: the quit question pixel for pixel; pad B goes on"

  # Pulled out and plugged in again during play: without a window manager
  # the next question is asked on the pad.
  rm -f "$work/pad"
  sleep 0.5
  pad ""
  sleep 0.5

  ask_to_quit "$wm"
  wait_for 10 shows "$work/question.bmp" || fail "no second quit question"
  if [ "$wm" = openbox ]; then
    xdo windowfocus "$window"
    xdo key alt+F4
  else
    pad "start a"
  fi
  wait_for_end "$game_pid" 10 || fail "the game did not end"
  exit_code_of "$game_pid"
  game_pid=""
  [ "$exit_code" -eq 0 ] || fail "exit code $exit_code"
  echo "$case_name: ended with exit code 0"
  stop_all
}

for size in "${sizes[@]}"; do
  for wm in openbox none; do run_case "$size" "$wm"; done
done
echo "PASS: the whole picture at ${sizes[*]}, with and without a window manager"
