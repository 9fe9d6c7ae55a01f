#!/usr/bin/env bash
# Starts the Windows desktop program under Wine on a virtual X display
# (Xvfb), waits for its welcome window and takes a picture of the screen:
# that the program starts with the files beside it, how long it takes, and
# whether its Chinese shows.
#
#   bash scripts/windows-gui-check.sh BUILD_DIR
#
# Needs BUILD_DIR/bin/filingcheck.exe (make windows-gui) and the packages of
# `FC_WITH_WINDOWS=1 FC_WINDOWS_GUI=1 scripts/install-deps.sh`. The picture
# is BUILD_DIR/welcome.png; Wine's prefix is the one the tests use,
# BUILD_DIR/wine. The program is ended once its window has been pictured.
set -euo pipefail

[ $# -eq 1 ] || { echo "usage: $0 BUILD_DIR" >&2; exit 2; }
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
exe=$build/bin/filingcheck.exe
title=欢迎使用证券公司报送数据文件检查软件
[ -e "$exe" ] || { echo "windows-gui-check: no $exe (make windows-gui)" >&2; exit 1; }

scratch=$(mktemp -d)
xvfb_pid="" program_pid=""
# Ends what was started and waits for it, so that nothing outlives the check
# (a Xvfb left running would hold the caller's output open).
end_process() {
  [ -n "$1" ] || return 0
  kill "$1" 2>/dev/null || true
  wait "$1" 2>/dev/null || true
}
finish() {
  end_process "$program_pid"
  end_process "$xvfb_pid"
  rm -rf "$scratch"
}
trap finish EXIT

# Xvfb picks a free display and writes its number once it accepts clients.
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$scratch/display" >/dev/null 2>"$scratch/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do
  [ -s "$scratch/display" ] && break
  sleep 0.1
done
[ -s "$scratch/display" ] || { cat "$scratch/xvfb.log" >&2; echo "windows-gui-check: Xvfb did not start" >&2; exit 1; }
DISPLAY=:$(cat "$scratch/display")
export DISPLAY

# Wine's own start (its server, the prefix) is measured apart from the
# program's, by a console program that does nothing but print its version.
# Each starts with no Wine server running: a warm one would make the start
# look quicker than it is, and one started without a display would keep the
# program's windows off the screen.
milliseconds() { echo $(($(date +%s%N) / 1000000)); }
wine_ended() { [ ! -d "$build/wine" ] || WINEPREFIX=$build/wine /usr/lib/wine/wineserver -w; }
wine_ended
started=$(milliseconds)
bash "$root/scripts/wine-run.sh" "$build/wine" "$build/bin/filingcheck-cli.exe" --version >/dev/null
wine_alone=$(($(milliseconds) - started))
wine_ended

started=$(milliseconds)
FC_WINE_DISPLAY=$DISPLAY bash "$root/scripts/wine-run.sh" "$build/wine" "$exe" >"$scratch/program.log" 2>&1 &
program_pid=$!
until xdotool search --name "$title" >/dev/null 2>&1; do
  if ! kill -0 "$program_pid" 2>/dev/null; then
    cat "$scratch/program.log" >&2
    echo "windows-gui-check: filingcheck.exe ended before its window showed" >&2
    exit 1
  fi
  if [ $(($(milliseconds) - started)) -gt 60000 ]; then
    echo "windows-gui-check: no welcome window within a minute" >&2
    exit 1
  fi
  sleep 0.1
done
shown=$(($(milliseconds) - started))
# The window is mapped before Qt has painted it.
sleep 2
import -window root "$build/welcome.png"
cat "$scratch/program.log" >&2
echo "windows-gui-check: welcome window after $shown ms (Wine alone starts in $wine_alone ms);" \
  "picture $build/welcome.png"
