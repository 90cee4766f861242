#!/usr/bin/env bash
# Cross-builds Warenkai for 64-bit Windows into build-windows/ (or $WARENKAI_WINDOWS_BUILD):
#   tools/build-windows.sh [options for `cmake --build`, e.g. -- -k 0]
# Installs what is missing (mingw-w64, wine, the GoogleTest sources), builds the static libcurl for
# Windows (tools/build-curl-windows.sh) and, with WARENKAI_WINDOWS_WINDOW=1, the static Qt
# (tools/build-qt-windows.sh, about 20 minutes once). Leaves build-windows/bin/warenkai.exe and the
# Windows test programs. Then:
#   ctest --test-dir build-windows    runs the tests under wine, in build-windows/wine-prefix
#   cd build-windows && cpack         makes warenkai-<version>-win64.zip
set -euo pipefail

tools=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$tools")
build=${WARENKAI_WINDOWS_BUILD:-$root/build-windows}
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)

packages=(cmake ninja-build g++-mingw-w64-x86-64-posix mingw-w64-tools wine64 wine googletest
          dpkg-dev)   # dpkg-dev: `apt-get source` unpacks the libcurl (and Qt) sources with it
window=0
if [ "${WARENKAI_WINDOWS_WINDOW:-0}" = 1 ] && [ -f "$tools/build-qt-windows.sh" ]; then
    window=1
    packages+=(qt6-base-dev qt6-base-dev-tools   # Qt's host tools (moc, uic, rcc)
               fonts-dejavu-core)                 # the fonts of the window tests under wine
fi
missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2> /dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "installing ${missing[*]}" >&2
    "${sudo[@]}" apt-get update -qq
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The last line of each build script's output is its install folder.
output=$(bash "$tools/build-curl-windows.sh")
prefixes=${output##*$'\n'}
if [ "$window" = 1 ]; then
    output=$(bash "$tools/build-qt-windows.sh")
    prefixes="$prefixes;${output##*$'\n'}"
fi

start=$SECONDS
nice -n 19 cmake -S "$root" -B "$build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_PREFIX_PATH="$prefixes"
nice -n 19 cmake --build "$build" --parallel 2 "$@"
echo "Windows build done in $((SECONDS - start)) s" >&2

# Statically linked: the program needs no DLL beside it, only Windows' own.
dlls=$(x86_64-w64-mingw32-objdump -p "$build/bin/warenkai.exe" | sed -n 's/.*DLL Name: //p' | sort -u)
echo "warenkai.exe imports: $(echo $dlls)" >&2
if grep -Eiq '^(lib|mingw|curl)' <<< "$dlls"; then
    echo "error: warenkai.exe needs a DLL of the build: $(grep -Ei '^(lib|mingw|curl)' <<< "$dlls")" >&2
    exit 1
fi
