# Sourced by the tests that run the Windows programs: one Wine prefix for the
# whole run, made once and reused (Wine's first start takes a while). Sets
# WINEPREFIX (default: wine-prefix/ in the Windows build folder, or
# VANTOR_WINEPREFIX), keeps Wine quiet and without its Mono and Gecko
# prompts, and waits until the prefix is ready.
# Usage: . tests/scripts/wine_env.sh BUILD_WIN_DIR
wine_build=$(cd "${1:-$(dirname "${BASH_SOURCE[0]}")/../../build-win}" && pwd)
export WINEPREFIX=${VANTOR_WINEPREFIX:-$wine_build/wine-prefix}
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64
command -v wine > /dev/null || { echo "no wine (scripts/setup windows installs it)"; exit 1; }
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  wineboot -i > /dev/null 2>&1
fi
wineserver -w
