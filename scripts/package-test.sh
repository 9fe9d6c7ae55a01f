#!/usr/bin/env bash
# Checks the Debian package that `make package` built: lintian reports no
# error, the desktop entry and the AppStream metainfo validate cleanly, and the
# programs work from the package unpacked into a temporary root (as from any
# installation root): filingcheck-cli checks the sample submission on a
# temporary home, and the desktop program shows its welcome window offscreen.
# Its picture is kept as <build>/welcome.png.
#   scripts/package-test.sh [BUILD_DIR]
set -euo pipefail

build=${1:-build-package}
shopt -s nullglob
debs=("$build"/filingcheck_*.deb)
if [ ${#debs[@]} -ne 1 ]; then
  echo "package-test: expected one package in $build, found ${#debs[@]} (run make package)" >&2
  exit 1
fi
deb=${debs[0]}
version=$(dpkg-deb -f "$deb" Version)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

step() { echo "package-test: $*" >&2; }
fail() { echo "package-test: FAILED: $*" >&2; exit 1; }

step "lintian $deb"
lintian --display-info --fail-on error "$deb" || fail "lintian reports errors"

root=$tmp/root
dpkg-deb -x "$deb" "$root"
desktop=$root/usr/share/applications/filingcheck.desktop
step "desktop-file-validate"
out=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop entry: $out"
[ -z "$out" ] || fail "desktop entry: $out"
step "appstreamcli validate"
appstreamcli validate --no-net "$root"/usr/share/metainfo/*.metainfo.xml >&2 || fail "metainfo does not validate"
for size in 48 128 256; do
  file "$root/usr/share/icons/hicolor/${size}x${size}/apps/filingcheck.png" | grep -q "PNG image data, $size x $size" ||
    fail "no ${size}x${size} icon"
done

# A user's session with nothing of its own yet: the home, data and runtime
# directories lie in the temporary directory too.
export HOME=$tmp/user XDG_DATA_HOME=$tmp/user/data XDG_RUNTIME_DIR=$tmp/runtime
mkdir -p "$HOME"
mkdir -m 700 "$XDG_RUNTIME_DIR"
cli=$root/usr/bin/filingcheck-cli
step "filingcheck-cli --version"
[ "$("$cli" --version)" = "filingcheck-cli $version" ] || fail "filingcheck-cli --version does not say $version"

# Company 100001 is taken out of the unpacked company list: the warning about
# an unknown code shows that the store was filled from the unpacked root's
# data, not from the source tree the programs were built in.
sed -i '/^100001,/d' "$root/usr/share/filingcheck/zqgs.csv"
home=$tmp/home
step "filingcheck-cli sample, account, results"
"$cli" sample --home "$home" --dir "$tmp/sample" >/dev/null
status=0
"$cli" account --home "$home" --source "$tmp/sample/account-zip" --code 100001 --date 2008-08-08 \
  --from 1 --to 2 >"$tmp/account.out" 2>"$tmp/account.err" || status=$?
# The sample holds deliberate faults, so the check reports findings (1).
[ "$status" -eq 1 ] || fail "account exited with $status: $(cat "$tmp/account.err")"
grep -q "没有找到" "$tmp/account.err" || fail "account did not read the unpacked company list"
"$cli" results --home "$home" --format json >"$tmp/results.json"
grep -q '"filename": "100001_KHJBXX_20080808_1.ZIP"' "$tmp/results.json" ||
  fail "results do not list the checked files"

gui=$root/usr/bin/filingcheck
step "filingcheck --version"
[ "$(QT_QPA_PLATFORM= DISPLAY= WAYLAND_DISPLAY= "$gui" --version)" = "filingcheck $version" ] ||
  fail "filingcheck --version does not say $version"
step "filingcheck shows its welcome window offscreen"
QT_QPA_PLATFORM=offscreen "$gui" --screenshot "$build/welcome.png" || fail "the desktop program did not start"
file "$build/welcome.png" | grep -q "PNG image data" || fail "no picture of the welcome window"
[ -d "$XDG_DATA_HOME/filingcheck" ] || fail "the application home is not in \$XDG_DATA_HOME/filingcheck"
[ "$(ls "$root/usr/bin")" = "$(printf 'filingcheck\nfilingcheck-cli')" ] ||
  fail "the desktop program wrote beside itself: $(ls "$root/usr/bin")"

step "passed: $deb, $(stat -c %s "$deb") bytes, installed size $(dpkg-deb -f "$deb" Installed-Size) KiB; welcome window in $build/welcome.png"
