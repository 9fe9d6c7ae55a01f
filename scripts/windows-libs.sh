#!/usr/bin/env bash
# Cross-builds for 64-bit Windows the libraries the core links that Debian has
# no MinGW build of: SQLite, libzip, libxlsxwriter and GoogleTest, each from
# Debian's own source package at the version Debian ships (with Debian's
# patches), as a static library made by the posix-thread MinGW-w64 toolchain;
# and, when asked for, Qt for the desktop program, as DLLs, with the PDF
# report's Pango and Cairo with the eleven libraries under them, static.
#
#   bash scripts/windows-libs.sh BUILD_DIR
#   FC_WINDOWS_GUI=1 bash scripts/windows-libs.sh BUILD_DIR   # with Qt and Pango: over an hour
#
# Each library is installed into BUILD_DIR/deps/<name>-<version>/ (include/,
# lib/, lib/pkgconfig/ and the CMake package files where the library makes
# them), which cmake/mingw-w64-x86_64.cmake searches before the MinGW
# sysroot. A prefix holding its .built stamp is never built again, so a second
# run downloads and builds nothing; a new Debian version gets a prefix of its
# own. The version is the one of the library's Linux package, installed by
# scripts/install-deps.sh, so both builds link the same code. The sources are
# unpacked in BUILD_DIR/deps/src/ and removed once their library is built.
#
# nlohmann-json is header-only: Debian's arch-independent headers and CMake
# files are copied into a prefix of their own, so that the cross build never
# searches the host's /usr/include. zlib is Debian's libz-mingw-w64-dev.
# Needs the packages of `FC_WITH_WINDOWS=1 scripts/install-deps.sh`; runs as
# root (or through sudo) only to add the deb-src entry and to update apt's
# lists, the first time a source is needed.
set -euo pipefail

[ $# -eq 1 ] || { echo "usage: $0 BUILD_DIR" >&2; exit 2; }
root=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "$1"
deps=$(cd "$1" && pwd)/deps
toolchain=$root/cmake/mingw-w64-x86_64.cmake
jobs=$(nproc)
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
deb_src_list=/etc/apt/sources.list.d/filingcheck-deb-src.sources

# The version of source package $1 that binary package $2 was built from (a
# binary-only rebuild, "+b1", has its source's version): the installed one,
# which the Linux build links, else the candidate apt would install.
source_version() {
  local installed binary_version source_field
  installed=$(dpkg-query -W -f='${db:Status-Status} ${source:Version}' "$2" 2>/dev/null || true)
  if [ "${installed%% *}" = installed ]; then
    echo "${installed#* }"
    return
  fi
  binary_version=$(apt-cache policy "$2" | awk '$1 == "Candidate:" { print $2 }')
  if [ -z "$binary_version" ] || [ "$binary_version" = "(none)" ]; then
    echo "windows-libs: Debian has no $2 here (apt-get update?)" >&2
    exit 1
  fi
  source_field=$(apt-cache show --no-all-versions "$2=$binary_version" | sed -n 's/^Source: //p')
  case $source_field in
    *"("*")"*) source_field=${source_field#*(}; echo "${source_field%)*}" ;;
    *) echo "$binary_version" ;;
  esac
}

# The deb-src entries for the machine's own Debian archive: every deb entry
# (deb822 or one-line) whose suite is this release's, turned into deb-src.
deb_src_entries() {
  local codename
  # shellcheck disable=SC1091 # the machine's, read as it is
  codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
  local suite_re="^${codename}(-[a-z]+)?\$"
  for f in /etc/apt/sources.list.d/*.sources; do
    if [ ! -e "$f" ] || [ "$f" = "$deb_src_list" ]; then continue; fi
    awk -v suite_re="$suite_re" '
      function ours(list,   n, i, words) {
        n = split(list, words, /[ \t]+/)
        for (i = 1; i <= n; i++) if (words[i] ~ suite_re) return 1
        return 0
      }
      function flush() {
        if (types ~ /(^|[ \t])deb([ \t]|$)/ && ours(suites) && enabled != "no")
          printf "Types: deb-src\n%s\n\n", body
        types = suites = body = enabled = ""
      }
      /^[ \t]*#/ { next }
      /^[ \t]*$/ { flush(); next }
      { key = tolower($1); value = $0; sub(/^[^:]*:[ \t]*/, "", value) }
      key == "types:" { types = value; next }
      key == "enabled:" { enabled = tolower(value) }
      key == "suites:" { suites = value }
      { body = body (body == "" ? "" : "\n") $0 }
      END { flush() }
    ' "$f"
  done
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -e "$f" ] || continue
    awk -v suite_re="$suite_re" '
      $1 != "deb" { next }
      {
        signed = trusted = ""; i = 2
        if ($2 ~ /^\[/) {
          for (; i <= NF; i++) {
            option = $i; gsub(/[][]/, "", option)
            if (option ~ /^signed-by=/) signed = substr(option, 11)
            if (option ~ /^trusted=/) trusted = substr(option, 9)
            if ($i ~ /\]$/) { i++; break }
          }
        }
        if ($(i + 1) !~ suite_re) next
        components = $(i + 2); for (j = i + 3; j <= NF; j++) components = components " " $j
        printf "Types: deb-src\nURIs: %s\nSuites: %s\nComponents: %s\n", $i, $(i + 1), components
        if (signed != "") printf "Signed-By: %s\n", signed
        if (trusted != "") printf "Trusted: %s\n", trusted
        printf "\n"
      }
    ' "$f"
  done
}

# Adds the deb-src entries and updates apt's lists when they are new, or
# when the lists lack the sources (cleaned since).
ensure_deb_src() {
  local entries
  entries=$(deb_src_entries)
  [ -n "$entries" ] || { echo "windows-libs: no Debian archive in /etc/apt to take deb-src from" >&2; exit 1; }
  if [ "$(cat "$deb_src_list" 2>/dev/null)" != "$entries" ]; then
    echo "windows-libs: adding $deb_src_list" >&2
    printf '%s\n' "$entries" | $sudo tee "$deb_src_list" >/dev/null
    $sudo apt-get update -qq
  elif ! apt-cache showsrc sqlite3 2>/dev/null | grep '^Package:' >/dev/null; then
    $sudo apt-get update -qq
  fi
}

# Unpacks source package $1 at version $2 into deps/src/ (Debian's patches
# applied) and sets source_tree to the unpacked tree; a build that failed
# finds it there the next time.
fetch_source() {
  local into=$deps/src/$1-$2
  if [ ! -e "$into/.unpacked" ]; then
    [ -n "${deb_src_ready:-}" ] || { ensure_deb_src; deb_src_ready=1; }
    if ! apt-cache showsrc --only-source "$1" | grep -x "Version: $2" >/dev/null; then
      echo "windows-libs: Debian's archive no longer has $1 $2, the version installed here;" \
           "upgrade its Linux package so that both builds use the one Debian ships now" >&2
      exit 1
    fi
    rm -rf "$into" && mkdir -p "$into"
    echo "windows-libs: apt-get source $1=$2" >&2
    (cd "$into" && apt-get source -qq --only-source "$1=$2" >&2) || unpack_nearest "$1" "$2" "$into"
    touch "$into/.unpacked"
  fi
  source_tree=$(find "$into" -mindepth 1 -maxdepth 1 -type d | head -n 1)
}

# A mirror may lack a source's Debian part while it has the upstream tarball
# (a security update's files not copied yet): then the newest other Debian
# revision of the same upstream version, else the upstream tarball alone,
# unpacked into $3, each said aloud.
unpack_nearest() {
  local upstream=${2%-*} revision uri
  for revision in $(apt-cache showsrc --only-source "$1" | sed -n 's/^Version: //p' | sort -rV); do
    [ "$revision" != "$2" ] && [ "${revision%-*}" = "$upstream" ] || continue
    rm -rf "${3:?}"/*
    if (cd "$3" && apt-get source -qq --only-source "$1=$revision" >&2 2>/dev/null); then
      echo "windows-libs: $1 $2 cannot be downloaded here; built from $revision" >&2
      return
    fi
  done
  uri=$(apt-get source --print-uris -qq --only-source "$1=$2" | awk -F"'" '$2 ~ /\.orig\.tar\./ { print $2; exit }')
  [ -n "$uri" ] || { echo "windows-libs: $1 $2 cannot be downloaded here" >&2; exit 1; }
  rm -rf "${3:?}"/*
  /usr/lib/apt/apt-helper download-file "$uri" "$3/${uri##*/}" >/dev/null
  mkdir -p "$3/$1-$upstream" && tar -xf "$3/${uri##*/}" -C "$3/$1-$upstream" --strip-components=1
  echo "windows-libs: $1 $2: only the upstream tarball can be downloaded here; built without Debian's patches" >&2
}

# Configures, builds and installs the CMake project in $1 into prefix $2,
# with the remaining arguments as cache entries.
cmake_install() {
  local source=$1 prefix=$2 build
  shift 2
  build=$deps/build/$(basename "$prefix")
  rm -rf "$build"
  cmake -S "$source" -B "$build" -G Ninja --log-level=WARNING -Wno-dev \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DFC_WINDOWS_DEPS="$deps" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_SHARED_LIBS=OFF "$@" >/dev/null
  cmake --build "$build" -j "$jobs" >/dev/null
  cmake --install "$build" >/dev/null
  rm -rf "$build"
}

# SQLite's source tree makes its one-file amalgamation with tclsh and tools
# built for this machine, configured with Debian's feature options; the
# amalgamation is compiled for Windows with the feature flags that configure
# chose and Debian's compile-time options, read from its debian/rules.
build_sqlite3() {
  local source=$1 prefix=$2 build=$deps/build/sqlite3 flags
  rm -rf "$build" && mkdir -p "$build"
  (cd "$build" && "$source/configure" --quiet --enable-threadsafe --enable-load-extension --enable-json \
     --enable-fts4 --enable-fts5 >/dev/null && make -s sqlite3.c >/dev/null)
  flags="$(make_variable "$build" Makefile OPT_FEATURE_FLAGS) $(make_variable "$source" debian/rules CFLAGS)"
  # shellcheck disable=SC2086 # one option a word
  flags=$(printf '%s\n' $flags | grep -E '^-DSQLITE_|^-fno-strict-aliasing$' | sort -u | tr '\n' ' ')
  mkdir -p "$prefix/include" "$prefix/lib/pkgconfig"
  # shellcheck disable=SC2086 # one option a word
  x86_64-w64-mingw32-gcc-posix -O2 $flags -c "$build/sqlite3.c" -o "$build/sqlite3.o"
  x86_64-w64-mingw32-ar rcs "$prefix/lib/libsqlite3.a" "$build/sqlite3.o"
  cp "$build/sqlite3.h" "$source/src/sqlite3ext.h" "$prefix/include/"
  cat >"$prefix/lib/pkgconfig/sqlite3.pc" <<EOF
prefix=$prefix
Name: SQLite
Description: SQL database engine
Version: ${3%%-*}
Libs: -L\${prefix}/lib -lsqlite3
Cflags: -I\${prefix}/include
EOF
  rm -rf "$build"
}

# The value of variable $3 in makefile $2, as make sees it run in folder $1.
make_variable() {
  # shellcheck disable=SC2016 # $(...) is make's, for make to expand
  (cd "$1" && printf 'include %s\nfc-print-variable:\n\t@echo $(%s)\n' "$2" "$3" | make -s -f - fc-print-variable)
}

# libzip on Debian's MinGW zlib; its encryption through Windows' own CNG, so
# neither OpenSSL nor GnuTLS is needed; no bzip2 or xz.
build_libzip() {
  cmake_install "$1" "$2" -DENABLE_WINDOWS_CRYPTO=ON -DENABLE_OPENSSL=OFF -DENABLE_GNUTLS=OFF \
    -DENABLE_MBEDTLS=OFF -DENABLE_COMMONCRYPTO=OFF -DENABLE_BZIP2=OFF -DENABLE_LZMA=OFF \
    -DBUILD_TOOLS=OFF -DBUILD_REGRESS=OFF -DBUILD_EXAMPLES=OFF -DBUILD_DOC=OFF
}

# libxlsxwriter on Debian's MinGW zlib with its own minizip and tmpfileplus.
build_libxlsxwriter() {
  cmake_install "$1" "$2" -DUSE_SYSTEM_MINIZIP=OFF -DBUILD_TESTS=OFF -DBUILD_EXAMPLES=OFF
}

build_googletest() {
  cmake_install "$1" "$2" -DBUILD_GMOCK=ON -DINSTALL_GTEST=ON
}

# Qt's Core, Gui, Widgets and Test as DLLs, with the windows platform plugin
# and the Fusion, Windows and Windows Vista styles; its code generators (moc, rcc, uic) are
# Debian's own, from qt6-base-dev-tools. Each DLL carries its own C and C++
# runtime, as the programs do, so no MinGW DLL ships beside them; they are
# installed stripped (25 MB rather than 40). Debian's source lacks the
# Wintab headers, hence no tablet events; Qt 6.4 builds its DirectWrite 3
# font database only with Direct2D, which nothing here needs (the default
# font database stays). zlib is Debian's MinGW build, the other libraries
# Qt's bundled copies. The Chinese of Qt's own dialogs is Debian's
# qtbase_zh_CN.qm, which is the same file on every system.
build_qt6-base() {
  local source=$1 prefix=$2 build=$deps/build/qt6-base
  rm -rf "$build" && mkdir -p "$build"
  (cd "$build" && "$source/configure" -prefix "$prefix" -release -shared -xplatform win32-g++ \
     -qt-host-path /usr -nomake examples -nomake tests -no-pkg-config \
     -no-opengl -no-dbus -no-icu -no-zstd -no-libjpeg -no-gif \
     -system-zlib -qt-libpng -qt-freetype -qt-harfbuzz -qt-pcre -qt-doubleconversion \
     -no-feature-sql -no-feature-network -no-feature-xml -no-feature-concurrent \
     -no-feature-printsupport -no-feature-tabletevent -no-feature-vulkan \
     -no-feature-direct2d -no-feature-directwrite3 \
     -- -Wno-dev -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DFC_WINDOWS_DEPS="$deps" \
     -DQT_HOST_PATH_CMAKE_DIR="/usr/lib/$(gcc -print-multiarch)/cmake" \
     -DCMAKE_SHARED_LINKER_FLAGS=-static -DCMAKE_MODULE_LINKER_FLAGS=-static >/dev/null)
  # An hour's build that fails shows why.
  logged "$build.log" cmake --build "$build" -j "$jobs"
  cmake --install "$build" --strip >/dev/null
  mkdir -p "$prefix/translations"
  cp /usr/share/qt6/translations/qtbase_zh_CN.qm "$prefix/translations/"
  rm -rf "$build" "$build.log"
}

# The prefixes built so far, one a line: a library's dependencies are found there.
built_prefixes() {
  find "$deps" -mindepth 2 -maxdepth 2 -name .built -printf '%h\n' | sort
}

# Folder $1 of every built prefix, one a line.
prefix_dirs() { built_prefixes | sed "s|\$|/$1|"; }

# pkg-config's search path for a cross build: the built prefixes, then the
# MinGW sysroot, never the host's.
cross_pc_path() { { prefix_dirs lib/pkgconfig; echo /usr/x86_64-w64-mingw32/lib/pkgconfig; } | paste -sd:; }

# The built prefixes' include and library folders as compiler options, one a
# line: for libraries found without pkg-config (libintl), or whose pkg-config
# file names no folder (libffi's).
include_options() { prefix_dirs include | sed 's|^|-I|'; }
library_options() { prefix_dirs lib | sed 's|^|-L|'; }

# Runs the command after $1 with its output in the log file $1; when it
# fails, shows the log's end and stops.
logged() {
  local log=$1
  shift
  "$@" >"$log" 2>&1 || { tail -n 30 "$log" >&2; exit 1; }
}

# Configures, builds and installs the autotools project in $1 into prefix $2,
# static only, with the remaining arguments to configure; when `make_dir` is
# set, only that folder of the tree is built and installed. Where Debian's
# patches change build files (gettext's, cairo's: which libraries to link,
# maintainer mode), Debian's build regenerates them with autotools; here the
# tarball's generated files are kept, made newer than the patched ones so that
# make does not call for autotools.
configure_install() {
  local source=$1 prefix=$2 build
  shift 2
  find "$source" \( -name aclocal.m4 -o -name configure -o -name Makefile.in -o -name config.h.in \) \
    -exec touch {} +
  build=$deps/build/$(basename "$prefix")
  rm -rf "$build" && mkdir -p "$build"
  (cd "$build" && PKG_CONFIG_LIBDIR=$(cross_pc_path) PKG_CONFIG_PATH="" logged "$build.log" \
     "$source/configure" --host=x86_64-w64-mingw32 --prefix="$prefix" --enable-static --disable-shared \
     CC=x86_64-w64-mingw32-gcc-posix CXX=x86_64-w64-mingw32-g++-posix CFLAGS=-O2 CXXFLAGS=-O2 \
     CPPFLAGS="$(include_options | paste -sd' ')" LDFLAGS="$(library_options | paste -sd' ')" "$@")
  logged "$build.log" make -C "$build/${make_dir:-.}" -j "$jobs" install
  rm -rf "$build" "$build.log"
}

# Configures, builds and installs the meson project in $1 into prefix $2,
# static only, with the remaining arguments as options; a cross file names
# the MinGW tools and where the built prefixes are.
meson_install() {
  local source=$1 prefix=$2 build includes libs
  shift 2
  build=$deps/build/$(basename "$prefix")
  rm -rf "$build" && mkdir -p "$deps/build"
  includes=$(include_options | sed "s/.*/'&'/" | paste -sd,)
  libs=$(library_options | sed "s/.*/'&'/" | paste -sd,)
  cat >"$build.cross" <<CROSS
[binaries]
c = 'x86_64-w64-mingw32-gcc-posix'
cpp = 'x86_64-w64-mingw32-g++-posix'
ar = 'x86_64-w64-mingw32-ar'
strip = 'x86_64-w64-mingw32-strip'
windres = 'x86_64-w64-mingw32-windres'
pkgconfig = 'pkg-config'

[properties]
pkg_config_libdir = '$(cross_pc_path)'

[built-in options]
c_args = [$includes]
cpp_args = [$includes]
c_link_args = [$libs]
cpp_link_args = [$libs]

[host_machine]
system = 'windows'
cpu_family = 'x86_64'
cpu = 'x86_64'
endian = 'little'
CROSS
  # Meson looks for libraries without pkg-config (libintl) only in the
  # compiler's own search folders, which LIBRARY_PATH extends.
  LIBRARY_PATH=$(prefix_dirs lib | paste -sd:) logged "$build.log" meson setup "$build" "$source" \
    --cross-file "$build.cross" --prefix "$prefix" --libdir lib --buildtype release \
    -Ddefault_library=static -Dprefer_static=true --wrap-mode nodownload "$@"
  logged "$build.log" ninja -C "$build" install
  rm -rf "$build" "$build.log" "$build.cross"
}

# The PDF report's libraries, Pango and Cairo with what they stand on, each
# static: the report is laid out by FreeType and fontconfig as on Linux, from
# the font shipped beside the program, so that a desk's fonts never change it.
build_libpng1.6() {
  cmake_install "$1" "$2" -DPNG_SHARED=OFF -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF -DSKIP_INSTALL_PROGRAMS=ON
}

build_pixman() {
  meson_install "$1" "$2" -Dtests=disabled -Dgtk=disabled -Dlibpng=disabled -Dopenmp=disabled
}

build_freetype() {
  cmake_install "$1" "$2" -DFT_REQUIRE_ZLIB=ON -DFT_DISABLE_BZIP2=ON -DFT_DISABLE_PNG=ON \
    -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BROTLI=ON
}

# Debian's security patches test `XML_DTD == 1`, as its autotools build
# defines it; CMake's template defines it empty, so it is given the value.
build_expat() {
  sed -i 's/^#cmakedefine XML_DTD$/#cmakedefine XML_DTD 1/' "$1/expat/expat_config.h.cmake"
  cmake_install "$1/expat" "$2" -DEXPAT_SHARED_LIBS=OFF -DEXPAT_BUILD_TOOLS=OFF -DEXPAT_BUILD_EXAMPLES=OFF \
    -DEXPAT_BUILD_TESTS=OFF -DEXPAT_BUILD_DOCS=OFF
}

build_fontconfig() {
  meson_install "$1" "$2" -Ddoc=disabled -Dtests=disabled -Dtools=disabled -Dcache-build=disabled -Dnls=disabled
}

build_harfbuzz() {
  meson_install "$1" "$2" -Dglib=disabled -Dgobject=disabled -Dcairo=disabled -Dchafa=disabled \
    -Dicu=disabled -Dfreetype=enabled -Dtests=disabled -Dintrospection=disabled -Ddocs=disabled
}

build_fribidi() {
  meson_install "$1" "$2" -Ddocs=false
}

build_libffi() {
  configure_install "$1" "$2" --disable-docs --disable-multi-os-directory
}

build_pcre2() {
  cmake_install "$1" "$2" -DPCRE2_BUILD_PCRE2GREP=OFF -DPCRE2_BUILD_TESTS=OFF -DPCRE2_SUPPORT_UNICODE=ON
}

# GLib needs libintl even without translations; gettext's runtime builds it.
build_gettext() {
  make_dir=intl configure_install "$1/gettext-runtime" "$2" --disable-libasprintf --disable-java \
    --disable-csharp --disable-c++ --disable-openmp --enable-threads=windows --without-libiconv-prefix
}

# Meson asks a static libintl for iconv too, which gettext's needs not on
# Windows; GLib's own dependencies need nothing beyond their names.
build_glib2.0() {
  meson_install "$1" "$2" -Dprefer_static=false -Dtests=false -Dinstalled_tests=false -Dnls=disabled -Dman=false -Dgtk_doc=false \
    -Dlibelf=disabled -Dsysprof=disabled -Dselinux=disabled -Dxattr=false -Dlibmount=disabled \
    -Dglib_debug=disabled
}

# Only cairo's library: its tests and tools want more than Windows has here.
# Cairo turns on glibc's _FORTIFY_SOURCE checks, which on MinGW would need
# libssp in every program linking it; CFLAGS come last and turn them off
# (as -Wp, like cairo's own, which the compiler passes on after any -D or -U).
build_cairo() {
  make_dir=src configure_install "$1" "$2" CFLAGS="-O2 -Wp,-U_FORTIFY_SOURCE" --enable-win32 --enable-win32-font --enable-pdf --enable-png \
    --enable-ft --enable-fc --disable-xlib --disable-xcb --disable-quartz --disable-gobject --disable-ps \
    --disable-svg --disable-script --disable-interpreter --disable-trace --disable-gtk-doc
}

build_pango1.0() {
  meson_install "$1" "$2" -Dintrospection=disabled -Dgtk_doc=false -Dinstall-tests=false \
    -Dfontconfig=enabled -Dfreetype=enabled -Dcairo=enabled -Dlibthai=disabled -Dxft=disabled \
    -Dsysprof=disabled
}

# Builds library $1 (source package $1, version of binary package $2) unless
# its prefix already holds the stamp.
library() {
  local name=$1 version prefix
  version=$(source_version "$name" "$2")
  prefix=$deps/$name-$version
  if [ -e "$prefix/.built" ]; then
    echo "windows-libs: $name $version already built" >&2
    return
  fi
  fetch_source "$name" "$version"
  echo "windows-libs: building $name $version" >&2
  rm -rf "$prefix"
  "build_$name" "$source_tree" "$prefix" "$version"
  touch "$prefix/.built"
  rm -rf "$deps/src/$name-$version"
}

# Debian's nlohmann-json headers and CMake package, moved to a prefix whose
# include directory holds nothing else.
nlohmann_json() {
  local version prefix
  version=$(dpkg-query -W -f='${Version}' nlohmann-json3-dev)
  prefix=$deps/nlohmann-json-$version
  [ -e "$prefix/.built" ] && return
  rm -rf "$prefix" && mkdir -p "$prefix/include" "$prefix/share/cmake"
  cp -r /usr/include/nlohmann "$prefix/include/"
  cp -r /usr/share/cmake/nlohmann_json "$prefix/share/cmake/"
  touch "$prefix/.built"
}

library sqlite3 libsqlite3-dev
library libzip libzip-dev
library libxlsxwriter libxlsxwriter-dev
library googletest libgtest-dev
# Qt only for the desktop program, which takes long to build: asked for.
if [ "${FC_WINDOWS_GUI:-0}" = 1 ]; then
  library qt6-base qt6-base-dev
  library libpng1.6 libpng-dev
  library pixman libpixman-1-dev
  library freetype libfreetype-dev
  library expat libexpat1-dev
  library fontconfig libfontconfig-dev
  library harfbuzz libharfbuzz-dev
  library fribidi libfribidi-dev
  library libffi libffi-dev
  library pcre2 libpcre2-dev
  library gettext gettext
  library glib2.0 libglib2.0-dev
  library cairo libcairo2-dev
  library pango1.0 libpango1.0-dev
fi
nlohmann_json
rmdir "$deps/src" "$deps/build" 2>/dev/null || true
echo "windows-libs: $deps" >&2
