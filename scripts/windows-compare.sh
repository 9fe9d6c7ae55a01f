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
# refused by both alike); the identity tables carry GBK text. Then each
# system exports the Linux check's stored run from a copy of its home: the
# HTML report and the records as CSV byte for byte, the records' workbook
# part by part (its creation time aside), and, where the Windows build has it,
# the PDF report word by word with each word's place on its page to the
# hundredth of a point, and the same fonts embedded. Exits non-zero on the
# first difference, showing it.
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

# What a PDF says and where: each word with its box, rounded to a hundredth
# of a point, and the fonts embedded, less the random tags of their subsets.
pdf_layout() {
  pdftotext -enc UTF-8 -bbox "$1" - | grep '<word' \
    | sed -E 's/([0-9]+\.[0-9]+)/\n\1\n/g' \
    | awk '/^[0-9]+\.[0-9]+$/ { printf "%.2f", $0; next } { printf "%s", $0 } /<\/word>/ { print "" }' || return 1
  pdffonts "$1" | sed -E '1,2d; s/^[A-Z]{6}\+//; s/ +[0-9]+ +[0-9]+$//'
}

# Both systems' exports of the Linux check's run, from copies of its home;
# $1 names the check. An export that fails fails the comparison, but for the
# PDF report of a Windows build without its libraries, which says so.
exports() {
  local system home dir
  for system in linux windows; do
    home="$work/shared-$system" dir="$work/exports-$system"
    rm -rf "$home" "$dir" && cp -r "$work/home-linux" "$home" && mkdir -p "$dir/workbook"
    if ! { "$system" report --home "$home" --output "$dir/report.html" >/dev/null 2>"$work/err" &&
           "$system" records --home "$home" --format csv >"$dir/records.csv" 2>"$work/err" &&
           "$system" records --home "$home" --format xlsx --output "$dir/records.xlsx" >/dev/null 2>"$work/err" &&
           (cd "$dir/workbook" && unzip -q ../records.xlsx && rm docProps/core.xml ../records.xlsx); }; then
      echo "$system could not export $1: $(cat "$work/err")" >&2
      return 1
    fi
    if "$system" report --home "$home" --output "$dir/report.pdf" >/dev/null 2>"$work/err"; then
      pdf_layout "$dir/report.pdf" >"$dir/report.pdf.layout" || { echo "$system's PDF report of $1 cannot be read" >&2; return 1; }
      rm "$dir/report.pdf"
    elif [ "$system" = windows ] && grep -q '此版本不能生成PDF报告' "$work/err"; then
      rm -f "$work/exports-linux/report.pdf.layout"
      echo "  (this Windows build has no PDF report: make windows-gui builds it)"
    else
      echo "$system wrote no PDF report of $1: $(cat "$work/err")" >&2
      return 1
    fi
  done
  if diff -r "$work/exports-linux" "$work/exports-windows" >"$work/diff"; then
    echo "  same exports: $(cd "$work/exports-linux" && find . -type f | sort | sed 's|^\./||' | paste -sd' ')"
  else
    echo "exports differ: $1" >&2
    head -40 "$work/diff" >&2
    return 1
  fi
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
  exports "${words[2]##*/}" || status=1
done
exit "$status"
