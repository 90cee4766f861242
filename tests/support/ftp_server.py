#!/usr/bin/python3
"""A small FTP server for the tests: pyftpdlib on 127.0.0.1, with faults on request.

Run with Debian's /usr/bin/python3 (package python3-pyftpdlib). The C++ fixture
tests/support/ftp_test_server.h starts it; use that rather than this script directly.

    ftp_server.py --root DIR --user NAME PASSWORD PERM [--user ...] [--log FILE]
                  [--refuse-login] [--drop-after N] [--stall-after N] [--mute CMD ...]
                  [--rate BYTES_PER_SECOND] [--delay CMD SECONDS ...]

It listens on a free port of 127.0.0.1 and prints "PORT <n>" on stdout once it accepts
connections. It ends when its standard input is closed (so it never outlives the test that
started it) or on SIGTERM.

Faults:
  --refuse-login     every log-in is answered with 530
  --drop-after N     once a data transfer has moved N bytes, both the data and the control
                     connection are closed
  --stall-after N    once a data transfer has moved N bytes, the data connection stays open but
                     no more byte is read or sent
  --mute CMD         the command CMD (e.g. PASS, STOR, EPSV) is never answered
  --rate N           data connections move at most N bytes per second (pyftpdlib's throttle:
                     bursts of N bytes, then a pause)
  --delay CMD S      the command CMD is answered only after S seconds

--log FILE receives one line per event, flushed at once:
  "connect", "login <user>", "login-failed <user>", "cmd <COMMAND> <argument>" (PASS shows
  "cmd PASS ******"), "received <path>", "incomplete-received <path>", "sent <path>",
  "incomplete-sent <path>"; paths are absolute server paths below the root, starting with "/".
"""

import argparse
import os
import signal
import sys
import threading

from pyftpdlib.authorizers import AuthenticationFailed, DummyAuthorizer
from pyftpdlib.handlers import FTPHandler, ThrottledDTPHandler
from pyftpdlib.servers import FTPServer


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", required=True)
    parser.add_argument("--user", nargs=3, action="append", default=[],
                        metavar=("NAME", "PASSWORD", "PERM"))
    parser.add_argument("--log")
    parser.add_argument("--refuse-login", action="store_true")
    parser.add_argument("--drop-after", type=int, default=-1)
    parser.add_argument("--stall-after", type=int, default=-1)
    parser.add_argument("--mute", action="append", default=[])
    parser.add_argument("--rate", type=int, default=0)
    parser.add_argument("--delay", nargs=2, action="append", default=[], metavar=("CMD", "SECONDS"))
    options = parser.parse_args()

    root = os.path.realpath(options.root)
    log_file = open(options.log, "a", encoding="utf-8", buffering=1) if options.log else None
    log_lock = threading.Lock()

    def log(line):
        if log_file is not None:
            with log_lock:
                log_file.write(line.replace("\n", "\\n").replace("\r", "\\r") + "\n")

    def server_path(absolute):
        relative = os.path.relpath(absolute, root)
        return "/" + ("" if relative == "." else relative.replace(os.sep, "/"))

    class Authorizer(DummyAuthorizer):
        def validate_authentication(self, username, password, handler):
            if options.refuse_login:
                raise AuthenticationFailed("Authentication failed.")
            super().validate_authentication(username, password, handler)

    authorizer = Authorizer()
    for name, password, perm in options.user:
        authorizer.add_user(name, password, root, perm=perm)

    muted = {command.upper() for command in options.mute}
    delays = {command.upper(): float(seconds) for command, seconds in options.delay}

    class DataHandler(ThrottledDTPHandler):
        read_limit = options.rate
        write_limit = options.rate
        # Large reads keep the server from being the slowest part of a loopback measurement.
        ac_in_buffer_size = 262144
        ac_out_buffer_size = 262144
        timeout = 600
        _fault_done = False

        def _moved(self):
            return self.tot_bytes_received + self.tot_bytes_sent

        def _check_fault(self):
            if self._fault_done:
                return
            if options.drop_after >= 0 and self._moved() >= options.drop_after:
                self._fault_done = True
                self.del_channel()
                self.ioloop.call_later(0, self.cmd_channel.close)
            elif options.stall_after >= 0 and self._moved() >= options.stall_after:
                self._fault_done = True
                self.del_channel()

        def handle_read(self):
            super().handle_read()
            if not self._closed:
                self._check_fault()

        handle_read_event = handle_read

        def send(self, data):
            if options.stall_after >= 0 or options.drop_after >= 0:
                # Small pieces so the fault strikes close to its byte count.
                data = data[:65536]
            sent = super().send(data)
            self._check_fault()
            return sent

    class CommandHandler(FTPHandler):
        dtp_handler = DataHandler
        auth_failed_timeout = 0.05
        max_login_attempts = 3
        timeout = 600
        banner = "Warenkai test server ready."
        use_sendfile = False

        def on_connect(self):
            log("connect")

        def on_login(self, username):
            log("login " + username)

        def on_login_failed(self, username, password):
            log("login-failed " + username)

        def on_file_received(self, file):
            log("received " + server_path(file))

        def on_incomplete_file_received(self, file):
            log("incomplete-received " + server_path(file))

        def on_file_sent(self, file):
            log("sent " + server_path(file))

        def on_incomplete_file_sent(self, file):
            log("incomplete-sent " + server_path(file))

        def pre_process_command(self, line, cmd, arg):
            log("cmd " + (cmd + " ******" if cmd == "PASS" else line))
            if cmd in muted:
                return
            if cmd in delays:
                process = super().pre_process_command
                self.ioloop.call_later(delays[cmd], lambda: None if self._closed else process(line, cmd, arg),
                                       _errback=self.handle_error)
                return
            super().pre_process_command(line, cmd, arg)

    CommandHandler.authorizer = authorizer
    server = FTPServer(("127.0.0.1", 0), CommandHandler)
    server.max_cons = 64

    def watch_stdin():
        try:
            while sys.stdin.buffer.read(4096):
                pass
        finally:
            os._exit(0)

    threading.Thread(target=watch_stdin, daemon=True).start()
    signal.signal(signal.SIGTERM, lambda *_: os._exit(0))

    print("PORT %d" % server.socket.getsockname()[1], flush=True)
    server.serve_forever(timeout=0.2, handle_exit=False)


if __name__ == "__main__":
    main()
