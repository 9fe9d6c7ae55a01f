#!/usr/bin/env bash
# Runs a Windows program under Wine in the build's own prefix, without a
# display: the runner CMake and CTest put before every cross-built program.
#
#   bash scripts/wine-run.sh PREFIX PROGRAM.exe [ARGUMENTS...]
#   FC_WINE_DISPLAY=:99 bash scripts/wine-run.sh PREFIX filingcheck.exe
#
# The prefix is made on first use (wineboot -i). WINEDEBUG=-all keeps Wine's
# own chatter out of what the program prints. A windowed program is given
# the X display FC_WINE_DISPLAY names; the one the caller runs in is never
# passed on, so that no test opens a window on a desktop. Wine keeps the
# caller's QT_* variables from a Windows program, taking them for the host's
# Qt, and passes WINEQT_* on as QT_*: here they are meant for the program (the
# window tests' QT_QPA_PLATFORM=offscreen), so they go on in that form.
set -euo pipefail

[ $# -ge 2 ] || { echo "usage: $0 PREFIX PROGRAM.exe [ARGUMENTS...]" >&2; exit 2; }
export WINEPREFIX=$1 WINEARCH=win64 WINEDEBUG=${WINEDEBUG:--all}
shift
unset DISPLAY WAYLAND_DISPLAY
[ -n "${FC_WINE_DISPLAY:-}" ] && export DISPLAY=$FC_WINE_DISPLAY
for name in $(compgen -e -X '!QT_*'); do export "WINE$name=${!name}"; done
wine=/usr/lib/wine/wine64
if [ ! -e "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  # Without a 32-bit Wine, wineboot says it cannot start syswow64's
  # rundll32; a 64-bit prefix needs it for nothing.
  "$wine" wineboot -i >"$WINEPREFIX.log" 2>&1 || { cat "$WINEPREFIX.log" >&2; exit 1; }
fi
exec "$wine" "$@"
