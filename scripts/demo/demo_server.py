#!/usr/bin/python3
"""The demo FTP server of scripts/run.

Fills a folder with a small demo tree (nested folders, files of many types
and sizes, a symbolic link, a ".message" and a "00_index.txt"), serves it
with pyftpdlib on 127.0.0.1 and writes a VeltrimFTP profile (.ftp) that
connects to it as soon as it is opened. Prints "PORT <n>" once it listens;
serves until it is killed or its standard input closes.
"""
import argparse
import logging
import os
import struct
import sys
import threading
import time

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer

USER = "demo"
PASSWORD = "demo"

WELCOME = """Welcome to the VeltrimFTP demo server.
Everything here lives in a temporary folder on this machine; feel free to
create, rename and delete whatever you like."""

INDEX = """00_index.txt      This file: what each file of this folder is.
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


def build_tree(root):
    """The demo tree; an existing tree is left as it is (the user's changes stay)."""
    if os.path.exists(os.path.join(root, ".message")):
        return
    write(os.path.join(root, ".message"), WELCOME)
    write(os.path.join(root, "00_index.txt"), INDEX)
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


def write_profile(path, port):
    """A .ftp profile: seven strings, four integers and three flags."""
    strings = ["VeltrimFTP Demo", "127.0.0.1", USER, PASSWORD, "", os.path.expanduser("~"), ""]
    numbers = [1, 10, port, 0]          # Retries, Timeout, Port, Reserved
    flags = [0, 1, 1]                   # Anonymous, ConnectOnOpen, SavePassword
    data = b"".join(archive_string(s) for s in strings)
    data += b"".join(struct.pack("<I", n & 0xFFFFFFFF) for n in numbers + flags)
    fd = os.open(path, os.O_WRONLY | os.O_CREAT | os.O_TRUNC, 0o600)
    with os.fdopen(fd, "wb") as out:
        out.write(data)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", required=True, help="folder to serve (filled with the demo tree)")
    parser.add_argument("--profile", required=True, help="where to write the demo .ftp profile")
    parser.add_argument("--port", type=int, default=0)
    args = parser.parse_args()

    os.makedirs(args.root, exist_ok=True)
    build_tree(args.root)

    authorizer = DummyAuthorizer()
    authorizer.add_user(USER, PASSWORD, args.root, perm="elradfmwMT")
    handler = type("DemoHandler", (FTPHandler,), {})
    handler.authorizer = authorizer
    handler.banner = "VeltrimFTP demo server ready."
    # Listings in the "ls -l" style only: machine listings (MLSD) describe a
    # symbolic link by what it points to, and the demo wants to show one.
    handler.proto_cmds = {k: v for k, v in FTPHandler.proto_cmds.items() if k not in ("MLSD", "MLST")}
    server = FTPServer(("127.0.0.1", args.port), handler)
    port = server.socket.getsockname()[1]
    write_profile(args.profile, port)
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
