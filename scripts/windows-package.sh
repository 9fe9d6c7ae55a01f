#!/usr/bin/env bash
# Writes the Windows setup program, BUILD_DIR/filingcheck-<version>-setup.exe,
# from the Windows build of the desktop program (make windows-gui): stages
# what ships in BUILD_DIR/package/ (the two programs, the Qt they need, the
# data, the font with its licence), adds the manual as HTML and the icon,
# lists every staged file for the installer and, reversed, for the
# uninstaller, and runs NSIS on packaging/windows/filingcheck.nsi.
#
#   bash scripts/windows-package.sh BUILD_DIR
#
# Prints the setup's path and size, then every installed file with its size
# (the uninstaller, which the setup writes, aside). Needs the packages of
# `FC_WITH_WINDOWS_PACKAGE=1 scripts/install-deps.sh` (nsis, groff,
# librsvg2-bin, icoutils).
set -euo pipefail

[ $# -eq 1 ] || { echo "usage: $0 BUILD_DIR" >&2; exit 2; }
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
bin=$build/bin
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
[ -f "$bin/filingcheck.exe" ] || { echo "windows-package: $bin has no filingcheck.exe (make windows-gui)" >&2; exit 1; }

# What ships, named one by one: the build's folder also holds the tests and
# what only they need (Qt's test library, the offscreen window system).
stage=$build/package
rm -rf "$stage" && mkdir -p "$stage/plugins/platforms"
cp "$bin"/{filingcheck.exe,filingcheck-cli.exe,Qt6Core.dll,Qt6Gui.dll,Qt6Widgets.dll,qt.conf} "$stage/"
# The programs ship without their symbols, as Qt's DLLs do.
x86_64-w64-mingw32-strip "$stage/filingcheck.exe" "$stage/filingcheck-cli.exe"
cp "$bin/plugins/platforms/qwindows.dll" "$stage/plugins/platforms/"
cp -r "$bin/plugins/styles" "$stage/plugins/"
cp -r "$bin/translations" "$bin/fonts" "$bin/data" "$stage/"
cp /usr/share/doc/fonts-wqy-microhei/copyright "$stage/fonts/wqy-microhei-copyright.txt"
cp "$root/packaging/copyright" "$stage/copyright.txt"

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
setup=$build/filingcheck-$version-setup.exe
# Windows' file version has four numbers.
file_version=$version
while [ "$(tr -cd . <<<"$file_version" | wc -c)" -lt 3 ]; do file_version=$file_version.0; done
makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DFILE_VERSION="$file_version" -DSTAGE="$stage" \
  -DLISTS="$work" -DOUTFILE="$setup" -DINSTALLED_KB="$installed_kb" "$root/packaging/windows/filingcheck.nsi" >&2
echo "$setup ($(stat -c %s "$setup") bytes; $installed_kb KiB installed)"
(cd "$stage" && find . -type f -printf '%10s  %P\n' | LC_ALL=C sort -k2)
