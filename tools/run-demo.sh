#!/usr/bin/env bash
# Starts the demo shop on 127.0.0.1 and the program's window beside it.
#
#   tools/run-demo.sh [PROGRAM_FOLDER]      (default: build/bin)
#
# When the program folder has no "Einstellungen.ini" yet, it writes one that points at the demo shop
# (FTP 127.0.0.1:2121, user demo, password demo, shop root /shop, link http://127.0.0.1:8080/shop),
# maps the demo articles of the Selectline stand-in to the shop's columns, and names a folder of demo
# pictures. An existing settings file is left as it is. The demo shop ends with the window.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
folder=$(cd "${1:-$here/../build/bin}" && pwd)
ftp_port=${WARENKAI_DEMO_FTP_PORT:-2121}
http_port=${WARENKAI_DEMO_HTTP_PORT:-8080}

/usr/bin/python3 - "$folder" "$ftp_port" "$http_port" <<'PY'
import os, struct, sys, zlib

folder, ftp_port, http_port = sys.argv[1], sys.argv[2], sys.argv[3]

pictures = os.path.join(folder, "demo-bilder")
os.makedirs(pictures, exist_ok=True)

def png(path, colour):
    """A small one-coloured PNG picture."""
    width, height = 64, 48
    raw = b"".join(b"\x00" + bytes(colour) * width for _ in range(height))
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    data = (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b""))
    if not os.path.exists(path):
        with open(path, "wb") as out:
            out.write(data)

for name, colour in (("10001.png", (60, 140, 60)), ("10002.png", (200, 120, 40)),
                     ("10020 Rasensprenger.png", (40, 90, 200))):
    png(os.path.join(pictures, name), colour)

settings = os.path.join(folder, "Einstellungen.ini")
if os.path.exists(settings):
    sys.exit(0)

texts = ["127.0.0.1:" + ftp_port, "demo", "demo", "/shop", "http://127.0.0.1:%s/shop" % http_port, pictures]
# Selectline field, default value and prefix of the 30 shop columns, in the order of the mapping.
rows = [
    ("Artikelnummer", "", ""), ("Bezeichnung", "", ""), ("Langtext", "", ""), ("Lieferant", "", ""),
    ("", "", ""), ("Preis1", "0", ""), ("Listenpreis", "0", ""), ("Gewicht", "0", ""),
    ("Losgroesse", "", ""), ("Mengeneinheit", "Stück", ""), ("Aktionspreis", "0", ""), ("", "0", ""),
    ("Aktionspreis ab", "", ""), ("Aktionspreis bis", "", ""), ("Artikelgruppe Parent", "", ""),
    ("Artikelgruppe", "", ""), ("", "", ""), ("MwSt-Satz", "19", ""), ("", "", ""), ("", "", ""),
    ("EANnummer", "", ""), ("", "Ab Lager", ""), ("Hersteller", "", ""), ("HstArtikelnummer", "", ""),
    ("Preis2", "0", ""), ("", "0", ""), ("", "0", ""), ("", "0", ""), ("", "", ""), ("", "", ""),
]
lines = ["GRUND%d=%s" % (i, text) for i, text in enumerate(texts)]
for r, (field, default, prefix) in enumerate(rows, start=1):
    lines += ["ARTIKEL1%d=%s" % (r, field), "ARTIKEL2%d=%s" % (r, default), "ARTIKEL3%d=%s" % (r, prefix)]
lines += ["ARTIKELCHECK=Ja", "DATENCHECK1=Nein", "DATENCHECK2=Ja"]
with open(settings + ".neu", "wb") as out:
    out.write("".join(line + "\r\n" for line in lines).encode("cp1252", "replace"))
os.replace(settings + ".neu", settings)
print("Einstellungen für den Demo-Shop geschrieben: " + settings)
PY

/usr/bin/python3 "$here/demo_shop.py" --root "$folder/demo-shop" --settings "$folder/Einstellungen.ini" \
    --ftp-port "$ftp_port" --http-port "$http_port" --quiet &
shop=$!
trap 'kill "$shop" 2>/dev/null; wait "$shop" 2>/dev/null || true' EXIT
sleep 1
kill -0 "$shop" 2>/dev/null || { echo "Der Demo-Shop konnte nicht starten." >&2; exit 1; }

if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ "${QT_QPA_PLATFORM:-}" != "offscreen" ]; then
    echo "Kein Bildschirm gefunden: das Fenster braucht eine grafische Sitzung (oder xvfb-run)." >&2
    echo "Ohne Fenster laufen die Übertragungen so: $folder/warenkai articles | pictures | orders" >&2
fi
"$folder/warenkai"
