#!/usr/bin/python3
"""warenkai.exe from the command line under wine, against the tests' FTP server on 127.0.0.1.

    cli_under_wine.py WARENKAI_EXE

In a fresh program folder (a copy of the program and its Einstellungen.ini): `warenkai pictures`
uploads a picture whose name lies outside the ANSI code page ("Łódź.jpg") byte for byte, and a
second run on the same folder while the first one waits for the server's answer to STOR is refused
by the transfer lock with exit status 2 and the lock's text. Run by ctest on the build host with the
wine prefix of the ctest fixture "wine"; wine's output goes to files (a kept-up wine server would
hold a pipe open). Exit status 0 when everything holds, 1 with the differences on stderr.
"""

import os
import shutil
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
WINE_RUN = os.path.join(ROOT, "tools", "wine-run.sh")
FTP_SERVER = os.path.join(ROOT, "tests", "support", "ftp_server.py")
USER, PASSWORD = "warenkai", "Ge@heim:1 ä/x"
PICTURE = "Łódź.jpg"
PICTURE_BYTES = bytes(range(256)) * 40
STOR_DELAY_SECONDS = 5
LOCK_TEXT = ("warenkai: Es läuft bereits eine Übertragung für diesen Programmordner. "
             "Bitte warten Sie, bis sie beendet ist.")


def settings_file(port, picture_folder):
    """Einstellungen.ini as the program writes it: Windows-1252, CR LF (the mapping rows left out)."""
    lines = ["GRUND0=127.0.0.1:%d" % port, "GRUND1=" + USER, "GRUND2=" + PASSWORD, "GRUND3=/shop", "GRUND4=",
             "GRUND5=" + picture_folder, "ARTIKELCHECK=Nein", "DATENCHECK1=Nein", "DATENCHECK2=Ja"]
    return "".join(line + "\r\n" for line in lines).encode("cp1252")


def windows_path(path):
    """The path as wine's drive Z: shows it."""
    return "Z:" + path.replace("/", "\\")


class Run:
    """warenkai.exe under wine with its output in files."""

    def __init__(self, folder, name, *arguments):
        self.out_file = os.path.join(folder, "..", name + ".out")
        self.err_file = os.path.join(folder, "..", name + ".err")
        with open(self.out_file, "wb") as out, open(self.err_file, "wb") as err:
            self.process = subprocess.Popen([WINE_RUN, os.path.join(folder, "warenkai.exe"), *arguments],
                                            stdin=subprocess.DEVNULL, stdout=out, stderr=err, cwd=folder)

    def finish(self, timeout=120):
        self.status = self.process.wait(timeout)
        self.out = open(self.out_file, "rb").read().decode("utf-8", "replace").replace("\r\n", "\n")
        self.err = open(self.err_file, "rb").read().decode("utf-8", "replace").replace("\r\n", "\n")
        return self


def wait_for(condition, seconds):
    end = time.monotonic() + seconds
    while not condition():
        if time.monotonic() > end:
            return False
        time.sleep(0.05)
    return True


def main():
    problems = []

    def check(holds, text):
        if not holds:
            problems.append(text)

    work = tempfile.mkdtemp(prefix="warenkai-wine-")
    server = None
    try:
        root = os.path.join(work, "root")
        os.makedirs(os.path.join(root, "shop", "config", "bilder_artikel"))
        log = os.path.join(work, "ftp.log")
        server_err = os.path.join(work, "ftp.err")
        with open(server_err, "wb") as err:
            server = subprocess.Popen(
                ["/usr/bin/python3", FTP_SERVER, "--root", root, "--log", log, "--user", USER, PASSWORD,
                 "elradfmwMT", "--delay", "STOR", str(STOR_DELAY_SECONDS)],
                stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=err, env=dict(os.environ, PYTHONUTF8="1"))
        first_line = server.stdout.readline()
        if not first_line.startswith(b"PORT "):
            print("the FTP server did not start:", open(server_err, encoding="utf-8").read(), file=sys.stderr)
            return 1
        port = int(first_line.split()[1])

        folder = os.path.join(work, "program")
        pictures = os.path.join(work, "bilder")
        os.makedirs(folder)
        os.makedirs(pictures)
        shutil.copy(sys.argv[1], os.path.join(folder, "warenkai.exe"))
        with open(os.path.join(pictures, PICTURE), "wb") as picture:
            picture.write(PICTURE_BYTES)
        with open(os.path.join(folder, "Einstellungen.ini"), "wb") as settings:
            settings.write(settings_file(port, windows_path(pictures)))

        first = Run(folder, "first", "pictures")
        stor_seen = wait_for(lambda: os.path.exists(log) and "cmd STOR" in open(log, encoding="utf-8").read(), 60)
        check(stor_seen, "the first run sent no STOR within 60 s")
        if stor_seen:
            second = Run(folder, "second", "pictures").finish()
            check(second.status == 2, "second run: exit status %d, expected 2" % second.status)
            check(second.err == LOCK_TEXT + "\n", "second run: stderr %r, expected the lock's text" % second.err)
        first.finish()
        check(first.status == 0, "first run: exit status %d, expected 0\n%s%s" % (first.status, first.out, first.err))
        expected_line = "Übertrage die Datei %s (1 von 1 Dateien)" % PICTURE
        check(expected_line in first.out and "\nFertig\n" in first.out,
              "first run: no %r and \"Fertig\" on stdout:\n%s" % (expected_line, first.out))
        received = os.path.join(root, "shop", "config", "bilder_artikel", PICTURE)
        check(os.path.exists(received) and open(received, "rb").read() == PICTURE_BYTES,
              "the server did not receive %s byte for byte (it has: %s)"
              % (PICTURE, os.listdir(os.path.dirname(received))))
    finally:
        if server is not None:
            server.stdin.close()
            server.wait(10)
        shutil.rmtree(work, ignore_errors=True)

    for problem in problems:
        print(problem, file=sys.stderr)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
