#!/bin/bash
# FTP over TLS throughput: veltrimftp-cli next to `curl --ssl-reqd`, the same
# 512 MiB file both ways against the same local vsftpd (explicit TLS, session
# reuse required on data connections), best of several runs, the order of the
# two clients alternating. Not part of the test run.
#
#   bench/tls_throughput.sh [CLI] [RUNS]
#     CLI   veltrimftp-cli to measure (default build/src/cli/veltrimftp-cli)
#     RUNS  runs per client and direction (default 3)
# Needs vsftpd, curl, openssl and bc (installed when missing; as root).
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
CLI="${1:-$ROOT/build/src/cli/veltrimftp-cli}"
RUNS="${2:-3}"
SIZE_MIB=512
# shellcheck source=../scripts/lib/common.sh
source "$ROOT/scripts/lib/common.sh"
ensure_packages vsftpd curl openssl bc
[ -x "$CLI" ] || { echo "no veltrimftp-cli at $CLI (build it first)" >&2; exit 2; }

# In memory where there is a tmpfs: the disk's write-back, shared with
# whatever else the machine does, would otherwise decide the figures.
BASE=/tmp
[ -d /dev/shm ] && [ -w /dev/shm ] && BASE=/dev/shm
WORK="$(mktemp -d "$BASE/veltrim-tls-bench-XXXXXX")"
SERVER_PID=""
# The 1.5 GiB of files go first: `wait` on the killed server returns non-zero,
# which under `set -e` would end the trap before anything after it ran.
cleanup() {
  rm -rf "$WORK"
  if [ -n "$SERVER_PID" ]; then
    kill "$SERVER_PID" 2>/dev/null || true
    wait "$SERVER_PID" 2>/dev/null || true
  fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP

# The anonymous root must not be writable; uploads go to pub/, owned by ftp.
mkdir -p "$WORK/root/pub" "$WORK/local"
chmod 755 "$WORK" "$WORK/root"
chown ftp "$WORK/root/pub" 2>/dev/null || chmod 777 "$WORK/root/pub"
openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:P-256 -nodes -days 2 -subj /CN=localhost \
  -keyout "$WORK/key.pem" -out "$WORK/cert.pem" 2>/dev/null
FINGERPRINT="$(openssl x509 -in "$WORK/cert.pem" -noout -fingerprint -sha256 | cut -d= -f2)"
head -c $((SIZE_MIB * 1024 * 1024)) /dev/urandom > "$WORK/root/pub/big.bin"
chmod 644 "$WORK/root/pub/big.bin"
cp "$WORK/root/pub/big.bin" "$WORK/local/up.bin"

PORT="$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')"
cat > "$WORK/vsftpd.conf" <<CONF
listen=YES
listen_ipv6=NO
listen_address=127.0.0.1
listen_port=$PORT
background=NO
anonymous_enable=YES
local_enable=NO
no_anon_password=YES
write_enable=YES
anon_upload_enable=YES
anon_other_write_enable=YES
anon_umask=022
anon_root=$WORK/root
ssl_enable=YES
allow_anon_ssl=YES
force_anon_logins_ssl=YES
force_anon_data_ssl=YES
require_ssl_reuse=YES
rsa_cert_file=$WORK/cert.pem
rsa_private_key_file=$WORK/key.pem
seccomp_sandbox=NO
isolate=NO
isolate_network=NO
xferlog_enable=NO
CONF
/usr/sbin/vsftpd "$WORK/vsftpd.conf" &
SERVER_PID=$!
sleep 0.5
URL="ftp://127.0.0.1:$PORT"

# Seconds (with fractions) that the command takes; fails the benchmark when it fails.
seconds() {
  local start end
  start=$(date +%s.%N)
  "$@" >/dev/null 2>"$WORK/err" || { echo "failed: $* ($(cat "$WORK/err"))" >&2; exit 1; }
  end=$(date +%s.%N)
  echo "$end - $start" | bc -l
}

ours_get()  { "$CLI" --fingerprint "$FINGERPRINT" "ftpes://127.0.0.1:$PORT" get pub/big.bin "$WORK/local/ours.bin"; }
curl_get()  { curl -s --ssl-reqd -k "$URL/pub/big.bin" -o "$WORK/local/curl.bin"; }
ours_put()  { "$CLI" --fingerprint "$FINGERPRINT" "ftpes://127.0.0.1:$PORT" put "$WORK/local/up.bin" pub/ours-up.bin; }
curl_put()  { curl -s --ssl-reqd -k -T "$WORK/local/up.bin" "$URL/pub/curl-up.bin"; }

declare -A best
for name in ours_get curl_get ours_put curl_put; do best[$name]=999999; done
for ((run = 0; run < RUNS; run++)); do
  if ((run % 2 == 0)); then order=(ours_get curl_get curl_put ours_put); else order=(curl_get ours_get ours_put curl_put); fi
  for name in "${order[@]}"; do
    t=$(seconds "$name")
    if (($(echo "$t < ${best[$name]}" | bc -l))); then best[$name]=$t; fi
  done
done
for file in "$WORK/local/ours.bin" "$WORK/local/curl.bin" "$WORK/root/pub/ours-up.bin" "$WORK/root/pub/curl-up.bin"; do
  cmp -s "$file" "$WORK/root/pub/big.bin" || { echo "$file differs from the original" >&2; exit 1; }
done

rate() { echo "scale=1; $SIZE_MIB / $1" | bc -l; }
printf '%-9s %12s %12s %8s\n' "$SIZE_MIB MiB" "veltrimftp" "curl" "ratio"
for direction in get put; do
  ours=${best[ours_$direction]}
  theirs=${best[curl_$direction]}
  printf '%-9s %8s MiB/s %6s MiB/s %8s\n' "$([ $direction = get ] && echo download || echo upload)" \
    "$(rate "$ours")" "$(rate "$theirs")" "$(echo "scale=2; $theirs / $ours" | bc -l)"
done
