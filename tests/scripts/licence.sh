#!/usr/bin/env bash
# Every download carries the project's licence: the Debian package's
# copyright names Zlib with its text, the zips and the source archive hold
# LICENSE.txt (or LICENSE) as in the source, and the web zip's overview page
# links to it. (The installer's copy is checked by windows_install.sh, which
# installs it.)
# Usage: licence.sh SOURCE_DIR DOWNLOAD...
set -euo pipefail
source_dir=$(cd "$1" && pwd)
shift
fail() { echo "FAIL: $*"; exit 1; }
licence() { tr -d '\r' | cmp -s - "$source_dir/LICENSE"; }
last_clause="This notice may not be removed or altered from any source distribution."

for download in "$@"; do
  [ -f "$download" ] || fail "no $download"
  case "$download" in
    *.deb)
      copyright=$(dpkg-deb --fsys-tarfile "$download" | tar -xO ./usr/share/doc/vantor/copyright)
      grep -qx "License: Zlib" <<< "$copyright" && grep -qF "$last_clause" <<< "$copyright" ||
        fail "$download: its copyright does not grant the zlib licence" ;;
    *-windows.zip)
      unzip -p "$download" "*/LICENSE.txt" | licence || fail "$download: no LICENSE.txt as in the source" ;;
    *web*.zip)
      unzip -p "$download" LICENSE.txt | licence || fail "$download: no LICENSE.txt as in the source"
      unzip -p "$download" index.html | grep -q 'href="LICENSE.txt"' || fail "$download: index.html does not link the licence" ;;
    *.tar.gz)
      tar -xzOf "$download" --wildcards "*/LICENSE" | licence || fail "$download: no LICENSE as in the source" ;;
    *) fail "$download: not a download this test knows" ;;
  esac
  echo "licence: $(basename "$download")"
done
echo "PASS: every download carries the licence"
