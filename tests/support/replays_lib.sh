# The replays that another build of vantorreplay must report exactly as the
# native one does, for tests/scripts/web_replays.sh and windows_replays.sh.
# Sourced, not run, with native (the native build), other (the other side's
# name) and a function other_replay DIR OUT ARGS... SCRIPT that runs the
# other build on SCRIPT in the player's folder DIR, its report to OUT. Sets
# failed to 1 when anything differs.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0

# A player's folder with the packs and the three maps, for one side of a run.
folder() {
  mkdir -p "$1/maps"
  cp "$native/run/vantor.pak" "$native/run/vantoredit.pak" "$1/"
  cp "$native/run/maps/map "[123].map "$1/maps/"
}

# compare NAME SCRIPT ARGS...: both runners on SCRIPT in folders of their own;
# the other side is run by other_replay DIR OUT ARGS... SCRIPT.
compare() {
  local name=$1 script=$2
  shift 2
  for side in native "$other"; do [ -d "$work/$name/$side" ] || folder "$work/$name/$side"; done
  "$native/bin/vantorreplay" --dir "$work/$name/native" "$@" "$script" > "$work/$name/native.out"
  other_replay "$work/$name/$other" "$work/$name/$other.out" "$@" "$script"
  if ! diff -u "$work/$name/native.out" "$work/$name/$other.out"; then
    echo "FAIL: $name: the reports differ"
    failed=1
  elif ! diff -r "$work/$name/native/maps" "$work/$name/$other/maps" > /dev/null; then
    echo "FAIL: $name: the maps folders differ"
    failed=1
  else
    echo "ok: $name ($(grep -c '' "$work/$name/native.out") lines)"
  fi
}

replays="$root/tests/replays"
cat "$replays/map1.replay" > "$work/to-map1.replay"
cat "$replays/map1.replay" "$replays/map2.replay" > "$work/to-map2.replay"
cat "$replays/map1.replay" "$replays/map2.replay" "$replays/map3.replay" > "$work/to-map3.replay"
for n in 1 2 3; do compare "map$n" "$work/to-map$n.replay" --no-sound; done

# The editor: a click is point, press, release; icon i of the palette lies at
# 640, 120 + 40 i; cell (c, r) of the unscrolled view at 40 c + 20, 40 r + 20.
click() { printf '1 @%d,%d\n1 @%d,%d LMB\n1 @%d,%d\n' "$1" "$2" "$1" "$2" "$1" "$2"; }
icon() { click 640 $((120 + 40 * $1)); }
cell() { click $((40 * $1 + 20)) $((40 * $2 + 20)); }
{
  printf '1 @300,300 LMB\n1 @300,300\n'
  icon 4; cell 5 7
  icon 1; cell 5 8; cell 6 8
  icon 5; cell 5 6
  icon 6; cell 5 5
  printf '1 F2\n1 Ctrl 0x2C\n1\n1 Esc\n40 Right Down\n1 F3\n1 Esc\n1 Esc J\n'
} > "$work/editor.replay"
compare editor "$work/editor.replay" --editor
# The map just saved, played from the title with F2 (the intro takes 553 frames).
for side in native "$other"; do
  mkdir -p "$work/own/$side/maps"
  folder "$work/own/$side"
  cp "$work/editor/$side/maps/own .map" "$work/own/$side/maps/"
done
printf '560\n1 F2\n300\n' > "$work/own.replay"
compare own "$work/own.replay" --no-sound
grep -qx 'ownMapMode 1' "$work/own/$other.out" || { echo "FAIL: own: the saved map was not played"; failed=1; }

