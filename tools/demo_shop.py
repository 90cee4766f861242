#!/usr/bin/python3
"""A demo web shop on this machine, for trying Warenkai's transfers without a real shop.

Run it with Debian's /usr/bin/python3, which has python3-pyftpdlib (standard library and
pyftpdlib only):

    /usr/bin/python3 tools/demo_shop.py [--settings build/bin/Einstellungen.ini] [--write-settings]

On 127.0.0.1 it serves

  * an FTP server (pyftpdlib) with one user, whose root folder (--root) holds the shop's folders
        shop/login/admin/sonstiges/import/import/   article and group files arrive here
        shop/config/bilder_artikel/                 pictures arrive here
        shop/login/admin/sonstiges/export/export/   the export page writes its files here
    so the shop's root folder is "/shop";
  * an HTTP server with the shop's pages under "/shop", so the shop link is
    "http://127.0.0.1:<port>/shop":
        /shop/login/admin/sonstiges/import/import2.php?Autowert=<file>&Tabelle=artikel|gruppen
            reads the uploaded file from the import folder and answers with what it read:
            200 when every line has the header's number of fields, 422 when a line does not,
            404 when the file is not there, 400 for a bad query;
        /shop/login/admin/sonstiges/export/export2.php
            writes "Exportkunde.csv" and "Exportbestellung.csv" with demo customers and orders
            into the export folder and answers 200 once both are complete;
        /shop/ a small start page, and / sends the browser there (302).
    Repeated slashes in a path count as one, as on most web servers.

Options:
  --ftp-port N, --http-port N   ports (default 2121 and 8080; 0 picks free ones)
  --user NAME, --password TEXT  the FTP log-in (default demo / demo)
  --settings FILE               the Einstellungen.ini the demo is for (default: the one in the
                                current folder); the default root is the folder "demo-shop" beside it
  --root DIR                    the FTP root folder (created with the shop's folders)
  --write-settings              point the settings file's FTP server, user, password, shop root
                                and shop link (GRUND0 to GRUND4) at this demo shop; every other
                                line of the file stays as it is
  --fail-page import|export     that page answers 500 (for tests; may be given twice)
  --print-ports                 print only "ftp=<port> http=<port>" on standard output once both
                                servers accept connections
  --log FILE                    one line per page request: "<path and query> <status>"
  --stop-on-eof                 end when standard input is closed (for tests)
  --quiet                       no request logging on standard error

It ends cleanly on SIGTERM or Ctrl-C.
"""

import argparse
import codecs
import html
import logging
import os
import re
import signal
import sys
import tempfile
import threading
import urllib.parse
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer

SHOP = "shop"
IMPORT_FOLDER = "login/admin/sonstiges/import/import"
PICTURE_FOLDER = "config/bilder_artikel"
EXPORT_FOLDER = "login/admin/sonstiges/export/export"
IMPORT_PAGE = "/shop/login/admin/sonstiges/import/import2.php"
EXPORT_PAGE = "/shop/login/admin/sonstiges/export/export2.php"
CUSTOMER_EXPORT = "Exportkunde.csv"
ORDER_EXPORT = "Exportbestellung.csv"
CUSTOMER_FIELDS = 25
ORDER_FIELDS = 27
# How many read rows the import page lists; the rest are only counted.
ROWS_SHOWN = 100


# Windows-1252 leaves five bytes undefined; Windows reads them as the control characters of the
# same number, and so does the shop.
def _undefined_as_control(error):
    bad = error.object[error.start:error.end]
    return "".join(chr(byte) for byte in bad), error.end


codecs.register_error("warenkai_demo_control", _undefined_as_control)


def decode_windows1252(data):
    return data.decode("cp1252", errors="warenkai_demo_control")


def encode_windows1252(text):
    return text.encode("cp1252")


# ---------------------------------------------------------------------------------------------
# Demo data of the export page. The customer numbers of the orders are those of the customers;
# the article numbers are those of the Selectline stand-in's demo company (10001 to 10009).

CUSTOMER_HEADER = [
    "kundennummer", "name", "zusatz", "strasse", "plz", "ort", "land", "branche", "ustid",
    "steuernummer", "email", "telefon1", "telefon2", "fax",
    "liefer_name", "liefer_zusatz", "liefer_strasse", "liefer_plz", "liefer_ort",
    "rechnung_name", "rechnung_zusatz", "rechnung_strasse", "rechnung_plz", "rechnung_ort",
    "kundenart",
]

CUSTOMERS = [
    # A customer Selectline already knows: the import updates it.
    ["10003", "Elektro Weiß & Söhne KG", "Einkauf", "Industriestraße 45", "44137", "Dortmund", "DE",
     "Elektroinstallation", "DE987654321", "", "einkauf@weiss-soehne.de", "0231 998877", "",
     "0231 998878",
     "Elektro Weiß & Söhne KG", "Lager Tor 3", "Hafenstraße 2", "44147", "Dortmund",
     "", "", "", "", "",
     "Gewerbe"],
    ["20001", "Müller, Gartenbau", "Inh. Jörg Müller", "Gartenweg 7", "34119", "Kassel", "DE",
     "Gartenbau", "", "026 987 65432", "joerg@mueller-gartenbau.de", "0561 778899",
     "0171 1234567", "",
     "", "", "", "", "",
     "Müller Gartenbau Buchhaltung", "z. Hd. Frau Öztürk", "Postfach 1234", "34001", "Kassel",
     "Händler"],
    ["20002", "Anna Schäfer", "", "Lindenstraße 1a", "80331", "München", "DE", "", "", "",
     "anna.schaefer@example.de", "089 123456", "", "",
     "Anna Schäfer", "c/o Nachbarin", "Lindenstraße 3", "80331", "München",
     "", "", "", "", "",
     "Privat"],
    ["20003", "Blumenhaus „Zur Rose“ GmbH", "", "Am Markt 5", "01067", "Dresden", "DE", "Floristik",
     "DE555666777", "", "rose@example.de", "0351 445566", "", "0351 445567",
     "", "", "", "", "",
     "", "", "", "", "",
     "Gewerbe"],
]

ORDER_HEADER = [
    "bestellnummer", "bestelldatum", "kundennummer", "status", "zahlungsart", "artikelbezeichnung",
    "artikelnummer", "variante", "einzelpreis", "waehrung", "rabatt", "mwst", "versandart",
    "versandkosten", "gesamtpreis", "gewicht", "lieferzeit", "gutschein", "menge", "einheit",
    "bemerkung", "bezahlt", "kommentar", "ip", "kontoinhaber", "kontonummer", "kreditinstitut",
]


def _order_line(number, date, customer, payment, text, article, price, tax, total, quantity,
                remark, paid, comment, holder, account, bank):
    return [number, date, customer, "neu", payment, text, article, "", price, "EUR", "", tax,
            "DHL", "4.90", total, "", "2-3 Tage", "", quantity, "Stk", remark, paid, comment,
            "127.0.0.1", holder, account, bank]


ORDERS = [
    # Order 5001 of customer 20001, three lines.
    _order_line("5001", "2025-03-14 10:22", "20001", "Vorkasse", "Spaten \u00bbProfi\u00ab",
                "10001", "34.90", "19", "69.80", "2", "Bitte vor 12 Uhr liefern", "ja",
                "Tor ist offen", "", "", ""),
    _order_line("5001", "2025-03-14 10:22", "20001", "Vorkasse", "Grabegabel 4 Zinken",
                "10002", "29.90", "19", "29.90", "1", "Bitte vor 12 Uhr liefern", "ja",
                "Tor ist offen", "", "", ""),
    _order_line("5001", "2025-03-14 10:22", "20001", "Vorkasse", "Laubrechen verzinkt",
                "10005", "12.50", "19", "37.50", "3", "Bitte vor 12 Uhr liefern", "ja",
                "Tor ist offen", "", "", ""),
    # Order 5002 of customer 20002, one line, paid by direct debit.
    _order_line("5002", "2025-03-14 11:05", "20002", "Lastschrift", "Rosenschere Bypass, mit Saftrille",
                "10003", "14.95", "19", "14.95", "1", "", "", "Geschenk, bitte ohne Rechnung im Paket",
                "Anna Schäfer", "DE02120300000000202051", "Deutsche Kreditbank"),
    # Order 5003 of customer 10003, two lines.
    _order_line("5003", "2025-03-15 08:40", "10003", "Rechnung", "Heckenschere elektrisch 600 W",
                "10004", "89.00", "19", "178.00", "2", "Lieferung an Lager Tor 3", "", "", "", "", ""),
    _order_line("5003", "2025-03-15 08:40", "10003", "Rechnung", "Gartenschlauch 3/4 Zoll 50 m",
                "10009", "69.00", "19", "69.00", "1", "Lieferung an Lager Tor 3", "", "", "", "", ""),
    # Order 5004 of customer 20003, two lines.
    _order_line("5004", "2025-03-16 17:30", "20003", "PayPal", "Schubkarre 100 l",
                "10006", "79.00", "19", "79.00", "1", "", "ja", "", "", "", ""),
    _order_line("5004", "2025-03-16 17:30", "20003", "PayPal", "Gartenschlauch 1/2 Zoll 20 m",
                "10007", "24.90", "19", "49.80", "2", "", "ja", "", "", "", ""),
]


def shop_csv(rows):
    """The shop's export format: every field in double quotes, commas between, CR LF after every
    line, Windows-1252. Values never hold a double quote (the shop replaces them)."""
    lines = []
    for row in rows:
        for value in row:
            if '"' in value:
                raise ValueError("a double quote in a shop value: %r" % value)
        lines.append(",".join('"' + value + '"' for value in row) + "\r\n")
    return encode_windows1252("".join(lines))


def generated_customers(count):
    """`count` further customers (numbers from 50001) with every address block filled, for trying the
    import on a large shop."""
    rows = []
    for index in range(count):
        number = str(50001 + index)
        rows.append([number, "Kunde " + number, "", "Weg %d" % (index + 1), "12345", "Musterstadt", "DE", "", "",
                     "", "kunde%s@example.de" % number, "", "", "",
                     "Kunde " + number, "Lager", "Weg %d" % (index + 1), "12345", "Musterstadt",
                     "Kunde " + number, "Buchhaltung", "Postfach %d" % (index + 1), "12345", "Musterstadt",
                     "Privat"])
    return rows


def customer_export_bytes(extra_customers=0):
    rows = [CUSTOMER_HEADER] + CUSTOMERS + generated_customers(extra_customers)
    assert all(len(row) == CUSTOMER_FIELDS for row in rows)
    return shop_csv(rows)


def order_export_bytes():
    rows = [ORDER_HEADER] + ORDERS
    assert all(len(row) == ORDER_FIELDS for row in rows)
    return shop_csv(rows)


def write_atomically(path, data):
    """Writes a temporary file beside `path` and renames it over `path` once it is complete, so an
    FTP download never sees half a file."""
    folder = os.path.dirname(path)
    descriptor, temporary = tempfile.mkstemp(prefix=".tmp-", dir=folder)
    try:
        with os.fdopen(descriptor, "wb") as out:
            out.write(data)
            out.flush()
            os.fsync(out.fileno())
        os.chmod(temporary, 0o644)
        os.replace(temporary, path)
    except BaseException:
        try:
            os.unlink(temporary)
        except OSError:
            pass
        raise


# ---------------------------------------------------------------------------------------------
# The import page's reading of an uploaded file.

QUOTED_LINE = re.compile(r'"[^"\r\n]*"(?:,"[^"\r\n]*")*')
QUOTED_FIELD = re.compile(r'"([^"\r\n]*)"')
EXPECTED_HEADER_START = {"artikel": "artikelnummer", "gruppen": "obergruppe"}


def read_shop_file(data, table):
    """Reads an article or group file as the shop's importer does. Returns (header, rows,
    problems): every line must be CR LF terminated, every field quoted, and every line must hold
    the header's number of fields."""
    problems = []
    if not data:
        return [], [], ["Die Datei ist leer."]
    text = decode_windows1252(data)
    if not text.endswith("\r\n"):
        problems.append("Die letzte Zeile endet nicht mit CR LF.")
    lines = text.split("\r\n")
    if lines and lines[-1] == "":
        lines.pop()
    parsed = []
    for number, line in enumerate(lines, start=1):
        if "\r" in line or "\n" in line:
            problems.append("Zeile %d: Zeilenende ohne CR LF." % number)
            parsed.append(None)
            continue
        if not QUOTED_LINE.fullmatch(line):
            problems.append("Zeile %d: nicht jedes Feld steht in Anführungszeichen." % number)
            parsed.append(None)
            continue
        parsed.append(QUOTED_FIELD.findall(line))
    header = parsed[0] if parsed and parsed[0] is not None else []
    if parsed and parsed[0] is not None:
        expected = EXPECTED_HEADER_START[table]
        if not header or header[0] != expected:
            problems.append('Die Kopfzeile beginnt nicht mit "%s" (Tabelle %s).' % (expected, table))
    rows = []
    for number, fields in enumerate(parsed[1:], start=2):
        if fields is None:
            continue
        if header and len(fields) != len(header):
            problems.append("Zeile %d: %d Felder statt %d." % (number, len(fields), len(header)))
            continue
        rows.append(fields)
    return header, rows, problems


def html_page(title, body):
    return ("<!DOCTYPE html>\n<html lang=\"de\"><head><meta charset=\"utf-8\"><title>%s</title></head>\n"
            "<body>\n<h1>%s</h1>\n%s</body></html>\n" % (html.escape(title), html.escape(title), body)
            ).encode("utf-8")


def import_result_page(name, table, header, rows, problems):
    parts = ["<p>Datei %s, Tabelle %s: %d Zeilen gelesen, %d Probleme.</p>\n"
             % (html.escape(name), html.escape(table), len(rows), len(problems))]
    if problems:
        parts.append("<h2>Probleme</h2>\n<ul>\n")
        parts.extend("<li>%s</li>\n" % html.escape(problem) for problem in problems)
        parts.append("</ul>\n")
    if header:
        parts.append("<h2>Gelesene Zeilen</h2>\n<table border=\"1\">\n<tr>")
        parts.extend("<th>%s</th>" % html.escape(column) for column in header)
        parts.append("</tr>\n")
        for row in rows[:ROWS_SHOWN]:
            parts.append("<tr>" + "".join("<td>%s</td>" % html.escape(value) for value in row) + "</tr>\n")
        parts.append("</table>\n")
        if len(rows) > ROWS_SHOWN:
            parts.append("<p>… und %d weitere Zeilen.</p>\n" % (len(rows) - ROWS_SHOWN))
    return html_page("Import " + name, "".join(parts))


# ---------------------------------------------------------------------------------------------

class Shop:
    def __init__(self, root, failing_pages, log_path):
        self.root = root
        self.shop = os.path.join(root, SHOP)
        self.import_folder = os.path.join(self.shop, IMPORT_FOLDER)
        self.picture_folder = os.path.join(self.shop, PICTURE_FOLDER)
        self.export_folder = os.path.join(self.shop, EXPORT_FOLDER)
        self.failing_pages = set(failing_pages)
        self.log_file = open(log_path, "a", encoding="utf-8", buffering=1) if log_path else None
        self.log_lock = threading.Lock()
        self.export_lock = threading.Lock()

    def make_folders(self):
        for folder in (self.import_folder, self.picture_folder, self.export_folder):
            os.makedirs(folder, exist_ok=True)

    def log(self, line):
        if self.log_file is not None:
            with self.log_lock:
                self.log_file.write(line.replace("\r", "\\r").replace("\n", "\\n") + "\n")

    def import_page(self, query):
        if "import" in self.failing_pages:
            return 500, html_page("Fehler", "<p>Interner Fehler des Demo-Shops (--fail-page import).</p>\n")
        names = query.get("Autowert", [])
        tables = query.get("Tabelle", [])
        if len(names) != 1 or len(tables) != 1:
            return 400, html_page("Fehler", "<p>Autowert und Tabelle müssen je einmal angegeben sein.</p>\n")
        name, table = names[0], tables[0]
        if table not in EXPECTED_HEADER_START:
            return 400, html_page("Fehler", "<p>Unbekannte Tabelle %s.</p>\n" % html.escape(table))
        if (not name or "/" in name or "\\" in name or ".." in name or "\0" in name
                or name.startswith(".")):
            return 400, html_page("Fehler", "<p>Ungültiger Dateiname %s.</p>\n" % html.escape(name))
        path = os.path.join(self.import_folder, name)
        if not os.path.isfile(path):
            return 404, html_page("Fehler", "<p>Die Datei %s ist nicht im Importordner.</p>\n" % html.escape(name))
        with open(path, "rb") as source:
            data = source.read()
        header, rows, problems = read_shop_file(data, table)
        return (422 if problems else 200), import_result_page(name, table, header, rows, problems)

    def export_page(self):
        if "export" in self.failing_pages:
            return 500, html_page("Fehler", "<p>Interner Fehler des Demo-Shops (--fail-page export).</p>\n")
        with self.export_lock:
            write_atomically(os.path.join(self.export_folder, CUSTOMER_EXPORT),
                             customer_export_bytes(self.extra_customers))
            write_atomically(os.path.join(self.export_folder, ORDER_EXPORT), order_export_bytes())
        return 200, html_page("Export fertig",
                              "<p>%s: %d Kunden, %s: %d Bestellzeilen.</p>\n"
                              % (CUSTOMER_EXPORT, len(CUSTOMERS) + self.extra_customers, ORDER_EXPORT, len(ORDERS)))

    def index_page(self):
        return 200, html_page("Demo-Shop", (
            '<p><a href="%s">Export der Kunden und Bestellungen</a></p>\n'
            '<p>Import: %s?Autowert=&lt;Datei&gt;&amp;Tabelle=artikel|gruppen</p>\n' % (EXPORT_PAGE, IMPORT_PAGE)))


def make_request_handler(shop, quiet):
    class Handler(BaseHTTPRequestHandler):
        server_version = "WarenkaiDemoShop/1.0"
        protocol_version = "HTTP/1.1"

        def do_GET(self):
            self.answer(send_body=True)

        def do_HEAD(self):
            self.answer(send_body=False)

        def answer(self, send_body):
            parts = urllib.parse.urlsplit(self.path)
            # A web server takes "//" in a path as "/" (a shop link ending with "/" gives one).
            path = re.sub("/+", "/", parts.path)
            query = urllib.parse.parse_qs(parts.query, keep_blank_values=True)
            headers = {}
            try:
                if path == "/":
                    status, body = 302, html_page("Weiter", '<p><a href="/shop/">Demo-Shop</a></p>\n')
                    headers["Location"] = "/shop/"
                elif path == IMPORT_PAGE:
                    status, body = shop.import_page(query)
                elif path == EXPORT_PAGE:
                    status, body = shop.export_page()
                elif path in ("/shop", "/shop/"):
                    status, body = shop.index_page()
                else:
                    status, body = 404, html_page("Nicht gefunden", "<p>Diese Seite gibt es nicht.</p>\n")
            except Exception as error:  # the page answers, whatever went wrong
                status, body = 500, html_page("Fehler", "<p>%s</p>\n" % html.escape(str(error)))
            shop.log("%s %d" % (self.path, status))
            self.send_response(status)
            self.send_header("Content-Type", "text/html; charset=utf-8")
            self.send_header("Content-Length", str(len(body)))
            for name, value in headers.items():
                self.send_header(name, value)
            self.end_headers()
            if send_body:
                self.wfile.write(body)

        def log_message(self, format, *args):
            if not quiet:
                sys.stderr.write("http: " + (format % args) + "\n")

    return Handler


def update_settings_file(path, values):
    """Sets the given keys of a settings file (Windows-1252, CR LF) and keeps every other line."""
    lines = []
    if os.path.exists(path):
        with open(path, "rb") as source:
            text = decode_windows1252(source.read())
        lines = [line for line in re.split(r"\r\n|\r|\n", text)]
        if lines and lines[-1] == "":
            lines.pop()
    done = set()
    for index, line in enumerate(lines):
        key = line.split("=", 1)[0]
        if key in values:
            lines[index] = key + "=" + values[key]
            done.add(key)
    for key, value in values.items():
        if key not in done:
            lines.append(key + "=" + value)
    folder = os.path.dirname(os.path.abspath(path))
    os.makedirs(folder, exist_ok=True)
    write_atomically(os.path.abspath(path), encode_windows1252("".join(line + "\r\n" for line in lines)))


def main():
    parser = argparse.ArgumentParser(description="Demo-Webshop für Warenkai (FTP und Shop-Seiten auf 127.0.0.1).")
    parser.add_argument("--ftp-port", type=int, default=2121)
    parser.add_argument("--http-port", type=int, default=8080)
    parser.add_argument("--user", default="demo")
    parser.add_argument("--password", default="demo")
    parser.add_argument("--settings", default="Einstellungen.ini")
    parser.add_argument("--root")
    parser.add_argument("--write-settings", action="store_true")
    parser.add_argument("--fail-page", action="append", default=[], choices=["import", "export"])
    parser.add_argument("--extra-customers", type=int, default=0,
                        help="so viele weitere Kunden im Export (ab Nummer 50001)")
    parser.add_argument("--print-ports", action="store_true")
    parser.add_argument("--log")
    parser.add_argument("--stop-on-eof", action="store_true")
    parser.add_argument("--quiet", action="store_true")
    options = parser.parse_args()

    settings_path = os.path.abspath(options.settings)
    root = os.path.abspath(options.root or os.path.join(os.path.dirname(settings_path), "demo-shop"))
    shop = Shop(root, options.fail_page, options.log)
    shop.extra_customers = max(options.extra_customers, 0)
    shop.make_folders()

    logging.basicConfig(level=logging.WARNING if options.quiet else logging.INFO, stream=sys.stderr,
                        format="ftp: %(message)s")

    authorizer = DummyAuthorizer()
    authorizer.add_user(options.user, options.password, root, perm="elradfmwMT")

    class CommandHandler(FTPHandler):
        banner = "Warenkai demo shop ready."
        auth_failed_timeout = 0.1
        use_sendfile = False

    CommandHandler.authorizer = authorizer
    try:
        ftp_server = FTPServer(("127.0.0.1", options.ftp_port), CommandHandler)
        http_server = ThreadingHTTPServer(("127.0.0.1", options.http_port),
                                          make_request_handler(shop, options.quiet))
    except OSError as error:
        sys.stderr.write("demo_shop: cannot listen: %s\n" % error)
        return 1
    http_server.daemon_threads = True
    ftp_port = ftp_server.socket.getsockname()[1]
    http_port = http_server.server_address[1]

    stop = threading.Event()
    signal.signal(signal.SIGTERM, lambda *_: stop.set())
    signal.signal(signal.SIGINT, lambda *_: stop.set())
    if options.stop_on_eof:
        def watch_stdin():
            try:
                while sys.stdin.buffer.read(4096):
                    pass
            finally:
                stop.set()
        threading.Thread(target=watch_stdin, daemon=True).start()

    http_thread = threading.Thread(target=http_server.serve_forever, kwargs={"poll_interval": 0.2}, daemon=True)
    http_thread.start()

    shop_link = "http://127.0.0.1:%d/shop" % http_port
    if options.write_settings:
        update_settings_file(settings_path, {
            "GRUND0": "127.0.0.1:%d" % ftp_port,
            "GRUND1": options.user,
            "GRUND2": options.password,
            "GRUND3": "/" + SHOP,
            "GRUND4": shop_link,
        })
    if options.print_ports:
        print("ftp=%d http=%d" % (ftp_port, http_port), flush=True)
    else:
        print("Demo-Shop läuft (Ende mit Strg-C).\n"
              "  FTP-Server:     127.0.0.1:%d  Benutzer %s, Passwort %s\n"
              "  Shop-Root:      /%s\n"
              "  Shop-Link:      %s\n"
              "  Ordner:         %s%s"
              % (ftp_port, options.user, options.password, SHOP, shop_link, root,
                 "\n  Einstellungen:  " + settings_path + " angepasst" if options.write_settings else ""),
              flush=True)

    try:
        # One turn of the FTP server's loop at a time, so a stop is noticed within 0.2 s.
        while not stop.is_set():
            ftp_server.ioloop.loop(0.2, blocking=False)
    finally:
        http_server.shutdown()
        http_server.server_close()
        ftp_server.close_all()
    return 0


if __name__ == "__main__":
    sys.exit(main())
