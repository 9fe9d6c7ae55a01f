#!/usr/bin/env bash
# Runs the tests of the Windows build under Wine (ctest starts each one
# through scripts/wine-run.sh, the build's emulator), then prints what the
# Windows build leaves out, with its reasons (tests/windows-skips.txt), and
# the counts.
#
#   bash scripts/windows-test.sh BUILD_DIR
#
# Exits non-zero when a test fails, or when there is no test to run. The
# Wine prefix (BUILD_DIR/wine, as the Makefile configures the emulator) is
# made before the tests start, so that tests run in parallel do not each
# begin to make it.
set -euo pipefail

[ $# -eq 1 ] || { echo "usage: $0 BUILD_DIR" >&2; exit 2; }
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
log=$build/windows-test.log

bash "$root/scripts/wine-run.sh" "$build/wine" cmd /c exit 0

status=0
# A test that fails is run once more: Wine's server quits a few seconds after
# its last program, and a test starting just then finds it gone ("wine client
# error: recvmsg: Connection reset by peer"). Keeping one server for the run
# would not do: the services it keeps alive hold every test's output open.
ctest --test-dir "$build" --output-on-failure --no-tests=error --repeat until-pass:2 -j "${JOBS:-2}" 2>&1 | tee "$log" || status=$?

echo
echo "Left out on Windows (tests/windows-skips.txt):"
sources=0 programs=0 patterns=0
while read -r what reason; do
  case $what in
    '' | '#'*) continue ;;
    *.cpp) sources=$((sources + 1)) ;;
    test_*) programs=$((programs + 1)) ;;
    *) patterns=$((patterns + 1)) ;;
  esac
  printf '  %-66s %s\n' "$what" "$reason"
done <"$root/tests/windows-skips.txt"

summary=$(grep -E '^[0-9]+% tests passed' "$log" || echo "no test summary")
skipped=$(grep -c '\*\*\*Skipped' "$log" || true)
echo
echo "windows-test: $summary; $skipped skipped by the tests themselves;" \
  "left out: $programs programs, $sources sources, $patterns test patterns"
exit "$status"
