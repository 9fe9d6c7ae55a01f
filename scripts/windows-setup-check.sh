#!/usr/bin/env bash
# Installs the Windows setup silently into a Wine prefix of its own and uses
# the installed program as an operator would, on a virtual X display: the
# welcome window found by its title, the account window filled in with the
# sample submission's company, date, groups and folder and its check run,
# then the results window opened from it, a second run of the DBF type that
# asks whether to pack, and the run's PDF report. Takes a picture of each
# window and of the packing question, then uninstalls.
#
#   bash scripts/windows-setup-check.sh BUILD_DIR [PICTURES_DIR]
#
# Needs BUILD_DIR/filingcheck-<version>-setup.exe (make windows-package).
# The pictures (welcome.png, account.png, results.png, pack-question.png) go to PICTURES_DIR,
# by default BUILD_DIR/setup-check/. The check fails when the setup leaves
# out a file or a shortcut, when a window does not show, or when the run's
# results (read back with the installed filingcheck-cli.exe) are not the
# sample's: ten files expected, one missing, the verdict a failure; when a
# box typed into (digits and Latin letters) looks empty in the picture; when the
# PDF report is not set in the shipped font; or when uninstalling leaves an installed file or takes the home's store with it.
# The clicks are at the windows' fixed places (their layout is in twips,
# 96 dots an inch on Xvfb).
set -euo pipefail

[ $# -ge 1 ] && [ $# -le 2 ] || { echo "usage: $0 BUILD_DIR [PICTURES_DIR]" >&2; exit 2; }
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
pictures=${2:-$build/setup-check}
mkdir -p "$pictures"
pictures=$(cd "$pictures" && pwd)
setup=$(ls "$build"/filingcheck-*-setup.exe 2>/dev/null | head -n 1)
[ -n "$setup" ] || { echo "windows-setup-check: no setup in $build (make windows-package)" >&2; exit 1; }
# shellcheck source=lib/windows-display.sh
source "$root/scripts/lib/windows-display.sh"
open_session
fail() { echo "windows-setup-check: $*" >&2; exit 1; }

# A prefix and a home of their own: Wine links the user's desktop to $HOME,
# and would add the shortcuts to the host's menus without the override.
prefix=$scratch/wine
session_prefix=$prefix
export HOME=$scratch/home WINEDLLOVERRIDES=winemenubuilder.exe=d
mkdir -p "$HOME"
wine() { bash "$root/scripts/wine-run.sh" "$prefix" "$@"; }

wine "$setup" /S
WINEPREFIX=$prefix /usr/lib/wine/wineserver -w
installed=$prefix/drive_c/Program\ Files/filingcheck
menu=$prefix/drive_c/ProgramData/Microsoft/Windows/Start\ Menu/Programs/报送数据文件检查软件
for f in "$installed/filingcheck.exe" "$installed/filingcheck-cli.exe" "$installed/uninstall.exe" \
         "$installed/manual/filingcheck.html" "$menu/报送数据文件检查软件.lnk" "$menu/使用手册.lnk" \
         "$prefix/drive_c/users/Public/Desktop/报送数据文件检查软件.lnk"; do
  [ -e "$f" ] || fail "the setup left out $f"
done
while read -r size file; do
  [ "$(stat -c %s "$installed/$file")" = "$size" ] || fail "$file is not the staged one"
done < <(cd "$build/package" && find . -type f -printf '%s %P\n')

# The sample submission, written by the installed program; its home is the
# one the desktop program finds (the program folder is writable under Wine).
cli='C:\Program Files\filingcheck\filingcheck-cli.exe'
home='C:\Program Files\filingcheck'
wine "$cli" sample --home "$home" --dir 'C:\sample' >/dev/null

start_display "$scratch"
FC_WINE_DISPLAY=$DISPLAY wine 'C:\Program Files\filingcheck\filingcheck.exe' >"$scratch/program.log" 2>&1 &
program_pid=$!
picture() { sleep 2; import -window root "$pictures/$1.png"; }

# Fails unless the box at ($3, $4), $5 by $6 pixels, of window $2 shows its
# text in picture $1: at least $7 dark pixels inside its border, where a box
# that draws nothing of its text has none (a caret would add a dozen).
shows_text() {
  local X Y WIDTH HEIGHT SCREEN dark
  eval "$(xdotool getwindowgeometry --shell "$2")"
  dark=$(convert "$pictures/$1.png" -crop "$(($5 - 8))x$(($6 - 8))+$((X + $3 + 4))+$((Y + $4 + 4))" +repage \
           -colorspace Gray -threshold 50% -negate -format '%[fx:round(mean*w*h)]' info:)
  echo "windows-setup-check: $8 box: $dark dark pixels" >&2
  [ "$dark" -ge "$7" ] || fail "the $8 box looks empty in $pictures/$1.png ($dark dark pixels, $7 expected at least)"
}

welcome=$(wait_for_window 欢迎使用证券公司报送数据文件检查软件 "$program_pid" 60) || fail "no welcome window"
sleep 1
picture welcome
click_in "$welcome" 333 119
account=$(wait_for_window 证券公司客户交易结算资金账户数据文件检查 "$program_pid" 30) || fail "no account window"
sleep 1
# Company code (focused when the window opens), data date (its year part),
# the groups 1 to 2, the sample's ZIP folder; incremental transfer and the
# ZIP type are the window's own defaults.
xdotool type --delay 20 100001
click_in "$account" 126 66 && xdotool type --delay 20 20080808
click_in "$account" 102 143 && xdotool key ctrl+a && xdotool type --delay 20 1
click_in "$account" 102 181 && xdotool key ctrl+a && xdotool type --delay 20 2
click_in "$account" 295 303 && xdotool key ctrl+a && xdotool type --delay 20 'C:\sample\account-zip\'
click_in "$account" 86 394
# The sample's two groups: ten files expected, one of them missing. The
# results are read back until the run has written its verdict.
expected='"verdictText": "不通过：应报文件10个，缺少1个'
for _ in $(seq 120); do
  wine "$cli" results --home "$home" --format json >"$scratch/results.json" 2>/dev/null || true
  grep -q "$expected" "$scratch/results.json" && break
  sleep 1
done
grep -q "$expected" "$scratch/results.json" ||
  fail "the run's results are not the sample's: $(head -c 600 "$scratch/results.json")"
sleep 2
picture account
# What was typed shows: digits, Latin letters and the company's name. The
# focus is on the check button, so no caret is counted; a lone "1" or "2"
# makes 8 to 11 dark pixels, the code 48, the folder 167.
shows_text account "$account" 106 16 100 24 40 company-code
shows_text account "$account" 316 16 308 24 40 company-name
shows_text account "$account" 106 53 120 26 40 data-date
shows_text account "$account" 72 130 60 26 5 begin
shows_text account "$account" 72 168 60 26 5 end
shows_text account "$account" 106 290 378 26 80 folder
click_in "$account" 245 394
results=$(wait_for_window 检查结果 "$program_pid" 30) || fail "no results window"
picture results
click_in "$results" 500 12 && xdotool key Escape
for _ in $(seq 30); do
  xdotool search --onlyvisible --name '^检查结果$' >/dev/null 2>&1 || break
  sleep 0.5
done
# The DBF type with an output folder: the run asks whether to pack, with
# its verdict and the tables that would be packed despite their problems,
# 否 the default; Enter takes it.
mkdir -p "$prefix/drive_c/packed"
click_in "$account" 146 257
click_in "$account" 295 303 && xdotool key ctrl+a && xdotool type --delay 20 'C:\sample\account-dbf\'
click_in "$account" 295 341 && xdotool key ctrl+a && xdotool type --delay 20 'C:\packed\'
click_in "$account" 86 394
wait_for_window 提示信息 "$program_pid" 120 >/dev/null || fail "no packing question"
picture pack-question
xdotool key Return
for _ in $(seq 60); do
  xdotool search --onlyvisible --name '^提示信息$' >/dev/null 2>&1 || break
  sleep 1
done
[ -z "$(ls -A "$prefix/drive_c/packed")" ] || fail "the packing question's default packed: $(ls "$prefix/drive_c/packed")"
# The run's PDF report, from the installed program in its own font.
wine "$cli" report --home "$home" --output 'C:\report.pdf' >/dev/null 2>&1 || fail "the installed program wrote no PDF report"
fonts=$(pdffonts "$prefix/drive_c/report.pdf")
grep -Eq '^[A-Z]{6}\+WenQuanYiMicroHei .* yes +yes +yes' <<<"$fonts" ||
  fail "the PDF report does not embed the shipped font: $fonts"
grep -q '检查结论：不通过' <<<"$(pdftotext -enc UTF-8 "$prefix/drive_c/report.pdf" -)" ||
  fail "the PDF report lacks the run's verdict"
# Ended with everything else of the prefix's: the process started here is
# only the shell that runs Wine.
WINEPREFIX=$prefix /usr/lib/wine/wineserver -k
end_process "$program_pid"
program_pid=""

# Uninstalled, every installed file and shortcut goes, and the application
# home stays. The uninstaller runs from a copy of itself that outlives the
# one started: the check waits for the prefix's last process.
wine "$installed/uninstall.exe" /S
WINEPREFIX=$prefix /usr/lib/wine/wineserver -w
while read -r file; do
  [ ! -e "$installed/$file" ] || fail "the uninstaller left $file"
done < <(cd "$build/package" && find . -type f -printf '%P\n')
[ ! -e "$menu" ] || fail "the uninstaller left the Start-menu folder"
[ -e "$installed/dravmel.mdb" ] || fail "the uninstaller removed the application home's store"
echo "windows-setup-check: installed $(find "$build/package" -type f | wc -l) files and the uninstaller; the account window's run" \
  "listed $(grep -c '"filename"' "$scratch/results.json") result rows," \
  "$(sed -n 's/.*"verdictText": "\([^"]*\)".*/\1/p' "$scratch/results.json"); a PDF report of" \
  "$(pdfinfo "$prefix/drive_c/report.pdf" | awk '$1 == "Pages:" { print $2 }') pages; pictures in $pictures"
