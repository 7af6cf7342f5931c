#!/usr/bin/env bash
# The same game logic on Windows: runs vantorreplay natively and built for
# Windows (build-win/bin/vantorreplay.exe, under Wine) on the same scripts,
# each in a player's folder of its own, and requires their reports to be the
# same line for line and the maps the editor saved to be the same bytes. The scripts: the map
# replays as one game up to the end of map 1, 2 and 3; an editing session
# that builds a small map, saves it with F2, undoes a step with Ctrl+Z and
# loads the map again with F3; that map played with F2. And --version of
# each Windows program.
# Usage: windows_replays.sh [NATIVE_BUILD [WIN_BUILD]]   (defaults build/ and build-win/)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
native=$(cd "${1:-$root/build}" && pwd)
win=$(cd "${2:-$root/build-win}" && pwd)
for file in "$native/bin/vantorreplay" "$native/run/vantor.pak" "$native/run/vantoredit.pak" "$win/bin/vantorreplay.exe"; do
  [ -e "$file" ] || { echo "no $file (scripts/test and scripts/windows build them)"; exit 1; }
done
# vantorreplay.exe draws on the headless backend: it needs no display.
unset DISPLAY
source "$root/tests/scripts/wine_env.sh" "$win"

other=windows
# Wine takes the Windows forms of the folder and the script.
other_replay() {
  local dir=$1 out=$2
  shift 2
  local args=("$@")
  args[-1]=$(winepath -w "${args[-1]}")
  wine "$win/bin/vantorreplay.exe" --dir "$(winepath -w "$dir")" "${args[@]}" > "$out" 2> "$out.err"
}
source "$root/tests/support/replays_lib.sh"
# Each Windows program names itself and its version.
for exe in bin/vantorreplay.exe run/vantor.exe run/vantoredit.exe; do
  wine "$win/$exe" --version | grep -q "^$(basename "$exe" .exe) [0-9]" || { echo "FAIL: $exe --version"; failed=1; }
done
exit $failed
