#!/usr/bin/python3
"""A pyftpdlib server for the command-line tests, with two extras that a plain
server will not do: hostile listing lines served for every directory named
"evil" (names that try to climb out of the download folder), and a throttled
data channel (so that a small file takes seconds to move).

Prints "PORT <n>" once it listens; serves until killed or stdin closes.
"""
import argparse
import os
import sys
import threading

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.filesystems import AbstractedFS
from pyftpdlib.handlers import FTPHandler, ThrottledDTPHandler
from pyftpdlib.servers import FTPServer

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


class HostileFS(AbstractedFS):
    def _is_evil(self, basedir):
        return os.path.basename(os.path.normpath(basedir)) == "evil"

    def format_mlsx(self, basedir, listing, perms, facts, ignore_err=True):
        if self._is_evil(basedir):
            for name in HOSTILE_NAMES:
                yield ("type=file;size=5;modify=20261206182100; %s\r\n" % name).encode("utf8", "replace")
            for name in HOSTILE_DIRS:
                yield ("type=dir;modify=20261206182100; %s\r\n" % name).encode("utf8", "replace")
        for line in AbstractedFS.format_mlsx(self, basedir, listing, perms, facts, ignore_err):
            yield line

    def format_list(self, basedir, listing, ignore_err=True):
        if self._is_evil(basedir):
            for name in HOSTILE_NAMES:
                yield ("-rw-r--r--   1 owner group 5 Dec  6 12:00 %s\r\n" % name).encode("utf8", "replace")
            for name in HOSTILE_DIRS:
                yield ("drwxr-xr-x   1 owner group 0 Dec  6 12:00 %s\r\n" % name).encode("utf8", "replace")
            yield b"12-06-26  06:21PM       <DIR>          ..\r\n"
            yield b"+/,\t..\r\n"
        for line in AbstractedFS.format_list(self, basedir, listing, ignore_err):
            yield line


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", required=True)
    parser.add_argument("--no-mlsd", action="store_true")
    parser.add_argument("--throttle", type=int, default=0, help="bytes per second on data connections")
    parser.add_argument("--max-cons-per-ip", type=int, default=0, help="refuse further control connections")
    args = parser.parse_args()

    authorizer = DummyAuthorizer()
    authorizer.add_user("tester", "secret", args.root, perm="elradfmwMT")
    handler = type("CliTestHandler", (FTPHandler,), {})
    handler.authorizer = authorizer
    handler.auth_failed_timeout = 0
    handler.abstracted_fs = HostileFS
    if args.no_mlsd:
        handler.proto_cmds = {k: v for k, v in FTPHandler.proto_cmds.items() if k not in ("MLSD", "MLST")}
    if args.throttle:
        dtp = type("CliTestDTP", (ThrottledDTPHandler,), {})
        dtp.read_limit = args.throttle
        dtp.write_limit = args.throttle
        handler.dtp_handler = dtp

    server = FTPServer(("127.0.0.1", 0), handler)
    server.max_cons_per_ip = args.max_cons_per_ip
    sys.stdout.write("PORT %d\n" % server.socket.getsockname()[1])
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
