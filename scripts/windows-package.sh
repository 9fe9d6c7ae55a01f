#!/usr/bin/env bash
# Writes the Windows setup program, filingcheck-<version>-setup.exe, from a
# staged program folder (the Windows build installed with `cmake --install`):
# adds the manual as HTML and the icon, lists every staged file for the
# installer and, reversed, for the uninstaller, and runs NSIS on
# packaging/windows/filingcheck.nsi.
#
#   bash scripts/windows-package.sh STAGE_DIR OUT_DIR VERSION
#
# Prints the setup's path, then every installed file with its size (the
# uninstaller NSIS writes at install time aside). Needs the packages of
# `FC_WITH_WINDOWS_PACKAGE=1 scripts/install-deps.sh` (nsis, groff,
# librsvg2-bin, icoutils).
set -euo pipefail

[ $# -eq 3 ] || { echo "usage: $0 STAGE_DIR OUT_DIR VERSION" >&2; exit 2; }
root=$(cd "$(dirname "$0")/.." && pwd)
stage=$(cd "$1" && pwd)
mkdir -p "$2"
out=$(cd "$2" && pwd)
version=$3
[ -f "$stage/filingcheck.exe" ] || { echo "windows-package: $stage has no filingcheck.exe" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The manual pages as HTML, for the Start menu's "使用手册".
mkdir -p "$stage/manual"
for page in filingcheck filingcheck-cli; do
  groff -man -Thtml -P -l -P -r "$root/docs/man/$page.1" >"$stage/manual/$page.html"
done

# The icon of the setup, its uninstaller and the shortcuts, from the one drawing.
for size in 16 32 48 256; do
  rsvg-convert -w $size -h $size -o "$work/icon-$size.png" "$root/packaging/filingcheck.svg"
done
icotool -c -o "$stage/filingcheck.ico" "$work"/icon-{16,32,48}.png -r "$work/icon-256.png"

# Every staged file, folder by folder: the installer's File lines, and the
# uninstaller's Delete lines with each folder removed once empty, deepest first.
(cd "$stage" && find . -type f | sed 's|^\./||' | LC_ALL=C sort) >"$work/files"
windows() { tr '/' '\\'; }
{
  previous=""
  while IFS= read -r f; do
    dir=$(dirname "$f")
    if [ "$dir" != "$previous" ]; then
      if [ "$dir" = . ]; then echo 'SetOutPath "$INSTDIR"'; else printf 'SetOutPath "$INSTDIR\\%s"\n' "$(windows <<<"$dir")"; fi
      previous=$dir
    fi
    printf 'File "%s/%s"\n' "$stage" "$f"
  done <"$work/files"
  echo 'SetOutPath "$INSTDIR"'
} >"$work/install.nsh"
{
  while IFS= read -r f; do printf 'Delete "$INSTDIR\\%s"\n' "$(windows <<<"$f")"; done <"$work/files"
  (cd "$stage" && find . -mindepth 1 -type d | sed 's|^\./||' | awk -F/ '{ print NF "\t" $0 }' | sort -rn | cut -f2-) |
    while IFS= read -r d; do printf 'RMDir "$INSTDIR\\%s"\n' "$(windows <<<"$d")"; done
} >"$work/uninstall.nsh"

installed_kb=$(du -sk "$stage" | cut -f1)
setup=$out/filingcheck-$version-setup.exe
makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DSTAGE="$stage" -DLISTS="$work" -DOUTFILE="$setup" \
  -DINSTALLED_KB="$installed_kb" "$root/packaging/windows/filingcheck.nsi" >&2
echo "$setup ($(stat -c %s "$setup") bytes; $installed_kb KiB installed)"
(cd "$stage" && find . -type f -printf '%10s  %P\n' | LC_ALL=C sort -k2)
