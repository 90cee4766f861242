#!/usr/bin/env bash
# Makes sure apt knows a deb-src entry for the Debian archive this system already uses, so that
# `apt-get source` works. The entries are copied from /etc/apt/sources.list.d/debian.sources and
# /etc/apt/sources.list with their type changed to deb-src; no host is named here.
# Runs `apt-get update` only when it added something. Safe to run any number of times.
set -euo pipefail

deb822=/etc/apt/sources.list.d/debian.sources
oneline=/etc/apt/sources.list
target_deb822=/etc/apt/sources.list.d/warenkai-deb-src.sources
target_oneline=/etc/apt/sources.list.d/warenkai-deb-src.list
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)

# Each deb822 stanza whose Types hold "deb" but not "deb-src", copied with "Types: deb-src".
derive_deb822() {
    awk 'BEGIN { RS = ""; ORS = "\n\n" }
         {
             n = split($0, lines, "\n"); types = ""; out = ""
             for (i = 1; i <= n; i++) {
                 if (lines[i] ~ /^#/) continue
                 if (lines[i] ~ /^Types:/) { types = lines[i]; lines[i] = "Types: deb-src" }
                 out = out lines[i] "\n"
             }
             if (types ~ /[: ]deb( |$)/ && types !~ /deb-src/) printf "%s\n", out
         }' "$1"
}

# Each one-line "deb ..." entry without a matching "deb-src ..." line, copied as deb-src.
derive_oneline() {
    awk '/^[ \t]*deb-src[ \t]/ { sub(/^[ \t]*/, ""); have[$0] = 1 }
         /^[ \t]*deb[ \t]/     { sub(/^[ \t]*deb/, "deb-src"); want[++n] = $0 }
         END { for (i = 1; i <= n; i++) if (!(want[i] in have)) print want[i] }' "$1"
}

# write_if_changed <file> <content>: prints "changed" when it wrote the file.
write_if_changed() {
    if [ -n "$2" ] && [ "$(cat "$1" 2>/dev/null)" != "$2" ]; then
        printf '%s\n' "$2" | "${sudo[@]}" tee "$1" > /dev/null
        echo changed
    fi
}

changed=""
[ -f "$deb822" ] && changed+=$(write_if_changed "$target_deb822" "$(derive_deb822 "$deb822")")
[ -f "$oneline" ] && changed+=$(write_if_changed "$target_oneline" "$(derive_oneline "$oneline")")

if [ -n "$changed" ]; then
    echo "deb-src entries added; running apt-get update" >&2
    "${sudo[@]}" apt-get update -qq >&2
fi
