#!/usr/bin/python3
"""A scripted FTP-over-TLS server on 127.0.0.1 for faults a real server will
not commit on demand. One client, explicit TLS (AUTH TLS), passive mode.

  --cut-data   RETR sends its bytes, then ends the data connection without
               the TLS close (and still answers 226)
  --tls10      offers nothing newer than TLS 1.0

Prints "PORT <n>" once it listens; ends with its client or when its standard
input closes.
"""
import argparse
import os
import socket
import ssl
import sys
import threading
import warnings


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--cert", required=True)
    parser.add_argument("--key", required=True)
    parser.add_argument("--cut-data", action="store_true")
    parser.add_argument("--tls10", action="store_true")
    args = parser.parse_args()

    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(args.cert, args.key)
    if args.tls10:
        warnings.simplefilter("ignore", DeprecationWarning)
        context.minimum_version = context.maximum_version = ssl.TLSVersion.TLSv1
        context.set_ciphers("ALL:@SECLEVEL=0")

    listener = socket.create_server(("127.0.0.1", 0))
    sys.stdout.write("PORT %d\n" % listener.getsockname()[1])
    sys.stdout.flush()
    threading.Thread(target=lambda: (sys.stdin.read(), os._exit(0)), daemon=True).start()

    control, _ = listener.accept()
    reader = control.makefile("rb")
    passive = None

    def reply(text):
        control.sendall((text + "\r\n").encode())

    reply("220 TLS fault server ready.")
    while True:
        raw = reader.readline()
        if not raw:
            return
        command, _, argument = raw.decode("utf-8", "replace").strip().partition(" ")
        command = command.upper()
        if command == "AUTH":
            reply("234 AUTH TLS successful.")
            try:
                control = context.wrap_socket(control, server_side=True)
            except (ssl.SSLError, OSError):
                return
            reader = control.makefile("rb")
        elif command == "USER":
            reply("331 Password required.")
        elif command == "PWD":
            reply('257 "/" is the current directory.')
        elif command == "FEAT":
            reply("211-Features:\r\n EPSV\r\n211 End")
        elif command == "EPSV":
            passive = socket.create_server(("127.0.0.1", 0))
            reply("229 Entering extended passive mode (|||%d|)." % passive.getsockname()[1])
        elif command == "RETR" and passive is not None:
            reply("150 Opening data connection.")
            data = context.wrap_socket(passive.accept()[0], server_side=True)
            data.sendall(b"the start of a longer file")
            if args.cut_data:
                data.shutdown(socket.SHUT_RDWR)  # no TLS close first
            else:
                data.unwrap()
            data.close()
            passive.close()
            passive = None
            reply("226 Transfer complete.")
        elif command == "QUIT":
            reply("221 Goodbye.")
            return
        else:  # PASS, PBSZ, PROT, TYPE, CWD...
            reply("200 OK.")


if __name__ == "__main__":
    main()
