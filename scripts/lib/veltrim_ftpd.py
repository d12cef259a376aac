#!/usr/bin/python3
"""The pyftpdlib server of VeltrimFTP's tests and of its demo (scripts/run).

Serves --root on 127.0.0.1 (a free port unless --port is given), prints
"PORT <n>" on its first line once it listens, and serves until it is killed
or its standard input closes, so that a crashed test or demo never leaves it
behind. The options switch on what a test or the demo needs: users, hostile
listings, a throttled data channel, FTP over TLS (with faults to order), and
the demo tree with a profile that connects to it.
"""
import argparse
import logging
import os
import struct
import sys
import threading
import time

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.filesystems import AbstractedFS
from pyftpdlib.handlers import FTPHandler, ThrottledDTPHandler
from pyftpdlib.servers import FTPServer

# --hostile: listing lines added to every directory named "evil", names that
# try to climb out of the folder a client downloads into.
HOSTILE_NAMES = [
    "..",
    ".",
    "../veltrim-escape-1.txt",
    "../../veltrim-escape-2.txt",
    "../../../../../../../../veltrim-escape-3.txt",
    "/tmp/veltrim-escape-4.txt",
    "inner/../../veltrim-escape-5.txt",
    "veltrim-escape-6\x00.txt",
]
HOSTILE_DIRS = ["..", ".", "../veltrim-escape-dir", "/tmp/veltrim-escape-dir2"]


class ServedFS(AbstractedFS):
    """pyftpdlib's listings, optionally with the hostile lines."""

    hostile = False

    def _is_evil(self, basedir):
        return self.hostile and os.path.basename(os.path.normpath(basedir)) == "evil"

    def format_mlsx(self, basedir, listing, perms, facts, ignore_err=True):
        if self._is_evil(basedir):
            for name in HOSTILE_NAMES:
                yield ("type=file;size=5;modify=20261206182100; %s\r\n" % name).encode("utf8", "replace")
            for name in HOSTILE_DIRS:
                yield ("type=dir;modify=20261206182100; %s\r\n" % name).encode("utf8", "replace")
        yield from AbstractedFS.format_mlsx(self, basedir, listing, perms, facts, ignore_err)

    def format_list(self, basedir, listing, ignore_err=True):
        if self._is_evil(basedir):
            for name in HOSTILE_NAMES:
                yield ("-rw-r--r--   1 owner group 5 Dec  6 12:00 %s\r\n" % name).encode("utf8", "replace")
            for name in HOSTILE_DIRS:
                yield ("drwxr-xr-x   1 owner group 0 Dec  6 12:00 %s\r\n" % name).encode("utf8", "replace")
            yield b"12-06-26  06:21PM       <DIR>          ..\r\n"
            yield b"+/,\t..\r\n"
        yield from AbstractedFS.format_list(self, basedir, listing, ignore_err)


# ---------------------------------------------------------------- the demo

DEMO_WELCOME = """Welcome to the VeltrimFTP demo server.
Everything here lives in a temporary folder on this machine; feel free to
create, rename and delete whatever you like."""

DEMO_INDEX = """00_index.txt      This file: what each file of this folder is.
readme.txt        About the demo server.
notes.md          A few notes in Markdown.
report.pdf        A document (not a real one).
photo.jpg         A picture (not a real one).
archive.tar.gz    An archive.
setup.exe         A program for another system.
data.bin          Four hundred kilobytes of bytes.
Makefile          A build file without an extension.
"""


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as out:
        out.write(data.encode() if isinstance(data, str) else data)


def build_demo_tree(root):
    """Nested folders, files of many types and sizes, a symbolic link, a
    ".message" and a "00_index.txt". An existing tree is left as it is (the
    user's changes stay)."""
    if os.path.exists(os.path.join(root, ".message")):
        return
    write(os.path.join(root, ".message"), DEMO_WELCOME)
    write(os.path.join(root, "00_index.txt"), DEMO_INDEX)
    write(os.path.join(root, "readme.txt"), "VeltrimFTP demo server.\n" * 3)
    write(os.path.join(root, "notes.md"), "# Notes\n\n* one\n* two\n")
    write(os.path.join(root, "report.pdf"), b"%PDF-1.4\n" + bytes(20000))
    write(os.path.join(root, "photo.jpg"), b"\xff\xd8\xff\xe0" + bytes(150000))
    write(os.path.join(root, "archive.tar.gz"), b"\x1f\x8b" + bytes(3000))
    write(os.path.join(root, "setup.exe"), b"MZ" + bytes(70000))
    write(os.path.join(root, "data.bin"), os.urandom(400 * 1024))
    write(os.path.join(root, "Makefile"), "all:\n\techo demo\n")
    write(os.path.join(root, "empty.dat"), b"")
    write(os.path.join(root, "index.html"), "<html><body>demo</body></html>\n")
    write(os.path.join(root, "style.css"), "body { color: #333; }\n")
    write(os.path.join(root, "song.mp3"), b"ID3" + bytes(5000))
    write(os.path.join(root, "pub", ".message"), "This is /pub: things to download.")
    write(os.path.join(root, "pub", "linux", "kernel.tar.xz"), b"\xfd7zXZ" + bytes(90000))
    write(os.path.join(root, "pub", "linux", "README"), "Linux things.\n")
    write(os.path.join(root, "pub", "windows", "tool.zip"), b"PK\x03\x04" + bytes(12000))
    write(os.path.join(root, "pub", "docs", "manual.html"), "<h1>Manual</h1>\n")
    write(os.path.join(root, "pub", "docs", "guide", "chapter1.txt"), "Chapter one.\n")
    write(os.path.join(root, "incoming", "put-files-here.txt"), "Uploads go here.\n")
    os.makedirs(os.path.join(root, "empty folder"), exist_ok=True)
    os.symlink("pub/linux", os.path.join(root, "latest"))
    # Dates that differ, so that sorting by date shows something.
    for offset, name in enumerate(sorted(os.listdir(root))):
        stamp = time.time() - offset * 86400 * 37
        try:
            os.utime(os.path.join(root, name), (stamp, stamp), follow_symlinks=False)
        except OSError:
            pass


def archive_string(text):
    data = text.encode("utf-8")
    if len(data) < 255:
        return bytes([len(data)]) + data
    if len(data) < 0xFFFE:
        return b"\xff" + struct.pack("<H", len(data)) + data
    return b"\xff\xff\xff" + struct.pack("<I", len(data)) + data


def write_demo_profile(path, port, user, password):
    """The demo's .ftp profile, connecting on open: seven strings, four
    integers and three flags."""
    strings = ["VeltrimFTP Demo", "127.0.0.1", user, password, "", os.path.expanduser("~"), ""]
    numbers = [1, 10, port, 0]          # Retries, Timeout, Port, Reserved
    flags = [0, 1, 1]                   # Anonymous, ConnectOnOpen, SavePassword
    data = b"".join(archive_string(s) for s in strings)
    data += b"".join(struct.pack("<I", n & 0xFFFFFFFF) for n in numbers + flags)
    fd = os.open(path, os.O_WRONLY | os.O_CREAT | os.O_TRUNC, 0o600)
    with os.fdopen(fd, "wb") as out:
        out.write(data)


# ---------------------------------------------------------------- FTP over TLS

def add_tls_options(parser):
    parser.add_argument("--tls", choices=("explicit", "implicit"),
                        help="FTP over TLS (needs python3-openssl): AUTH TLS required, or TLS from the first byte")
    parser.add_argument("--cert", help="the server's certificate (PEM)")
    parser.add_argument("--key", help="its private key (PEM)")
    parser.add_argument("--tls-fault", choices=("cut-data", "tls10"),
                        help="cut-data: data connections end without the TLS close; "
                             "tls10: nothing newer than TLS 1.0")


def tls_handler_base(args):
    """pyftpdlib's TLS handler set up for --tls, or None."""
    if not args.tls:
        return None
    from OpenSSL import SSL
    from pyftpdlib.handlers import TLS_DTPHandler, TLS_FTPHandler

    class CutDataHandler(TLS_DTPHandler):
        def close(self):
            self._error = True  # skips the TLS close: the connection just ends
            TLS_DTPHandler.close(self)

    class TlsHandler(TLS_FTPHandler):
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

    return TlsHandler


# ---------------------------------------------------------------- the server

def parse_arguments():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--root", required=True, help="the folder to serve")
    parser.add_argument("--port", type=int, default=0, help="default: a free port")
    parser.add_argument("--user", default="tester")
    parser.add_argument("--password", default="secret")
    parser.add_argument("--anonymous", action="store_true", help="also allow anonymous logins (read-only)")
    parser.add_argument("--banner", default="VeltrimFTP test server ready.")
    parser.add_argument("--no-mlsd", action="store_true",
                        help="offer no MLSD/MLST, so clients list with LIST (\"ls -l\" style)")
    parser.add_argument("--hostile", action="store_true",
                        help="hostile names in the listing of every directory named \"evil\"")
    parser.add_argument("--throttle", type=int, default=0, metavar="BYTES",
                        help="bytes per second on data connections (0: unthrottled)")
    parser.add_argument("--failed-login-delay", type=float, default=0, metavar="SECONDS",
                        help="wait before answering a refused login (pyftpdlib's own default is 3)")
    parser.add_argument("--idle-timeout", type=int, default=600, metavar="SECONDS",
                        help="close a control connection idle this long, after a 421 reply")
    parser.add_argument("--demo-tree", action="store_true", help="fill the root with the demo tree")
    parser.add_argument("--profile", metavar="PATH", help="write a .ftp profile that connects to this server")
    add_tls_options(parser)
    return parser.parse_args()


def main():
    args = parse_arguments()
    os.makedirs(args.root, exist_ok=True)
    if args.demo_tree:
        build_demo_tree(args.root)

    authorizer = DummyAuthorizer()
    authorizer.add_user(args.user, args.password, args.root, perm="elradfmwMT")
    if args.anonymous:
        authorizer.add_anonymous(args.root, perm="elr")

    filesystem = type("VeltrimFS", (ServedFS,), {"hostile": args.hostile})
    handler = type("VeltrimHandler", (tls_handler_base(args) or FTPHandler,), {})
    handler.authorizer = authorizer
    handler.banner = args.banner
    handler.abstracted_fs = filesystem
    handler.auth_failed_timeout = args.failed_login_delay
    handler.timeout = args.idle_timeout
    if args.no_mlsd:
        handler.proto_cmds = {k: v for k, v in FTPHandler.proto_cmds.items() if k not in ("MLSD", "MLST")}
    if args.throttle:
        handler.dtp_handler = type("VeltrimDTP", (ThrottledDTPHandler,),
                                   {"read_limit": args.throttle, "write_limit": args.throttle})

    server = FTPServer(("127.0.0.1", args.port), handler)
    server.max_cons = 256
    port = server.socket.getsockname()[1]
    if args.profile:
        write_demo_profile(args.profile, port, args.user, args.password)
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
    logging.basicConfig(level=logging.CRITICAL)
    main()
