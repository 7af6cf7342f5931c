#!/usr/bin/env bash
# The Windows programs' real window under Wine, on virtual X screens of the
# given sizes, each once with a window manager (openbox) and once without:
# the game's sound notice (Wine has no sound device here) is answered with
# Return, and once, with ALSA's null device as Wine's output, its sound
# question is answered "Ja" and the game plays sound (read back through
# ALSA's file plugin); the intro takes
# its 553 frames, over 9 seconds; the root screenshot, cut to where the picture must be and scaled
# back to 800x600, is the title picture pixel for pixel, black around it;
# F1 starts map 1 and Up held flies the craft (the world view scrolls);
# with the window manager a close request (Alt+F4) asks the quit question
# and a second one ends the game, without one Escape and J end it; exit
# code 0 each time. Then the editor's title, pixel for pixel as the headless
# editor draws it; the mouse moves its pointer, a click ends the title, and
# while editing a close request asks and a second one ends the editor.
# Usage: windows_window.sh [NATIVE_BUILD [WIN_BUILD [SIZE...]]]
#        (defaults build/, build-win/, 1024x768 1920x1080)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
native=$(cd "${1:-$root/build}" && pwd)
win=$(cd "${2:-$root/build-win}" && pwd)
shift $(($# < 2 ? $# : 2))
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(1024x768 1920x1080)
for file in "$win/run/vantor.exe" "$win/run/vantoredit.exe" "$native/bin/vantorpak" "$native/bin/vantorreplay"; do
  [ -e "$file" ] || { echo "no $file (scripts/test and scripts/windows build them)"; exit 1; }
done
source "$root/tests/support/xvfb_lib.sh"
xvfb_require_tools Xvfb openbox xdotool xwininfo xprop xwd convert compare
source "$root/tests/scripts/wine_env.sh" "$win"

# Where the picture lies on a screen the window fills.
declare -A FULL_SCREEN_PICTURE=([1024x768]=1024x768+0+0 [1920x1080]=1440x1080+240+0)

work=$(mktemp -d)
program_pid=""
wm_pid=""
stop_all() {
  stop_group "$program_pid"
  program_pid=""
  # Wine's own processes belong to the display that ends now.
  wineserver -k 2> /dev/null || true
  wineserver -w
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
  xvfb_report "$work/program.log"
  exit 1
}

player="$work/player"
mkdir "$player"
cp -r "$win/run/." "$player/"
"$native/bin/vantorpak" extract "$native/run/vantor.pak" "$work/pack" > /dev/null
# The quit question and the editor's title as the headless programs draw them.
printf '552\n1 F1\n10\n3 Esc\n' > "$work/question.replay"
"$native/bin/vantorreplay" --dir "$player" --no-sound --shot "$work/question.bmp" "$work/question.replay" > /dev/null
printf '1\n' > "$work/title.replay"
"$native/bin/vantorreplay" --editor --dir "$player" --shot "$work/edit-title.bmp" "$work/title.replay" > /dev/null

shoot() { timeout 10 xwd -root -silent > "$work/shot.xwd" || fail "no screenshot"; }
# The screenshot cut to the picture and scaled back, without smoothing.
picture_back() { convert "xwd:$work/shot.xwd" -crop "$picture" +repage -sample '800x600!' "$work/${1:-back}.png"; }
differing() { compare -metric AE "$1" "$2" null: 2>&1 || true; }
shows() {
  shoot
  picture_back
  [ "$(differing "$work/back.png" "$1")" = "0" ]
}
# changed_from PICTURE PIXELS: the screen differs from PICTURE in more than PIXELS.
changed_from() {
  shoot
  picture_back
  [ "$(differing "$work/back.png" "$1")" -gt "$2" ]
}
letterbox_black() {
  local geometry=${picture//[x+]/ } w h x y
  read -r w h x y <<< "$geometry"
  convert "xwd:$work/shot.xwd" -fill black -draw "rectangle $x,$y $((x + w - 1)),$((y + h - 1))" \
    -format '%[fx:maxima]' info:
}
press() {
  xdo windowfocus "$window"
  xdo keydown "$1"
  sleep "${2:-0.3}"
  xdo keyup "$1"
}

start_display() {
  xvfb_start "$work" "$1" || fail "Xvfb did not start"
  if [ "$2" = openbox ]; then
    openbox > "$work/openbox.log" 2>&1 &
    wm_pid=$!
    wait_for 30 bash -c "timeout 10 xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'" ||
      fail "openbox did not start"
  fi
  picture=${FULL_SCREEN_PICTURE[$1]:?no expected picture for $1}
}

# run PROGRAM [HOME]: starts it in the player's folder.
run() {
  cd "$player"
  HOME=${2:-$HOME} start_in_group "$work/program.log" 300 wine "$1"
  program_pid=$group_pid
}
# A home whose ALSA sends all sound to the null device, and a copy of it to
# a file: Wine has an output, and what it played can be read.
null_sound_home="$work/null-sound-home"
mkdir -p "$null_sound_home"
printf 'pcm.!default { type file slave.pcm "null" file "%s" format "raw" }\nctl.!default { type hw card 0 }\n' \
  "$work/played.raw" > "$null_sound_home/.asoundrc"
# Bytes of the sound played that are not silence.
sounding_bytes() { tr -d '\000' < "$work/played.raw" 2> /dev/null | wc -c; }

# answer TITLE: Return on the message box of that title (its first button).
answer() { answer_box "$1" || fail "no box \"$1\", or it did not take Return"; }
window_up() { wait_for_window "$1" || fail "no window \"$1\""; }

ends_with_zero() {
  wait_for_end "$program_pid" 15 || fail "$1: the program did not end"
  exit_code_of "$program_pid"
  program_pid=""
  [ "$exit_code" -eq 0 ] || fail "$1: exit code $exit_code"
}

# game_case SIZE WM SOUND: SOUND "null" gives Wine a sound output.
game_case() {
  local size=$1 wm=$2 sound=$3
  case_name="game, $size, $wm, sound: $sound"
  start_display "$size" "$wm"
  if [ "$sound" = null ]; then
    run vantor.exe "$null_sound_home"
    answer "Soundkarte gefunden"  # "Sound aktivieren ?": Ja
  else
    run vantor.exe
    answer "Keine Soundkarte gefunden"  # "Spiel startet ohne Sound": OK
  fi
  window_up NoName
  local opened=$SECONDS
  wait_for 60 shows "$work/pack/15.bmp" ||
    fail "no title picture in $picture ($(differing "$work/back.png" "$work/pack/15.bmp") pixels differ)"
  [ "$(letterbox_black)" = "0" ] || fail "not black around the picture"
  # The window is seen a second after it opened at the latest (SECONDS counts whole seconds).
  local intro=$((SECONDS - opened + 2))
  [ "$intro" -ge 9 ] || fail "the intro took $intro seconds, not 9.2"
  echo "$case_name: the title picture after an intro of about ${intro} s, pixel for pixel, in $picture"
  if [ "$sound" = null ]; then
    [ "$(sounding_bytes)" -gt 0 ] || fail "sound on, but only silence was played"
    echo "$case_name: sound was played"
  fi

  press F1
  sleep 1
  shoot
  picture_back still
  convert "$work/still.png" -crop 800x160+0+440 +repage "$work/panel.png"
  local panel_off world_colours
  panel_off=$(differing "$work/panel.png" "$work/pack/14.bmp")
  [ "$panel_off" -lt 16000 ] || fail "F1: no status panel ($panel_off of 128000 pixels differ)"
  world_colours=$(convert "$work/still.png" -crop 800x440+0+0 +repage -format %k info:)
  [ "$world_colours" -gt 100 ] || fail "F1: the world view has only $world_colours colours"
  # Climbing scrolls the world: most of the view changes.
  press Up 1.5
  shoot
  picture_back flown
  local moved
  for shot in still flown; do convert "$work/$shot.png" -crop 800x440+0+0 +repage "$work/$shot-world.png"; done
  moved=$(differing "$work/still-world.png" "$work/flown-world.png")
  [ "$moved" -gt 100000 ] || fail "Up: the world view did not scroll ($moved of 352000 pixels changed)"
  echo "$case_name: F1 started map 1, Up flew the craft ($moved pixels changed)"

  if [ "$wm" = openbox ]; then
    xdo windowfocus "$window"
    xdo key alt+F4
    wait_for 10 shows "$work/question.bmp" ||
      fail "no quit question ($(differing "$work/back.png" "$work/question.bmp") pixels differ)"
    xdo windowfocus "$window"
    xdo key alt+F4
    ends_with_zero "a second close request"
    echo "$case_name: a close request asks, the second ends the game, exit code 0"
  else
    quit_with_escape_and_j "$window" "$program_pid" || fail "the game did not end on Escape and J"
    ends_with_zero "Escape and J"
    echo "$case_name: Escape and J end the game, exit code 0"
  fi
  stop_all
}

editor_case() {
  local size=$1
  case_name="editor, $size, openbox"
  start_display "$size" openbox
  run vantoredit.exe
  window_up Edit
  wait_for 30 shows "$work/edit-title.bmp" ||
    fail "no editor title in $picture ($(differing "$work/back.png" "$work/edit-title.bmp") pixels differ)"
  # The mouse moves the editor's pointer; a click ends the title.
  xdo mousemove_relative 200 150
  wait_for 10 changed_from "$work/edit-title.bmp" 0 || fail "the pointer did not move"
  xdo click 1
  sleep 1
  shoot
  picture_back editing
  [ "$(differing "$work/editing.png" "$work/edit-title.bmp")" -gt 100000 ] || fail "the click did not end the title"
  echo "$case_name: the editor's title, pixel for pixel; the mouse moves its pointer and a click ends it"
  # A close request while editing asks the quit question; a second one ends the editor.
  xdo windowfocus "$window"
  xdo key alt+F4
  wait_for 10 changed_from "$work/editing.png" 1000 || fail "no quit question"
  xdo windowfocus "$window"
  xdo key alt+F4
  ends_with_zero "a second close request in the editor"
  echo "$case_name: a close request asks, the second ends the editor, exit code 0"
  stop_all
}

wineserver -k 2> /dev/null || true
sound=null
for size in "${sizes[@]}"; do
  game_case "$size" openbox none
  game_case "$size" none "$sound"
  sound=none
  editor_case "$size"
done
echo "PASS: the Windows programs' window at ${sizes[*]}, with and without a window manager"
