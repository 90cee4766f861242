#!/usr/bin/env bash
# Runs a Windows program under wine: tools/wine-run.sh program.exe [arguments...]
# Used as the cross-compiling emulator of cmake/mingw-w64-x86_64.cmake, so ctest runs Windows
# tests with it. The wine prefix is $WARENKAI_WINEPREFIX, or else one shared prefix in the
# build cache outside the clone (never ~/.wine); wine creates it on first use (about 12 s).
set -euo pipefail
export WINEPREFIX="${WARENKAI_WINEPREFIX:-${WARENKAI_CACHE:-$HOME/.cache/warenkai}/wine-prefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
# No Mono/Gecko installer prompts while a prefix is created.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
# Without a console window Qt (and QtTest's text output) would log to OutputDebugString only.
export QT_FORCE_STDERR_LOGGING="${QT_FORCE_STDERR_LOGGING:-1}"
# wine hides QT_* variables (QT_QPA_PLATFORM=offscreen, ...) from Windows programs unless they
# come as WINEQT_*.
for name in $(compgen -e); do
    if [[ $name == QT_* ]]; then export "WINE$name=${!name}"; fi
done
mkdir -p "$(dirname "$WINEPREFIX")"
exec /usr/lib/wine/wine64 "$@"
