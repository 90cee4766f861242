#!/usr/bin/python3
"""A small FTP server for the tests: pyftpdlib on 127.0.0.1, with faults on request.

Run with Debian's /usr/bin/python3 (package python3-pyftpdlib). The C++ fixture
tests/support/ftp_test_server.h starts it; use that rather than this script directly.

    ftp_server.py --root DIR --user NAME PASSWORD PERM [--user ...] [--log FILE]
                  [--refuse-login] [--drop-after N] [--stall-after N] [--mute CMD ...]
                  [--rate BYTES_PER_SECOND] [--delay CMD SECONDS ...]
                  [--tls CERTFILE KEYFILE [--implicit-tls] [--new-certificate HOST CAFILE]]

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

TLS (needs Debian's python3-openssl):
  --tls CERTFILE KEYFILE   FTP over TLS with this certificate (PEM) and key: AUTH TLS is offered,
                           and USER/PASS and data connections are refused until the control
                           connection is protected (550) and PROT P was given (550)
  --implicit-tls           TLS from the first byte of every control connection instead of
                           AUTH TLS (what ftps:// expects)
  --new-certificate HOST CAFILE
                           before starting, write a fresh test authority's certificate to CAFILE
                           and a certificate for HOST (a DNS name or an IP address) signed by it,
                           with its key, to CERTFILE and KEYFILE

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


def make_certificate(host, ca_file, cert_file, key_file):
    """A test authority valid for a day (into ca_file) and a server certificate for host signed by it."""
    import datetime
    import ipaddress

    from cryptography import x509
    from cryptography.hazmat.primitives import hashes, serialization
    from cryptography.hazmat.primitives.asymmetric import ec
    from cryptography.x509.oid import ExtendedKeyUsageOID, NameOID

    now = datetime.datetime.now(datetime.timezone.utc)

    def builder(subject, issuer, key):
        return (x509.CertificateBuilder().subject_name(subject).issuer_name(issuer).public_key(key.public_key())
                .serial_number(x509.random_serial_number())
                .not_valid_before(now - datetime.timedelta(hours=1))
                .not_valid_after(now + datetime.timedelta(days=1))
                .add_extension(x509.SubjectKeyIdentifier.from_public_key(key.public_key()), critical=False))

    def name(text):
        return x509.Name([x509.NameAttribute(NameOID.COMMON_NAME, text)])

    ca_key = ec.generate_private_key(ec.SECP256R1())
    ca_name = name("Warenkai Test-CA")
    ca = (builder(ca_name, ca_name, ca_key)
          .add_extension(x509.BasicConstraints(ca=True, path_length=0), critical=True)
          .add_extension(x509.KeyUsage(digital_signature=True, content_commitment=False, key_encipherment=False,
                                       data_encipherment=False, key_agreement=False, key_cert_sign=True,
                                       crl_sign=True, encipher_only=False, decipher_only=False), critical=True)
          .sign(ca_key, hashes.SHA256()))

    try:
        alt_name = x509.IPAddress(ipaddress.ip_address(host))
    except ValueError:
        alt_name = x509.DNSName(host)
    key = ec.generate_private_key(ec.SECP256R1())
    cert = (builder(name(host), ca_name, key)
            .add_extension(x509.SubjectAlternativeName([alt_name]), critical=False)
            .add_extension(x509.BasicConstraints(ca=False, path_length=None), critical=True)
            .add_extension(x509.ExtendedKeyUsage([ExtendedKeyUsageOID.SERVER_AUTH]), critical=False)
            .add_extension(x509.AuthorityKeyIdentifier.from_issuer_public_key(ca_key.public_key()), critical=False)
            .sign(ca_key, hashes.SHA256()))

    with open(ca_file, "wb") as out:
        out.write(ca.public_bytes(serialization.Encoding.PEM))
    with open(cert_file, "wb") as out:
        out.write(cert.public_bytes(serialization.Encoding.PEM))
    with open(key_file, "wb") as out:
        out.write(key.private_bytes(serialization.Encoding.PEM, serialization.PrivateFormat.PKCS8,
                                    serialization.NoEncryption()))


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
    parser.add_argument("--tls", nargs=2, metavar=("CERTFILE", "KEYFILE"))
    parser.add_argument("--implicit-tls", action="store_true")
    parser.add_argument("--new-certificate", nargs=2, metavar=("HOST", "CAFILE"))
    options = parser.parse_args()

    if options.implicit_tls and not options.tls:
        parser.error("--implicit-tls needs --tls")
    if options.tls:
        # Only TLS needs python3-openssl.
        from pyftpdlib.handlers import TLS_DTPHandler, TLS_FTPHandler
        if options.new_certificate:
            host, ca_file = options.new_certificate
            make_certificate(host, ca_file, *options.tls)
        command_bases = (TLS_FTPHandler,)
        data_bases = (TLS_DTPHandler, ThrottledDTPHandler)
    else:
        command_bases = (FTPHandler,)
        data_bases = (ThrottledDTPHandler,)

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

    class DataHandler(*data_bases):
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

        def readable(self):
            # pyftpdlib takes a data connection that has something to read before its STOR or RETR
            # for one the client has closed; libcurl starts the TLS handshake at once, though.
            if getattr(self, "_ssl_accepting", False):
                return True
            return super().readable()

        def handle_read_event(self):
            # With TLS the base class finishes the handshake here before it reads.
            super().handle_read_event()
            if not self._closed:
                self._check_fault()

        def send(self, data):
            if options.stall_after >= 0 or options.drop_after >= 0:
                # Small pieces so the fault strikes close to its byte count.
                data = data[:65536]
            sent = super().send(data)
            self._check_fault()
            return sent

    class CommandHandler(*command_bases):
        dtp_handler = DataHandler
        if options.tls:
            certfile, keyfile = options.tls
            tls_control_required = True
            tls_data_required = True
        auth_failed_timeout = 0.05
        max_login_attempts = 3
        timeout = 600
        banner = "Warenkai test server ready."
        use_sendfile = False

        def handle(self):
            if options.implicit_tls:
                # The banner waits for the handshake.
                self.secure_connection(self.ssl_context)
            super().handle()

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
