#!/usr/bin/env bash
# Keeps one wine server up for a run of the Windows tests (the ctest fixture "wine"):
#   tools/wine-session.sh start   creates or updates the prefix and leaves its server running
#   tools/wine-session.sh stop    ends that server and every wine process of the prefix
# The prefix is the one tools/wine-run.sh uses ($WARENKAI_WINEPREFIX, set by ctest to the build
# folder's own). With the server and wine's helper processes already up, a test program starts in a
# fraction of a second instead of 1.5 s (12 s on a cold prefix).
# Everything wine prints goes to /dev/null: the kept-up server and its helper processes keep the
# output they inherit open, so a pipe (ctest reads the fixture's output through one) would never end.
set -euo pipefail

export WINEPREFIX="${WARENKAI_WINEPREFIX:-${WARENKAI_CACHE:-$HOME/.cache/warenkai}/wine-prefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
# No Mono/Gecko installer prompts while a prefix is created.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
wine_folder=/usr/lib/wine

case "${1:-}" in
    start)
        mkdir -p "$WINEPREFIX"
        # `wineserver -p` refuses (status 2) while a server of the prefix is up, e.g. one left by an
        # earlier run that was not stopped or a manual wine call whose server would end with its last
        # program: that one is ended, so the run gets a kept-up server that writes to /dev/null.
        if ! "$wine_folder/wineserver" -p < /dev/null > /dev/null 2>&1; then
            "$wine_folder/wineserver" -k < /dev/null > /dev/null 2>&1 || true
            "$wine_folder/wineserver" -w < /dev/null > /dev/null 2>&1 || true
            "$wine_folder/wineserver" -p < /dev/null > /dev/null 2>&1
        fi
        "$wine_folder/wine64" wineboot < /dev/null > /dev/null 2>&1
        echo "wine server up for $WINEPREFIX"
        ;;
    stop)
        # Without a running server there is nothing to end.
        "$wine_folder/wineserver" -k < /dev/null > /dev/null 2>&1 || true
        echo "wine server ended for $WINEPREFIX"
        ;;
    *)
        echo "usage: $0 start|stop" >&2
        exit 2
        ;;
esac
