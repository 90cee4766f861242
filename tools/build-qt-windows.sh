#!/usr/bin/env bash
# Builds a static Qt 6 for 64-bit Windows (mingw-w64) from Debian's qt6-base source package:
# Core, Gui, Widgets, Test and the platform plugins qwindows and qoffscreen. Installs it into a
# cache folder outside the clone:
#   ${WARENKAI_CACHE:-$HOME/.cache/warenkai}/qt-<Debian source version>-mingw64
# A finished install (marked by a stamp file written last) is reused; a folder without the stamp
# is wiped and built again. Needs the host's Qt tools (qt6-base-dev, qt6-base-dev-tools).
# Takes 20 to 90 minutes on 2 cores, depending on what else runs. Build output goes to stderr;
# the last line of stdout is the prefix.
set -euo pipefail

package=qt6-base
upstream=6.4.2+dfsg   # the version whose build options below were checked
tools=$(cd "$(dirname "$0")" && pwd)
cache=${WARENKAI_CACHE:-$HOME/.cache/warenkai}
mkdir -p "$cache"
exec 9> "$cache/.$package.lock"
flock 9   # one build of this package at a time

"$tools/debian-sources.sh"
version=$(apt-get source --print-uris "$package" 2>/dev/null |
          sed -n "s/.* ${package}_\(.*\)\.dsc .*/\1/p" | head -n 1) || true
if [ -z "$version" ]; then
    echo "error: apt finds no source package '$package' (is a deb-src entry missing?)" >&2
    exit 1
fi
if [[ $version != "$upstream"-* ]]; then
    echo "error: Debian's $package source is $version, this script was written for $upstream-*;" \
         "check the build options and update 'upstream'" >&2
    exit 1
fi
host_cmake=/usr/lib/x86_64-linux-gnu/cmake
if [ ! -x /usr/lib/qt6/libexec/moc ] || [ ! -f "$host_cmake/Qt6/Qt6Config.cmake" ]; then
    echo "error: the host's Qt tools are missing; install qt6-base-dev and qt6-base-dev-tools" >&2
    exit 1
fi

prefix=$cache/qt-$version-mingw64
stamp=$prefix/.warenkai-complete
if [ -f "$stamp" ]; then
    echo "Qt $version for Windows is already in $prefix" >&2
    echo "$prefix"
    exit 0
fi
rm -rf "$prefix"

scratch=$(mktemp -d "${TMPDIR:-/tmp}/warenkai-qt.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
cd "$scratch"
apt-get source -qq "$package=$version" >&2
source_dir=$(find . -maxdepth 1 -type d -name "$package-*" | head -n 1)

options=(
    -DCMAKE_TOOLCHAIN_FILE="$tools/../cmake/mingw-w64-x86_64.cmake"
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_SHARED_LIBS=OFF
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR="$host_cmake"
    -DQT_BUILD_TESTS=OFF -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_BENCHMARKS=OFF
    # Modules: Core, Gui, Widgets and Test only.
    -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF -DFEATURE_printsupport=OFF
    -DFEATURE_xml=OFF -DFEATURE_concurrent=OFF -DFEATURE_testlib=ON
    # Qt's own copies of the third-party libraries; no zstd, jpeg or Vulkan.
    -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_harfbuzz=OFF
    -DFEATURE_system_freetype=OFF -DFEATURE_system_png=OFF -DFEATURE_system_doubleconversion=OFF
    -DFEATURE_zstd=OFF -DFEATURE_jpeg=OFF -DFEATURE_vulkan=OFF
    # Debian's source lacks src/3rdparty/wintab, which tablet support needs.
    -DFEATURE_tabletevent=OFF
    # No OpenGL (FEATURE_opengl=OFF would break the qwindows plugin); no direct2d plugin.
    -DINPUT_opengl=no -DFEATURE_direct2d1_1=OFF
)
start=$SECONDS
nice -n 19 cmake -S "$source_dir" -B build -G Ninja "${options[@]}" >&2
nice -n 19 cmake --build build --parallel 2 >&2
nice -n 19 cmake --install build >&2
echo "$package $version built in $((SECONDS - start)) s" > "$stamp"
cat "$stamp" >&2
echo "$prefix"
