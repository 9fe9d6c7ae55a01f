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

# shellcheck source=lib/windows-display.sh
source "$root/scripts/lib/windows-display.sh"
open_session
start_display "$scratch"

# Wine's own start (its server, the prefix) is measured apart from the
# program's, by a console program that does nothing but print its version.
# Each starts with no Wine server running: a warm one would make the start
# look quicker than it is, and one started without a display would keep the
# program's windows off the screen.
wine_ended() { [ ! -d "$build/wine" ] || WINEPREFIX=$build/wine /usr/lib/wine/wineserver -w; }
wine_ended
started=$(milliseconds)
bash "$root/scripts/wine-run.sh" "$build/wine" "$build/bin/filingcheck-cli.exe" --version >/dev/null
wine_alone=$(($(milliseconds) - started))
wine_ended

started=$(milliseconds)
FC_WINE_DISPLAY=$DISPLAY bash "$root/scripts/wine-run.sh" "$build/wine" "$exe" >"$scratch/program.log" 2>&1 &
program_pid=$!
wait_for_window "$title" "$program_pid" 60 >/dev/null || { cat "$scratch/program.log" >&2; exit 1; }
shown=$(($(milliseconds) - started))
# The window is mapped before Qt has painted it.
sleep 2
import -window root "$build/welcome.png"
cat "$scratch/program.log" >&2
echo "windows-gui-check: welcome window after $shown ms (Wine alone starts in $wine_alone ms);" \
  "picture $build/welcome.png"
