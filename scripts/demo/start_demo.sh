#!/usr/bin/env bash
# Starts the demo FTP server (127.0.0.1, a fresh temporary tree), writes its
# profile and runs PROGRAM with that profile and any further arguments. The
# server stops when the program ends.
#   scripts/demo/start_demo.sh PROGRAM [ARGS...]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
program="$1"
shift

work="$(mktemp -d "${TMPDIR:-/tmp}/veltrimftp-demo.XXXXXX")"
server_pid=""
cleanup() {
  if [ -n "$server_pid" ] && kill -0 "$server_pid" 2>/dev/null; then
    kill "$server_pid" 2>/dev/null || true
    wait "$server_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

profile="$work/VeltrimFTP Demo.ftp"
# The server also ends by itself when this script's end of its input closes.
# Debian's python3 (the one with python3-pyftpdlib), as the shebang names it.
# Listings in the "ls -l" style only (no MLSD): machine listings describe a
# symbolic link by what it points to, and the demo wants to show one.
coproc DEMO_SERVER {
  exec "$here/../lib/veltrim_ftpd.py" --root "$work/root" --demo-tree --profile "$profile" \
    --user demo --password demo --no-mlsd --banner "VeltrimFTP demo server ready."
}
server_pid="$DEMO_SERVER_PID"
if ! read -r -t 20 ready <&"${DEMO_SERVER[0]}" || [[ "$ready" != PORT* ]]; then
  echo "The demo FTP server did not start (is python3-pyftpdlib installed?)." >&2
  exit 1
fi
echo "Demo FTP server on 127.0.0.1:${ready#PORT }, user demo, password demo; profile: $profile" >&2
"$program" "$@" "$profile"
