#!/usr/bin/env bash
# Builds a static libcurl for 64-bit Windows (mingw-w64, Schannel TLS; FTP, FTPS, HTTP and HTTPS
# only) from Debian's curl source package and installs it into a cache folder outside the clone:
#   ${WARENKAI_CACHE:-$HOME/.cache/warenkai}/curl-<Debian source version>-mingw64
# A finished install (marked by a stamp file written last) is reused; a folder without the stamp
# is wiped and built again. Build output goes to stderr; the last line of stdout is the prefix.
set -euo pipefail

package=curl
upstream=7.88.1   # the version whose build options below were checked
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

prefix=$cache/$package-$version-mingw64
stamp=$prefix/.warenkai-complete
if [ -f "$stamp" ]; then
    echo "$package $version for Windows is already in $prefix" >&2
    echo "$prefix"
    exit 0
fi
rm -rf "$prefix"

scratch=$(mktemp -d "${TMPDIR:-/tmp}/warenkai-$package.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
cd "$scratch"
apt-get source -qq "$package=$version" >&2
source_dir=$(find . -maxdepth 1 -type d -name "$package-*" | head -n 1)

options=()
for protocol in LDAP LDAPS DICT FILE GOPHER IMAP MQTT POP3 RTSP SMB SMTP TELNET TFTP; do
    options+=(-DCURL_DISABLE_$protocol=ON)
done
start=$SECONDS
nice -n 19 cmake -S "$source_dir" -B build -G Ninja "${options[@]}" \
    -DCMAKE_TOOLCHAIN_FILE="$tools/../cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DBUILD_SHARED_LIBS=OFF -DBUILD_CURL_EXE=OFF -DBUILD_TESTING=OFF -DENABLE_MANUAL=OFF \
    -DCURL_USE_SCHANNEL=ON -DCURL_USE_OPENSSL=OFF -DCURL_USE_LIBSSH2=OFF -DCURL_USE_LIBPSL=OFF \
    -DUSE_LIBIDN2=OFF -DCURL_ZLIB=OFF -DCURL_BROTLI=OFF -DCURL_ZSTD=OFF -DUSE_NGHTTP2=OFF \
    -DCURL_CA_BUNDLE=none -DCURL_CA_PATH=none >&2   # Schannel uses the Windows certificate store
nice -n 19 cmake --build build --parallel 2 >&2
cmake --install build >&2
echo "$package $version built in $((SECONDS - start)) s" > "$stamp"
cat "$stamp" >&2
echo "$prefix"
