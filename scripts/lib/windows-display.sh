# Sourced by the scripts that show the Windows desktop program under Wine on
# a virtual X display (Xvfb): starting the display, ending what was started,
# waiting for a window by its title, and clicking in a window.
#
#   source "$root/scripts/lib/windows-display.sh"
#   open_session                             # $scratch, ended on exit
#   start_display "$scratch"                 # exports DISPLAY
#   wid=$(wait_for_window 标题 "$program_pid" 60)
#   click_in "$wid" 120 40                   # pixels from the window's corner
#
# What is started is ended when the script exits: the display, the program
# whose pid the caller keeps in program_pid, and every process of the Wine
# prefix named by session_prefix, when the caller names one.

display_pids=()
program_pid=""
session_prefix=""

# Ends process $1 and waits for it, so that nothing outlives the script (a
# Xvfb left running would hold the caller's output open).
end_process() {
  [ -n "${1:-}" ] || return 0
  kill "$1" 2>/dev/null || true
  wait "$1" 2>/dev/null || true
}

# A scratch folder ($scratch) and an EXIT trap that ends what was started
# and removes the folder.
open_session() {
  scratch=$(mktemp -d)
  trap close_session EXIT
}

close_session() {
  local pid
  end_process "$program_pid"
  if [ -n "$session_prefix" ] && [ -d "$session_prefix" ]; then
    WINEPREFIX=$session_prefix /usr/lib/wine/wineserver -k 2>/dev/null || true
  fi
  for pid in "${display_pids[@]}"; do end_process "$pid"; done
  rm -rf "$scratch"
}

# Xvfb picks a free display and writes its number once it accepts clients.
start_display() {
  local scratch=$1
  Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$scratch/display" >/dev/null 2>"$scratch/xvfb.log" &
  display_pids+=($!)
  for _ in $(seq 100); do
    [ -s "$scratch/display" ] && break
    sleep 0.1
  done
  [ -s "$scratch/display" ] || { cat "$scratch/xvfb.log" >&2; echo "Xvfb did not start" >&2; return 1; }
  DISPLAY=:$(cat "$scratch/display")
  export DISPLAY
}

milliseconds() { echo $(($(date +%s%N) / 1000000)); }

# The id of the first visible window titled $1, once there is one; fails when
# process $2 ends first or $3 seconds pass.
wait_for_window() {
  local title=$1 pid=$2 limit=$(($3 * 1000)) started wid
  started=$(milliseconds)
  until wid=$(xdotool search --onlyvisible --name "^$title\$" 2>/dev/null | head -n 1) && [ -n "$wid" ]; do
    if ! kill -0 "$pid" 2>/dev/null; then
      echo "the program ended before its window \"$title\" showed" >&2
      return 1
    fi
    if [ $(($(milliseconds) - started)) -gt "$limit" ]; then
      echo "no window \"$title\" within $3 s" >&2
      return 1
    fi
    sleep 0.1
  done
  echo "$wid"
}

# Clicks at ($2, $3) pixels from the top left corner of window $1.
click_in() {
  local x y
  eval "$(xdotool getwindowgeometry --shell "$1")"
  x=$((X + $2)) y=$((Y + $3))
  xdotool mousemove "$x" "$y" click 1
}
