#!/usr/bin/env bash
# Checks the same submissions with the Linux build and, under Wine, with the
# Windows build, and compares what each writes: `results --format tsv` and
# `--format json`, `records --format tsv` and the JSON report, the run's
# times, its folders and the scratch paths aside.
#
#   bash scripts/windows-compare.sh LINUX_BUILD WINDOWS_BUILD
#
# The submissions are the sample's (account and identity, ZIP and DBF), in a
# folder whose name holds Chinese characters (a blank in a source path is
# refused by both alike); the identity tables carry GBK text. Exits non-zero on the first difference, showing it.
set -euo pipefail

[ $# -eq 2 ] || { echo "usage: $0 LINUX_BUILD WINDOWS_BUILD" >&2; exit 2; }
root=$(cd "$(dirname "$0")/.." && pwd)
linux=$(cd "$1" && pwd)/bin/filingcheck-cli
windows_build=$(cd "$2" && pwd)
windows() { bash "$root/scripts/wine-run.sh" "$windows_build/wine" "$windows_build/bin/filingcheck-cli.exe" "$@"; }
linux() { "$linux" "$@"; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
sample="$work/报送数据"
linux sample --home "$work/home" --dir "$sample" >/dev/null

# What differs by nature between two runs: times, durations, run numbers
# aside, and the folders each system names its own way.
normalise() {
  sed -E -e 's#Z:\\\\?#/#g' -e 's#\\\\?\\\\#/#g' -e "s#$work#WORK#g" \
    -e 's/[0-9]{4}-[0-9]{2}-[0-9]{2}[ T][0-9]{2}:[0-9]{2}:[0-9]{2}(\.[0-9]+)?/TIME/g' \
    -e 's/"(started|finished|duration_ms|elapsed_ms|seconds|run_id|id)": ?[^,}]*/"\1": X/g'
}

checks=(
  "account --source $sample/account-zip --code 100001 --date 2008-08-08 --from 1 --to 2"
  "account --source $sample/account-dbf --code 100001 --date 2008-08-08 --from 1 --to 2 --type dbf"
  "identity --source $sample/identity-zip --code 100001 --date 2008-08-08 --comparison-date 2008-08-04"
  "identity --source $sample/identity-dbf --code 100001 --date 2008-08-08 --comparison-date 2008-08-04 --type dbf"
)
status=0
for check in "${checks[@]}"; do
  read -r -a words <<<"${check// $sample/ SAMPLE}"
  for i in "${!words[@]}"; do words[i]=${words[i]//SAMPLE/$sample}; done
  for system in linux windows; do
    home="$work/home-$system"
    rm -rf "$home"
    set +e
    "$system" "${words[0]}" --home "$home" "${words[@]:1}" >/dev/null 2>"$work/$system.err"
    echo "exit $?" >"$work/$system.outputs"
    set -e
    for format in tsv json; do
      "$system" results --home "$home" --format "$format" | normalise >>"$work/$system.outputs"
    done
    "$system" records --home "$home" --format tsv | normalise >>"$work/$system.outputs"
    "$system" report --home "$home" --output "$work/$system-report.json" >/dev/null
    normalise <"$work/$system-report.json" >>"$work/$system.outputs"
  done
  if diff -u "$work/linux.outputs" "$work/windows.outputs" >"$work/diff"; then
    echo "same on both systems: ${words[2]##*/} ($(wc -c <"$work/linux.outputs") bytes compared)"
  else
    echo "differs: $check" >&2
    head -40 "$work/diff" >&2
    status=1
  fi
done
exit "$status"
