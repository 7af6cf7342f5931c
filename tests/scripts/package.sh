#!/usr/bin/env bash
# Builds the Debian package with scripts/package and checks it as a player's
# machine would get it: lintian finds no error, the menu entries and the
# AppStream record validate, and, unpacked with dpkg -x into a scratch root,
# the menu entries' commands run under Xvfb with a scratch HOME. The game's
# launcher makes the player's folder with the shipped maps and the game
# reaches its title; the editor's launcher renews a changed shipped map and
# keeps the own map, and F3 then F2 in the editor load and save the own map
# in the player's folder, never under the installed tree. Started in another
# folder with a map named relative to it, as a file manager does, the editor
# loads and saves that map and the game takes it.
# Not a ctest test: it builds into build/ itself; .ci/run calls it.
# Usage: package.sh [SOURCE_DIR]
set -euo pipefail

source_dir=$(cd "${1:-$(dirname "$0")/../..}" && pwd)
"$source_dir/scripts/setup" test package
source "$source_dir/tests/support/xvfb_lib.sh"

work=$(mktemp -d)
program_pid=""
cleanup() {
  stop_group "$program_pid"
  xvfb_stop
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

fail() {
  echo "FAIL: $*"
  xvfb_report "$work/program.log"
  exit 1
}

deb=$("$source_dir/scripts/package" | tail -n 1) || fail "scripts/package failed"
[ -f "$deb" ] || fail "scripts/package made no package ($deb)"
echo "package: $deb"

lintian_ok=0
lintian --fail-on error --tag-display-limit 0 "$deb" > "$work/lintian.log" 2>&1 || lintian_ok=$?
grep -v 'root privileges' "$work/lintian.log" || true
[ "$lintian_ok" -eq 0 ] || fail "lintian reports errors"
root="$work/root"
dpkg -x "$deb" "$root"
desktop-file-validate "$root"/usr/share/applications/*.desktop || fail "desktop-file-validate"
appstreamcli validate --no-net "$root"/usr/share/metainfo/*.metainfo.xml > "$work/appstream.log" 2>&1 ||
  { cat "$work/appstream.log"; fail "appstreamcli validate"; }
echo "lintian, desktop-file-validate and appstreamcli validate: clean"

# The command of a menu entry, inside the scratch root.
menu_command() {
  local exec
  exec=$(sed -n 's/^Exec=//p' "$root/usr/share/applications/$1.desktop")
  exec=${exec% %f}  # the file a file manager hands over
  case "$exec" in
    /usr/games/*) echo "$root$exec" ;;
    *) fail "menu entry $1 starts $exec, not a launcher in /usr/games" ;;
  esac
}
game=$(menu_command org.vantor.Vantor)
editor=$(menu_command org.vantor.VantorEditor)

export HOME="$work/home"
unset XDG_DATA_HOME
mkdir "$HOME"
player="$HOME/.local/share/vantor"
installed="$root/usr/share/games/vantor"

xvfb_require_tools Xvfb xdotool xwininfo import convert compare
xvfb_start "$work" || fail "Xvfb did not start"
xvfb_no_session_bus "$work"

# The game, with an audio driver that does not exist: it says that it has no
# sound, and Return takes the notice away.
SDL_AUDIODRIVER=none-in-this-test start_in_group "$work/program.log" 120 "$game"
program_pid=$group_pid
box=$(find_window "Keine Soundkarte gefunden" 30) || fail "no notice about sound"
for attempt in 1 2 3 4 5; do
  xdo windowfocus "$box"
  sleep 0.3
  xdo key Return
  wait_for 3 bash -c "! timeout 10 xwininfo -root -tree 2> /dev/null | grep -qF '\"Keine Soundkarte gefunden\":'" && break
done
for n in 1 2 3; do
  cmp -s "$installed/maps/map $n.map" "$player/maps/map $n.map" || fail "the player's folder lacks map $n"
done
for pack in vantor.pak vantoredit.pak; do
  [ "$(readlink "$player/$pack")" = "$installed/$pack" ] || fail "$pack is not a link to the installed pack"
done
echo "player's folder: the three maps and links to both packs"

window=$(find_window "NoName" 30) || fail "no game window"
sleep 1  # SDL may recreate the window for its renderer
window=$(find_window "NoName" 10) || fail "the game window went away"
"$root/usr/games/vantorpak" extract "$installed/vantor.pak" "$work/pack" > /dev/null
title_shown() {
  window_shot "$window" "$work/shot.png" &&
    [ "$(compare -metric AE "$work/shot.png" "$work/pack/15.bmp" null: 2>&1)" = "0" ]
}
wait_for 60 title_shown || fail "the game did not reach its title picture"
echo "game: the title picture"
xdo windowfocus "$window"
xdo keydown F4
wait_for_end "$program_pid" 10 || fail "F4 on the title did not end the game"
xdo keyup F4
exit_code_of "$program_pid"
program_pid=""
[ "$exit_code" -eq 0 ] || fail "the game ended with exit code $exit_code"

# A shipped map that differs from the installed one is renewed; the own map,
# here a copy of map 2, is kept.
printf 'old' > "$player/maps/map 1.map"
cp "$installed/maps/map 2.map" "$player/maps/own .map"
start_in_group "$work/program.log" 120 "$editor"
program_pid=$group_pid
window=$(find_window "Edit" 30) || fail "no editor window"
sleep 1
window=$(find_window "Edit" 10) || fail "the editor window went away"
cmp -s "$installed/maps/map 1.map" "$player/maps/map 1.map" || fail "the launcher did not renew map 1"
cmp -s "$installed/maps/map 2.map" "$player/maps/own .map" || fail "the launcher changed the own map"

xdo windowfocus "$window"
xdo mousedown 1  # ends the title picture
sleep 0.4
xdo mouseup 1
sleep 0.3
# F3 loads the own map; F2 saves it again, which shows as a new time stamp.
# An empty map would be refused, so a press that came too early is repeated.
own="$player/maps/own .map"
touch -d 2000-01-01 "$own"
written() { [ "$(stat -c %Y "$own")" -gt 946771200 ]; }
for attempt in 1 2 3; do
  press F3
  press F2
  wait_for 3 written && break
done
written || fail "F3 and F2 saved nothing into the player's folder"
cmp -s "$installed/maps/map 2.map" "$own" || fail "the saved map is not the one that F3 loaded"
[ -z "$(find "$root" -name 'own .map')" ] || fail "the editor wrote into the installed tree"
echo "editor: F3 loaded and F2 saved the own map in the player's folder"

quit_with_escape_and_j "$window" "$program_pid" || fail "the editor did not end on Escape and J"
exit_code_of "$program_pid"
program_pid=""
[ "$exit_code" -eq 0 ] || fail "the editor ended with exit code $exit_code"

# A map named relative to the folder the programs are started in. The editor
# has it loaded (an empty map would be refused), and F2 saves it there,
# keeping the map it replaces beside it.
levels="$work/levels"
level="ä b/ü level.map"
mkdir -p "$levels/ä b"
cp "$installed/maps/map 3.map" "$levels/$level"
cd "$levels"
no_editor_window() { ! has_window Edit; }
wait_for 10 no_editor_window || fail "the last editor's window stays"
start_in_group "$work/program.log" 120 "$editor" "$level"
program_pid=$group_pid
window=$(find_window "Edit" 30) || fail "no editor window for $level"
sleep 1
window=$(find_window "Edit" 10) || fail "the editor window went away"
xdo windowfocus "$window"
save_loaded_map "$installed/maps/map 3.map" "$levels/$level" || fail "F2 did not save the map loaded from $levels/$level, or kept no .bak"
quit_with_escape_and_j "$window" "$program_pid" || fail "the editor did not end on Escape and J"
program_pid=""
# The game checks its file before anything else: with the file found, the
# notice about sound follows, where a file not found would end the game.
SDL_AUDIODRIVER=none-in-this-test start_in_group "$work/program.log" 120 "$game" "$level"
program_pid=$group_pid
find_window "Keine Soundkarte gefunden" 30 > /dev/null || fail "the game did not take $level"
stop_group "$program_pid"
program_pid=""
cd "$work"
echo "editor and game: a map named relative to where they were started"
echo "PASS: the package installs, validates and runs from its menu entries"
