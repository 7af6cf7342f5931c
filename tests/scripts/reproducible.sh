#!/usr/bin/env bash
# Builds the downloads a second time from the same commit, somewhere else and
# as someone else, and checks that they are the same byte for byte.
#
#   reproducible.sh [SOURCE_DIR]         the Debian package and the web zip:
#       the first build is the one in SOURCE_DIR/build and build-web (what CI
#       has already made with scripts/package and scripts/web --zip); the
#       second is made from the release's source archive, unpacked in a
#       scratch folder, which shows too that it builds without .git.
#   reproducible.sh --all [SOURCE_DIR]   every file of scripts/release, built
#       twice from two clones.
#
# The two builds differ in folder, user (a throwaway user for the second),
# umask (022, 077), locale, time zone and time. Where files differ it names
# the first differing member and the offset in it.
# Not a ctest test: it builds for minutes; .ci/run calls it.
set -euo pipefail

all=no
if [ "${1:-}" = --all ]; then all=yes; shift; fi
source_dir=$(cd "${1:-$(dirname "$0")/../..}" && pwd)
[ "$(id -u)" -eq 0 ] || { echo "reproducible.sh runs as root: it builds as a second user"; exit 2; }

work=$(mktemp -d /tmp/vantor-repro.XXXXXX)
chmod 755 "$work"
user=vantor-repro
cleanup() { rm -rf "$work"; }
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }

id "$user" > /dev/null 2>&1 || useradd --create-home --shell /bin/bash "$user"
locale=C.UTF-8
locale -a | grep -qx 'de_DE.utf8' && locale=de_DE.UTF-8

# Runs "$@" in DIR as USER with UMASK, LOCALE and TZ.
build_as() {
  local who=$1 dir=$2 mask=$3 loc=$4 zone=$5
  shift 5
  chown -R "$who" "$dir"
  runuser -u "$who" -- env -i PATH="$PATH" HOME="$(getent passwd "$who" | cut -d: -f6)" \
    LC_ALL="$loc" TZ="$zone" ${VANTOR_CMAKE_ARGS:+VANTOR_CMAKE_ARGS="$VANTOR_CMAKE_ARGS"} \
    bash -c 'umask '"$mask"'; cd "$0" && "$@"' "$dir" "$@"
}

# Unpacks an archive into DIR and prints its members with their modes,
# owners, sizes and times; fails for a file that is no archive.
unpack() {
  local file=$1 dir=$2
  mkdir -p "$dir"
  case "$file" in
    *.deb) (cd "$dir" && ar x "$file") && ar tv "$file" ;;
    *.zip) unzip -q "$file" -d "$dir" && zipinfo -l "$file" | sed 1d ;;
    *.tar|*.tar.*) tar -xf "$file" -C "$dir" && tar -tvf "$file" ;;
    *) return 1 ;;
  esac
}

# Says where two files first differ: the byte, and inside an archive the
# first member that differs, down to the innermost one.
explain() {
  local a=$1 b=$2 name=$3 depth=${4:-0}
  local scratch="$work/explain$depth"
  echo "DIFFERS: $name at $(cmp "$a" "$b" | sed 's/.* differ: //')"
  rm -rf "$scratch"
  mkdir -p "$scratch"
  unpack "$a" "$scratch/a" > "$scratch/a.list" 2> /dev/null || return 0
  unpack "$b" "$scratch/b" > "$scratch/b.list" 2> /dev/null || return 0
  if ! cmp -s "$scratch/a.list" "$scratch/b.list"; then
    diff "$scratch/a.list" "$scratch/b.list" > "$scratch/list.diff" || true
    echo "  the members' list differs; first build:  $(grep -m 1 '^<' "$scratch/list.diff")"
    echo "                         second build: $(grep -m 1 '^>' "$scratch/list.diff")"
  fi
  local member
  member=$(diff -rq "$scratch/a" "$scratch/b" | sed -n '1s/^Files \(.*\) and .* differ$/\1/p')
  [ -z "$member" ] || explain "$member" "$scratch/b/${member#"$scratch/a/"}" "$name: ${member#"$scratch/a/"}" $((depth + 1))
}

compare() {
  local first=$1 second=$2 differ=0 file
  for file in "$first"/*; do
    local name=${file##*/}
    if cmp -s "$file" "$second/$name"; then
      echo "same: $name ($(stat -c %s "$file") bytes)"
    else
      explain "$file" "$second/$name" "$name"
      differ=1
    fi
  done
  [ "$differ" -eq 0 ] || fail "the two builds differ"
}

if [ "$all" = yes ]; then
  git clone -q --no-hardlinks "$source_dir" "$work/one"
  git clone -q --no-hardlinks "$source_dir" "$work/two"
  build_as root "$work/one" 022 C UTC scripts/release > "$work/one.log" 2>&1 ||
    { tail -n 30 "$work/one.log"; fail "the first release build failed"; }
  build_as "$user" "$work/two" 077 "$locale" Pacific/Auckland scripts/release > "$work/two.log" 2>&1 ||
    { tail -n 30 "$work/two.log"; fail "the second release build failed"; }
  compare "$work/one/dist" "$work/two/dist"
  echo "PASS: every file of the release is the same in both builds"
  exit 0
fi

# The first build is CI's own; the second is the source archive's, built by
# the package and web scripts as CI builds them.
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$source_dir/build/CMakeCache.txt")
mkdir "$work/first" "$work/second" "$work/two"
cp "$source_dir/build/vantor_${version}_amd64.deb" "$source_dir/build-web/vantor-web-$version.zip" "$work/first/" ||
  fail "no package or web zip in $source_dir/build and build-web: run scripts/package and scripts/web --zip first"
"$source_dir/scripts/release" --source-only "$work/source" > /dev/null
tar -xzf "$work/source/vantor-$version.tar.gz" -C "$work/two" --strip-components=1
[ ! -e "$work/two/.git" ] || fail "the source archive holds .git"
build_as "$user" "$work/two" 077 "$locale" Pacific/Auckland \
  bash -c 'scripts/package && scripts/web --zip' > "$work/two.log" 2>&1 ||
  { tail -n 30 "$work/two.log"; fail "the second build failed"; }
cp "$work/two/build/vantor_${version}_amd64.deb" "$work/two/build-web/vantor-web-$version.zip" "$work/second/"
compare "$work/first" "$work/second"
echo "PASS: the package and the web zip are the same when built again elsewhere, as someone else"
