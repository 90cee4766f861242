#!/usr/bin/python3
"""The tests' FTP server: pyftpdlib (Debian's python3-pyftpdlib) on 127.0.0.1, with faults on request.

Started by tests/support/ftp_test_server.h, which documents the options; --delay CMD SECONDS (CMD
answered late) is for tests/windows/cli_under_wine.py. Prints "PORT <n>" once it accepts connections;
ends when its standard input closes (it never outlives its test) or on SIGTERM. The --log file gets
"login <user>" for each log-in and "cmd <line>" for each command (PASS as "cmd PASS ******").
"""

import argparse
import datetime
import ipaddress
import os
import signal
import sys
import threading

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import DTPHandler, FTPHandler
from pyftpdlib.servers import FTPServer


def make_certificate(folder):
    """A test authority (ca.pem) and a certificate for 127.0.0.1 signed by it (server.pem, server.key)."""
    from cryptography import x509
    from cryptography.hazmat.primitives import hashes, serialization
    from cryptography.hazmat.primitives.asymmetric import ec
    from cryptography.x509.oid import NameOID

    now = datetime.datetime.now(datetime.timezone.utc)
    ca_key, key = ec.generate_private_key(ec.SECP256R1()), ec.generate_private_key(ec.SECP256R1())

    def sign(subject, key, extension):
        name = lambda text: x509.Name([x509.NameAttribute(NameOID.COMMON_NAME, text)])
        return (x509.CertificateBuilder().subject_name(name(subject)).issuer_name(name("Warenkai Test-CA"))
                .public_key(key.public_key()).serial_number(x509.random_serial_number())
                .not_valid_before(now - datetime.timedelta(hours=1)).not_valid_after(now + datetime.timedelta(days=1))
                .add_extension(extension, critical=False).sign(ca_key, hashes.SHA256())
                .public_bytes(serialization.Encoding.PEM))

    files = {"ca.pem": sign("Warenkai Test-CA", ca_key, x509.BasicConstraints(ca=True, path_length=0)),
             "server.pem": sign("127.0.0.1", key, x509.SubjectAlternativeName(
                 [x509.IPAddress(ipaddress.ip_address("127.0.0.1"))])),
             "server.key": key.private_bytes(serialization.Encoding.PEM, serialization.PrivateFormat.PKCS8,
                                             serialization.NoEncryption())}
    for name, data in files.items():
        with open(os.path.join(folder, name), "wb") as out:
            out.write(data)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", required=True)
    parser.add_argument("--log", required=True)
    parser.add_argument("--user", nargs=3, action="append", default=[], metavar=("NAME", "PASSWORD", "PERM"))
    parser.add_argument("--drop-after", type=int, default=-1)
    parser.add_argument("--stall-after", type=int, default=-1)
    parser.add_argument("--mute", action="append", default=[])
    parser.add_argument("--delay", nargs=2, action="append", default=[], metavar=("CMD", "SECONDS"))
    parser.add_argument("--tls", choices=["explicit", "implicit"])
    parser.add_argument("--certificate-folder")
    options = parser.parse_args()

    command_base, data_base = FTPHandler, DTPHandler
    if options.tls:
        # Only TLS needs python3-openssl.
        from pyftpdlib.handlers import TLS_DTPHandler, TLS_FTPHandler
        command_base, data_base = TLS_FTPHandler, TLS_DTPHandler
        make_certificate(options.certificate_folder)

    log_file = open(options.log, "a", encoding="utf-8", buffering=1)
    log_lock = threading.Lock()

    def log(line):
        with log_lock:
            log_file.write(line.replace("\n", "\\n").replace("\r", "\\r") + "\n")

    delays = {command: float(seconds) for command, seconds in options.delay}
    authorizer = DummyAuthorizer()
    for name, password, perm in options.user:
        authorizer.add_user(name, password, options.root, perm=perm)

    class DataHandler(data_base):
        # Large reads keep the server from being the slowest part of a loopback benchmark.
        ac_in_buffer_size = ac_out_buffer_size = 262144
        _fault_done = False

        def _check_fault(self):
            moved = self.tot_bytes_received + self.tot_bytes_sent
            drop = 0 <= options.drop_after <= moved
            if not self._fault_done and (drop or 0 <= options.stall_after <= moved):
                # Stall: no more reads or writes on the open connection; drop: the control one closes too.
                self._fault_done = True
                self.del_channel()
                if drop:
                    self.ioloop.call_later(0, self.cmd_channel.close)

        def readable(self):
            # pyftpdlib takes a data connection with bytes to read before its STOR or RETR for one
            # the client closed; libcurl starts the TLS handshake at once, though.
            return getattr(self, "_ssl_accepting", False) or super().readable()

        def handle_read_event(self):
            super().handle_read_event()  # with TLS, this finishes the handshake first
            if not self._closed:
                self._check_fault()

        def send(self, data):
            if options.drop_after >= 0 or options.stall_after >= 0:
                data = data[:65536]  # small pieces so a fault strikes close to its byte count
            sent = super().send(data)
            self._check_fault()
            return sent

    class CommandHandler(command_base):
        dtp_handler = DataHandler
        auth_failed_timeout = 0.05
        use_sendfile = False
        if options.tls:
            certfile, keyfile = (os.path.join(options.certificate_folder, name) for name in ("server.pem", "server.key"))
            tls_control_required = tls_data_required = True

        def handle(self):
            if options.tls == "implicit":
                self.secure_connection(self.ssl_context)  # the banner waits for the handshake
            super().handle()

        on_login = lambda self, user: log("login " + user)

        def pre_process_command(self, line, cmd, arg):
            log("cmd " + ("PASS ******" if cmd == "PASS" else line))
            process = super().pre_process_command
            if cmd in delays:
                self.ioloop.call_later(delays[cmd], lambda: self._closed or process(line, cmd, arg),
                                       _errback=self.handle_error)
            elif cmd not in options.mute:
                process(line, cmd, arg)

    CommandHandler.authorizer = authorizer
    server = FTPServer(("127.0.0.1", 0), CommandHandler)

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
