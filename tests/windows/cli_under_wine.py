#!/usr/bin/python3
# warenkai.exe from the command line under wine, against the tests' FTP server on 127.0.0.1:
#     cli_under_wine.py WARENKAI_EXE
# In a fresh program folder (a copy of the program and its Einstellungen.ini), `warenkai pictures`
# uploads a picture whose name lies outside the ANSI code page ("Łódź.jpg") byte for byte, and a
# second run on the same folder while the first one waits for the server's answer to STOR is refused
# by the transfer lock with exit status 2 and the lock's text. Run by ctest with the wine prefix of the
# fixture "wine"; wine's output goes to files (a kept-up wine server would hold a pipe open). Exit
# status 0 when everything holds, 1 with the differences on stderr.

import os
import shutil
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
USER, PASSWORD = "warenkai", "Ge@heim:1 ä/x"
PICTURE, PICTURE_BYTES = "Łódź.jpg", bytes(range(256)) * 40
LOCK_TEXT = ("warenkai: Es läuft bereits eine Übertragung für diesen Programmordner. "
             "Bitte warten Sie, bis sie beendet ist.\n")


def start(folder, name, *arguments):
    """warenkai.exe under wine, its output in the files name.out and name.err beside the folder."""
    with open(os.path.join(folder, "..", name + ".out"), "wb") as out, \
            open(os.path.join(folder, "..", name + ".err"), "wb") as err:
        return subprocess.Popen([os.path.join(ROOT, "tools", "wine-run.sh"), os.path.join(folder, "warenkai.exe"),
                                 *arguments], stdin=subprocess.DEVNULL, stdout=out, stderr=err, cwd=folder)


def finish(process, folder, name):
    """Exit status, stdout and stderr of a run, with LF line ends."""
    status = process.wait(120)
    texts = [open(os.path.join(folder, "..", name + ending), "rb").read().decode("utf-8", "replace")
             for ending in (".out", ".err")]
    return [status] + [text.replace("\r\n", "\n") for text in texts]


def main():
    problems = []
    work = tempfile.mkdtemp(prefix="warenkai-wine-")
    server = None
    try:
        root, log = os.path.join(work, "root"), os.path.join(work, "ftp.log")
        os.makedirs(os.path.join(root, "shop", "config", "bilder_artikel"))
        server = subprocess.Popen(
            ["/usr/bin/python3", os.path.join(ROOT, "tests", "support", "ftp_server.py"), "--root", root, "--log", log,
             "--user", USER, PASSWORD, "elradfmwMT", "--delay", "STOR", "5"],
            stdin=subprocess.PIPE, stdout=subprocess.PIPE, env=dict(os.environ, PYTHONUTF8="1"))
        port = int(server.stdout.readline().split()[1])
        folder, pictures = os.path.join(work, "program"), os.path.join(work, "bilder")
        os.makedirs(folder)
        os.makedirs(pictures)
        shutil.copy(sys.argv[1], os.path.join(folder, "warenkai.exe"))
        with open(os.path.join(pictures, PICTURE), "wb") as picture:
            picture.write(PICTURE_BYTES)
        # As the program writes it (Windows-1252, CR LF); the mapping rows left out. Drive Z: is "/".
        lines = ["GRUND0=127.0.0.1:%d" % port, "GRUND1=" + USER, "GRUND2=" + PASSWORD, "GRUND3=/shop", "GRUND4=",
                 "GRUND5=Z:" + pictures.replace("/", "\\"), "ARTIKELCHECK=Nein", "DATENCHECK1=Nein", "DATENCHECK2=Ja"]
        with open(os.path.join(folder, "Einstellungen.ini"), "wb") as settings:
            settings.write("".join(line + "\r\n" for line in lines).encode("cp1252"))

        first = start(folder, "first", "pictures")
        deadline = time.monotonic() + 60
        while not (os.path.exists(log) and "cmd STOR" in open(log, encoding="utf-8").read()):
            if time.monotonic() > deadline:
                problems.append("the first run sent no STOR within 60 s")
                break
            time.sleep(0.05)
        else:
            second = finish(start(folder, "second", "pictures"), folder, "second")
            if second != [2, "", LOCK_TEXT]:
                problems.append("second run: %r, expected exit status 2 and the lock's text" % second)
        status, out, err = finish(first, folder, "first")
        if status != 0 or "Übertrage die Datei %s (1 von 1 Dateien)\n" % PICTURE not in out or "\nFertig\n" not in out:
            problems.append("first run: exit status %d, expected 0 and the picture's line and \"Fertig\":\n%s%s"
                            % (status, out, err))
        received = os.path.join(root, "shop", "config", "bilder_artikel", PICTURE)
        if not os.path.exists(received) or open(received, "rb").read() != PICTURE_BYTES:
            problems.append("the server did not receive %s byte for byte (it has: %s)"
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
