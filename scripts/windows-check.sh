#!/usr/bin/env bash
# Builds cmake/windows-check with the Windows toolchain and the libraries of
# scripts/windows-libs.sh, checks that it needs no DLL beyond Windows' own,
# and runs it under Wine in a prefix of its own under the build folder.
#
#   bash scripts/windows-check.sh BUILD_DIR
#
# The prefix (BUILD_DIR/wine) is made on first use by scripts/wine-run.sh; no
# display is needed, console programs only.
set -euo pipefail

[ $# -eq 1 ] || { echo "usage: $0 BUILD_DIR" >&2; exit 2; }
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
cmake -S "$root/cmake/windows-check" -B "$build/windows-check" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" -DFC_WINDOWS_DEPS="$build/deps" >/dev/null
cmake --build "$build/windows-check" >/dev/null
exe=$build/windows-check/windows-check.exe

# libgcc, libstdc++, winpthreads and zlib are linked in; a DLL of theirs
# among the imports would have to ship beside every program.
imports=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\tDLL Name: //p')
if grep -iE '^(lib|zlib)' <<<"$imports"; then
  echo "windows-check: $exe needs the DLLs above beside it" >&2
  exit 1
fi
# Printed into a pipe, the Chinese line must arrive as the UTF-8 it was.
bash "$root/scripts/wine-run.sh" "$build/wine" "$exe" | tee "$build/windows-check.log"
grep -q '检查通过：深圳证券交易所' "$build/windows-check.log" ||
  { echo "windows-check: the Chinese line did not come out as UTF-8" >&2; exit 1; }
