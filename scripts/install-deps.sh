#!/usr/bin/env bash
# Installs the Debian packages filingcheck needs, only those that are missing.
# Called by `make run` and `make test`; safe to run again at any time.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config make python3
  libgtest-dev libgmock-dev
  libsqlite3-dev
  libzip-dev zipcmp zipmerge ziptool libisal-dev
  libssl-dev nlohmann-json3-dev
  libxlsxwriter-dev libpango1.0-dev libcairo2-dev libfontconfig-dev
  qt6-base-dev qt6-translations-l10n
  fonts-wqy-microhei
  xvfb xauth
  poppler-utils unzip
)
# The report's browser test opens the report in a headless browser and
# renders its PDF pages; without it that test is skipped.
if [ "${FC_WITH_BROWSER:-0}" = 1 ]; then
  packages+=(chromium)
fi
# The fuzz targets want clang, its libFuzzer and sanitizer runtimes (only
# recommended by clang on Debian 12, so named here) and llvm-symbolizer,
# which turns a finding's stack into file and line.
if [ "${FC_WITH_FUZZ:-0}" = 1 ]; then
  packages+=(clang libclang-rt-14-dev llvm)
fi
# `make package` and its checks: shared-library dependencies, icon rendering,
# and the validators of the package, its desktop entry and its metainfo.
if [ "${FC_WITH_PACKAGING:-0}" = 1 ]; then
  packages+=(dpkg-dev file librsvg2-bin lintian desktop-file-utils appstream)
fi
# `make windows-deps`: Debian's MinGW-w64 cross compilers for 64-bit Windows
# (the posix-thread variant, whose libstdc++ has std::thread and std::mutex),
# Debian's MinGW zlib, wine64 to run the cross-built programs without a
# display; for the libraries Debian has no MinGW build of
# (scripts/windows-libs.sh), dpkg-dev, which `apt-get source` needs to unpack
# their sources, and tclsh, which SQLite's tree makes its amalgamation with.
if [ "${FC_WITH_WINDOWS:-0}" = 1 ]; then
  packages+=(g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64-x86-64-dev
             binutils-mingw-w64-x86-64 libz-mingw-w64-dev wine64 dpkg-dev tcl)
fi
# `make windows-gui`: Qt's code generators for the cross-built Qt (Debian's
# own moc, rcc and uic); meson and gperf, which Pango, GLib, fontconfig and
# their kin are built with; and what shows the program's window under Wine in
# Xvfb: xdotool waits for it, ImageMagick's import takes its picture.
if [ "${FC_WINDOWS_GUI:-0}" = 1 ]; then
  packages+=(qt6-base-dev-tools meson gperf xdotool imagemagick)
fi
# `make windows-package`: NSIS writes the setup, groff the manual's HTML,
# rsvg-convert and icotool the icon.
if [ "${FC_WITH_WINDOWS_PACKAGE:-0}" = 1 ]; then
  packages+=(nsis groff librsvg2-bin icoutils)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "install-deps: installing ${missing[*]}" >&2
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
