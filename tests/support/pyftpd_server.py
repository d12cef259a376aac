#!/usr/bin/python3
"""Starts a pyftpdlib server on 127.0.0.1 for the test suite.

Prints "PORT <n>" on its first line once it listens, then serves until it is
killed or its standard input closes (so a crashed test never leaves it behind).
"""
import argparse
import os
import sys
import threading

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.filesystems import AbstractedFS
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer


class DosListingFS(AbstractedFS):
    """Serves LIST in the MS-DOS/IIS style that some Windows servers use."""

    def format_list(self, basedir, listing, ignore_err=True):
        import time
        for basename in listing:
            path = os.path.join(basedir, basename)
            try:
                st = self.lstat(path)
            except OSError:
                if ignore_err:
                    continue
                raise
            stamp = time.strftime("%m-%d-%y  %I:%M%p", time.localtime(st.st_mtime))
            if os.path.isdir(path):
                line = "%s       <DIR>          %s\r\n" % (stamp, basename)
            else:
                line = "%s %20d %s\r\n" % (stamp, st.st_size, basename)
            yield line.encode("utf8", self.cmd_channel.unicode_errors)


# --- FTP over TLS: pyftpdlib's TLS handler (needs python3-openssl) ---

def add_tls_options(parser):
    parser.add_argument("--tls", choices=("explicit", "implicit"),
                        help="FTP over TLS: AUTH TLS required, or TLS from the first byte")
    parser.add_argument("--cert", help="the server's certificate (PEM)")
    parser.add_argument("--key", help="its private key (PEM)")
    parser.add_argument("--tls-fault", choices=("cut-data", "tls10"),
                        help="cut-data: data connections end without the TLS close; "
                             "tls10: nothing newer than TLS 1.0")


def tls_handler_base(args):
    """The handler class to derive from for --tls, or None."""
    if not args.tls:
        return None
    from OpenSSL import SSL
    from pyftpdlib.handlers import TLS_DTPHandler, TLS_FTPHandler

    class CutDataHandler(TLS_DTPHandler):
        def close(self):
            self._error = True  # skips the TLS close: the connection just ends
            TLS_DTPHandler.close(self)

    class TestTlsHandler(TLS_FTPHandler):
        certfile = args.cert
        keyfile = args.key
        tls_control_required = True
        tls_data_required = True
        if args.tls_fault == "cut-data":
            dtp_handler = CutDataHandler
        if args.tls_fault == "tls10":
            ssl_protocol = SSL.TLSv1_METHOD

        @classmethod
        def get_ssl_context(cls):
            context = TLS_FTPHandler.get_ssl_context.__func__(cls)
            if args.tls_fault == "tls10":
                context.set_cipher_list(b"DEFAULT:@SECLEVEL=0")
            return context

        def handle(self):
            if args.tls == "implicit":
                self.secure_connection(self.ssl_context)
            TLS_FTPHandler.handle(self)

    return TestTlsHandler


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", required=True)
    parser.add_argument("--port", type=int, default=0)
    parser.add_argument("--user", default="tester")
    parser.add_argument("--password", default="secret")
    parser.add_argument("--anonymous", action="store_true", help="also allow anonymous logins")
    parser.add_argument("--dos-listing", action="store_true", help="LIST in MS-DOS style")
    parser.add_argument("--no-mlsd", action="store_true", help="do not offer MLSD/MLST")
    parser.add_argument("--banner", default="VeltrimFTP test server ready.")
    add_tls_options(parser)
    args = parser.parse_args()

    authorizer = DummyAuthorizer()
    authorizer.add_user(args.user, args.password, args.root, perm="elradfmwMT")
    if args.anonymous:
        authorizer.add_anonymous(args.root, perm="elr")

    handler = type("TestHandler", (tls_handler_base(args) or FTPHandler,), {})
    handler.authorizer = authorizer
    handler.banner = args.banner
    handler.auth_failed_timeout = 0
    handler.timeout = 600
    if args.dos_listing:
        handler.abstracted_fs = DosListingFS
    if args.no_mlsd:
        handler.proto_cmds = {k: v for k, v in FTPHandler.proto_cmds.items()
                              if k not in ("MLSD", "MLST")}

    server = FTPServer(("127.0.0.1", args.port), handler)
    server.max_cons = 256
    port = server.socket.getsockname()[1]
    sys.stdout.write("PORT %d\n" % port)
    sys.stdout.flush()

    def watch_stdin():
        try:
            sys.stdin.read()
        finally:
            os._exit(0)

    threading.Thread(target=watch_stdin, daemon=True).start()
    server.serve_forever(timeout=0.5, blocking=True)


if __name__ == "__main__":
    import logging
    logging.basicConfig(level=logging.CRITICAL)
    main()
