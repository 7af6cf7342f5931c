#!/usr/bin/env bash
# What a Windows player does with the downloads, under Wine on an 800x600
# virtual screen:
# - Installer: "setup.exe /S" installs silently; the Start-menu entries
#   "Vantor" and "Vantor Editor" and the entry in the installed programs
#   exist; the game started from its entry prepares %LOCALAPPDATA%\vantor
#   and reaches its title picture; the editor's entry renews a changed
#   shipped map there, keeps the own map and its .bak, and F3 then F2 save
#   the own map there, never under Program Files; a player's folder that
#   cannot be made gives a "Fehler" box; the entry's QuietUninstallString
#   removes the program's folder, the Start-menu entries and the entry, and
#   leaves the player's folder alone. A map named with umlauts, relative to
#   another folder, is loaded and saved there by the installed editor and
#   taken by the installed game; Explorer's "Open with" entries for .map are
#   in the registry after the install and gone after the uninstall.
# - The zip, unpacked into a folder whose name has an umlaut, plays in place:
#   the game reaches its title started from elsewhere, and the editor saves
#   beside itself; nothing goes to %LOCALAPPDATA%.
# Usage: windows_install.sh [NATIVE_BUILD [WIN_BUILD]] (defaults build/, build-win/)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
native=$(cd "${1:-$root/build}" && pwd)
win=$(cd "${2:-$root/build-win}" && pwd)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$win/CMakeCache.txt")
setup="$win/vantor-$version-setup.exe"
zip="$win/vantor-$version-windows.zip"
for file in "$setup" "$zip" "$native/bin/vantorpak"; do
  [ -e "$file" ] || { echo "no $file (scripts/test and scripts/windows build them)"; exit 1; }
done
source "$root/tests/support/xvfb_lib.sh"
xvfb_require_tools Xvfb xdotool xwininfo xwd convert compare unzip
source "$root/tests/scripts/wine_env.sh" "$win"

drive="$WINEPREFIX/drive_c"
installed="$drive/Program Files/Vantor"
menu="$drive/ProgramData/Microsoft/Windows/Start Menu/Programs"
player="$drive/users/$(id -un)/AppData/Local/vantor"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Vantor'

work=$(mktemp -d)
program_pid=""
uninstall() { [ ! -e "$installed/uninstall.exe" ] || timeout 60 wine "$installed/uninstall.exe" /S || true; }
cleanup() {
  stop_group "$program_pid"
  uninstall
  timeout 30 wineserver -w || true
  rm -rf "$player"
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

# Wine's processes of an earlier display end; the shared prefix holds no
# earlier copy and no player's folder.
xvfb_start "$work" || fail "Xvfb did not start"
timeout 30 wineserver -k 2> /dev/null || true
timeout 30 wineserver -w || true
uninstall
rm -rf "$player"
"$native/bin/vantorpak" extract "$native/run/vantor.pak" "$work/pack" > /dev/null

# start WINDOWS_PATH_OR_LINK [ARG]: a program or a Start-menu entry, from
# $start_dir (default $work).
start_dir=""
start() {
  cd "${start_dir:-$work}"
  start_in_group "$work/program.log" 120 wine start /wait "$@"
  program_pid=$group_pid
}
ended() {
  wait_for_end "$program_pid" 15 || fail "$1: the program did not end"
  program_pid=""
}
# The game, without a sound device under Wine, says so and shows its title
# picture (the screen is as large as the picture); F4 ends it.
game_reaches_title() {
  start "$@"
  answer_box "Keine Soundkarte gefunden" || fail "no sound notice, or it stays"
  wait_for_window NoName || fail "no game window"
  title_shown() {
    timeout 10 xwd -root -silent > "$work/shot.xwd" &&
      [ "$(compare -metric AE "xwd:$work/shot.xwd" "$work/pack/15.bmp" null: 2>&1)" = "0" ]
  }
  wait_for 60 title_shown || fail "the game did not reach its title picture"
  press F4
  ended "F4 on the title"
}
# The editor: a click ends its title; F3 loads the own map of FOLDER, F2
# saves it again there (a new time stamp, the same bytes), and Escape and J
# end it.
editor_saves_in() {
  local own="$1/maps/own .map" attempt
  wait_for_window Edit || fail "no editor window"
  xdo mousedown 1
  sleep 0.4
  xdo mouseup 1
  sleep 0.3
  cp "$own" "$work/own-before"
  touch -d 2000-01-01 "$own"
  written() { [ "$(stat -c %Y "$own")" -gt 946771200 ]; }
  for attempt in 1 2 3; do
    press F3
    press F2
    wait_for 3 written && break
  done
  written || fail "F3 and F2 saved nothing into $1"
  cmp -s "$work/own-before" "$own" || fail "the saved map is not the one that F3 loaded"
  quit_with_escape_and_j "$window" "$program_pid" || fail "the editor did not end on Escape and J"
  program_pid=""
}

# --- Installer
timeout 120 wine "$setup" /S || fail "the silent install failed"
for file in vantor.exe vantoredit.exe vantor.pak vantoredit.pak "maps/map 1.map" uninstall.exe LICENSE.txt; do
  [ -f "$installed/$file" ] || fail "the installer did not install $file"
done
[ -f "$menu/Vantor.lnk" ] && [ -f "$menu/Vantor Editor.lnk" ] || fail "no Start-menu entries"
timeout 30 wine reg query "$key" > "$work/entry.txt" 2>&1 || fail "no entry in the installed programs"
grep -q "DisplayVersion.*$version" "$work/entry.txt" || fail "the entry's version is not $version"
quiet=$(sed -n 's/.*QuietUninstallString *REG_SZ *//p' "$work/entry.txt" | tr -d '\r')
[ -n "$quiet" ] || fail "the entry has no QuietUninstallString"
echo "installer: silent, the programs, Start-menu entries and the installed programs' entry"
classes='HKLM\Software\Classes'
open_with_entries() {
  timeout 30 wine reg query "$classes\.map\OpenWithProgids" 2> /dev/null | grep -c 'Vantor\(Editor\)\?\.Map' || true
  for exe in vantor.exe vantoredit.exe; do
    timeout 30 wine reg query "$classes\\Applications\\$exe\\SupportedTypes" 2> /dev/null | grep -c '\.map' || true
  done
}
[ "$(open_with_entries | tr -d '\r\n')" = 211 ] || fail "no Open with entries for .map: $(open_with_entries)"
timeout 30 wine reg query "$classes\VantorEditor.Map\shell\open\command" 2> /dev/null | grep -qF 'vantoredit.exe" "%1"' ||
  fail "the editor's ProgID opens no file"
echo "installer: Explorer's Open with for .map offers the game and the editor"

game_reaches_title 'C:\ProgramData\Microsoft\Windows\Start Menu\Programs\Vantor.lnk'
for file in vantor.pak vantoredit.pak "maps/map 1.map" "maps/map 2.map" "maps/map 3.map"; do
  cmp -s "$installed/$file" "$player/$file" || fail "the player's folder lacks $file"
done
echo "installed game: the title picture; %LOCALAPPDATA%\\vantor holds the packs and maps"

# As after an upgrade: a shipped map that differs is renewed, the own map
# (here a copy of map 2) and its .bak stay.
printf 'old' > "$player/maps/map 1.map"
cp "$installed/maps/map 2.map" "$player/maps/own .map"
printf 'bak' > "$player/maps/own .map.bak"
start 'C:\ProgramData\Microsoft\Windows\Start Menu\Programs\Vantor Editor.lnk'
wait_for_window Edit || fail "no editor window"
cmp -s "$installed/maps/map 1.map" "$player/maps/map 1.map" || fail "map 1 was not renewed"
cmp -s "$installed/maps/map 2.map" "$player/maps/own .map" || fail "the own map was touched"
[ "$(cat "$player/maps/own .map.bak")" = bak ] || fail "the own map's .bak was touched"
editor_saves_in "$player"
[ -z "$(find "$installed" -name 'own .map*')" ] || fail "the editor wrote under Program Files"
echo "installed editor: map 1 renewed, own map and .bak kept, F2 saved in %LOCALAPPDATA%\\vantor"

# A map named with umlauts relative to the folder the programs are started
# in: the editor has it loaded (an empty map would be refused) and F2 saves
# it there with its .bak; the game takes it (a file not found would end it
# with a Fehler box instead of the sound notice).
start_dir="$work/Karten für alle"
level="$start_dir/ä b/ü level.map"
mkdir -p "$start_dir/ä b"
cp "$installed/maps/map 3.map" "$level"
no_editor_window() { ! has_window Edit; }
wait_for 10 no_editor_window || fail "the last editor's window stays"
start "C:\\Program Files\\Vantor\\vantoredit.exe" 'ä b\ü level.map'
wait_for_window Edit || fail "no editor window for the map"
save_loaded_map "$installed/maps/map 3.map" "$level" || fail "F2 did not save the map loaded from $level, or kept no .bak"
quit_with_escape_and_j "$window" "$program_pid" || fail "the editor did not end on Escape and J"
program_pid=""
game_reaches_title "C:\\Program Files\\Vantor\\vantor.exe" 'ä b\ü level.map'
start_dir=""
echo "installed editor and game: a map with umlauts, relative to where they were started"

# A player's folder that cannot be made (a file is in its place).
mv "$player" "$work/player-kept"
printf 'x' > "$player"
start "C:\\Program Files\\Vantor\\vantor.exe"
answer_box Fehler || fail "no Fehler box, or it stays"
ended "the folder error"
rm "$player"
mv "$work/player-kept" "$player"
echo "installed game: a player's folder that cannot be made gives a Fehler box"

cd "$work"
eval "timeout 60 wine $quiet" || fail "the quiet uninstall failed"
gone() { [ ! -e "$installed" ] && [ ! -e "$menu/Vantor.lnk" ] && [ ! -e "$menu/Vantor Editor.lnk" ]; }
wait_for 30 gone || fail "the uninstaller left $(ls "$installed" "$menu" 2>&1 | tr '\n' ' ')"
! timeout 30 wine reg query "$key" > /dev/null 2>&1 || fail "the uninstaller left the installed programs' entry"
[ "$(open_with_entries | tr -d '\r\n')" = 000 ] || fail "the uninstaller left Open with entries: $(open_with_entries)"
[ -f "$player/maps/own .map" ] || fail "the uninstaller touched the player's folder"
echo "uninstaller: the program's folder, the Start-menu entries and the entry gone, the player's folder kept"

# --- The zip
rm -rf "$player"
unpacked="$work/Spiele für alle"
mkdir "$unpacked"
unzip -q "$zip" -d "$unpacked"
copy="$unpacked/vantor-$version"
game_reaches_title "$(timeout 10 winepath -w "$copy/vantor.exe")"
cp "$copy/maps/map 3.map" "$copy/maps/own .map"
start "$(timeout 10 winepath -w "$copy/vantoredit.exe")"
editor_saves_in "$copy"
[ ! -e "$player" ] || fail "the portable copy wrote into %LOCALAPPDATA%\\vantor"
echo "zip: plays and saves in the folder it was unpacked into"
echo "PASS: the installer and the zip"
