# Shell functions for tests that run a real program on a virtual X display.
# Sourced, not run. Every X client call is bounded by a timeout, so that a
# display that stops answering fails the test instead of hanging it.
#
#   xvfb_require_tools TOOL...    exit 0 with "SKIP: ..." when one is missing
#   xvfb_start WORKDIR [SIZE]     start Xvfb (800x600 unless SIZE, 24 bits) and export DISPLAY
#   xvfb_stop                     end Xvfb if it runs
#   xvfb_no_session_bus WORKDIR   point D-Bus at a bus that does not exist
#   start_in_group LOG SECONDS CMD...   run CMD in a process group of its own,
#                                 ended after SECONDS; sets group_pid
#   stop_group PID                end a process group, forcibly after 0.5 s
#   wait_for_end PID SECONDS      wait until a background process has ended
#   exit_code_of PID              set exit_code to its exit status
#   wait_for SECONDS CMD...       retry CMD every 0.2 s until it succeeds
#   window_named TITLE            id of the top-level window with that title
#   has_window TITLE, find_window TITLE SECONDS
#   wait_for_window TITLE         wait for the program's window (it may be made
#                                 anew once), focus it and set window
#   answer_box TITLE              Return on a message box (its first button) until it is gone
#   xdo ARGS...                   xdotool, never failing, never hanging
#   window_shot WINDOW FILE       screenshot of one window with import
#   xvfb_report LOG               the windows on the display and the program's output
#   quit_with_escape_and_j WINDOW PID   hold Escape, then J with it, until PID ends;
#                                 false when it did not end

xvfb_pid=""

xvfb_require_tools() {
  local tool
  for tool in "$@"; do
    command -v "$tool" > /dev/null || { echo "SKIP: $tool is not installed"; exit 0; }
  done
}

wait_for() {
  local seconds=$1
  shift
  local deadline=$((SECONDS + seconds))
  until "$@"; do
    [ "$SECONDS" -lt "$deadline" ] || return 1
    sleep 0.2
  done
}

# Xvfb picks a free display number itself and tells it through -displayfd.
xvfb_start() {
  local work=$1 size=${2:-800x600}
  exec 3> "$work/display"
  Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp -noreset > "$work/xvfb.log" 2>&1 &
  xvfb_pid=$!
  exec 3>&-
  wait_for 30 test -s "$work/display" || { cat "$work/xvfb.log"; return 1; }
  export DISPLAY=":$(head -n 1 "$work/display")"
  wait_for 30 timeout 10 xwininfo -root > /dev/null 2>&1
}

xvfb_stop() {
  if [ -n "$xvfb_pid" ] && kill -0 "$xvfb_pid" 2> /dev/null; then
    kill "$xvfb_pid" 2> /dev/null || true
    wait "$xvfb_pid" 2> /dev/null || true
  fi
  xvfb_pid=""
}

# A test machine has no session bus; without an address, D-Bus would fork a
# launcher for one from inside SDL's start-up.
xvfb_no_session_bus() {
  export DBUS_SESSION_BUS_ADDRESS="unix:path=$1/no-session-bus"
}

# setsid: a process group of its own, so that helper processes (SDL forks
# one to show a message box) end with it; timeout: it never outlives the test.
start_in_group() {
  local log=$1 seconds=$2
  shift 2
  setsid timeout -k 5 "$seconds" "$@" > "$log" 2>&1 &
  group_pid=$!
}

stop_group() {
  [ -n "$1" ] || return 0
  kill -- "-$1" 2> /dev/null || true
  sleep 0.5
  kill -9 -- "-$1" 2> /dev/null || true
}

wait_for_end() { wait_for "$2" bash -c "! kill -0 $1 2> /dev/null"; }

# Not through $(...): only this shell can wait for its own children.
exit_code_of() {
  exit_code=0
  wait "$1" || exit_code=$?
}

# SDL sets the title as UTF-8 only, which xdotool's name search does not
# read; xwininfo does.
window_named() {
  timeout 10 xwininfo -root -tree 2> /dev/null | awk -v name=" \"$1\": " 'index($0, name) && !found { print $1; found = 1 }'
}
has_window() { [ -n "$(window_named "$1")" ]; }
find_window() {
  local id="" deadline=$((SECONDS + $2))
  while [ "$SECONDS" -lt "$deadline" ]; do
    id=$(window_named "$1")
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.2
  done
  return 1
}

xdo() { timeout 10 xdotool "$@" 2> /dev/null || true; }

wait_for_window() {
  find_window "$1" 60 > /dev/null || return 1
  sleep 1
  window=$(find_window "$1" 10) || return 1
  xdo windowfocus "$window"
}

answer_box() {
  local box attempt
  box=$(find_window "$1" 60) || return 1
  for attempt in $(seq 1 10); do
    has_window "$1" || return 0
    xdo windowfocus "$box"
    sleep 0.3
    xdo key Return
    sleep 0.5
  done
  return 1
}

window_shot() { wait_for 30 timeout 10 import -window "$1" "$2"; }

# What a failing test shows: the windows on the display and the program's output.
xvfb_report() {
  echo "--- windows:"; timeout 10 xwininfo -root -tree 2> /dev/null | grep -E '^ +0x' || true
  echo "--- program output:"; cat "$1" 2> /dev/null || true
}

# Holds a key for a moment in $window.
press() {
  xdo windowfocus "$window"
  xdo keydown "$1"
  sleep 0.3
  xdo keyup "$1"
  sleep 0.3
}

# In the editor's $window, started with SAVED (a copy of ORIGINAL): a click
# past the title, then F2 until the backup is there (a key can come before
# the window takes it). True when SAVED.bak and SAVED both hold ORIGINAL.
save_loaded_map() {
  local original=$1 saved=$2 attempt
  xdo mousedown 1
  sleep 0.4
  xdo mouseup 1
  sleep 0.3
  for attempt in 1 2 3; do
    press F2
    wait_for 3 cmp -s "$original" "$saved.bak" && break
  done
  cmp -s "$original" "$saved.bak" && cmp -s "$original" "$saved"
}

# Escape opens the quit question; J, held with it, ends the program.
quit_with_escape_and_j() {
  local window=$1 pid=$2 attempt ended=1
  for attempt in $(seq 1 5); do
    xdo windowfocus "$window"
    xdo keydown Escape
    sleep 0.3
    xdo keydown j
    if wait_for_end "$pid" 10; then ended=0; break; fi
    xdo keyup j
    xdo keyup Escape
  done
  xdo keyup j
  xdo keyup Escape
  return $ended
}
