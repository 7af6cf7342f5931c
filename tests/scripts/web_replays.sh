#!/usr/bin/env bash
# The same game logic in WebAssembly: runs vantorreplay natively and built for
# node (build-web/vantorreplay.js) on the same scripts, each in a player's
# folder of its own, and requires their reports to be the same line for line
# and the maps the editor saved to be the same bytes. The scripts: the map
# replays as one game up to the end of map 1, 2 and 3; an editing session
# that builds a small map and saves it with F2; that map played with F2.
# Usage: web_replays.sh [NATIVE_BUILD [WEB_BUILD]]   (defaults build/ and build-web/)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
native=$(cd "${1:-$root/build}" && pwd)
web=$(cd "${2:-$root/build-web}" && pwd)
export NODE_PATH=/usr/share/nodejs
for file in "$native/bin/vantorreplay" "$native/run/vantor.pak" "$native/run/vantoredit.pak" "$web/vantorreplay.js"; do
  [ -e "$file" ] || { echo "no $file (scripts/test and scripts/web build them)"; exit 1; }
done

other=wasm
other_replay() {
  local dir=$1 out=$2
  shift 2
  node "$web/vantorreplay.js" --dir "$dir" "$@" > "$out"
}
source "$root/tests/support/replays_lib.sh"
exit $failed
