# Shared by scripts/test and scripts/run: package installs and the build.
# shellcheck shell=bash

VELTRIM_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"

# Everything the build and the tests need from Debian's archive.
VELTRIM_BUILD_PACKAGES=(
  cmake ninja-build g++ pkg-config
  libgtest-dev libgmock-dev
  python3 python3-pyftpdlib python3-openssl libssl-dev openssl
  qt6-base-dev qt6-base-dev-tools qt6-multimedia-dev libgl-dev
  libqt6svg6 qt6-qpa-plugins
  adwaita-icon-theme hicolor-icon-theme fonts-dejavu-core
  curl
)

# The fuzz targets' compiler: Debian's clang with libFuzzer and the sanitizers.
VELTRIM_FUZZ_PACKAGES=(
  clang libclang-rt-14-dev
)

# What the window needs besides the build: a virtual X server for running it
# without a desktop, and the MIME database that "cmake --install" refreshes.
VELTRIM_DESKTOP_PACKAGES=(
  xvfb xauth shared-mime-info
)

# Installs the packages of the arguments that are missing (non-interactive).
ensure_packages() {
  local missing=()
  local pkg
  for pkg in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$pkg")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing missing packages: ${missing[*]}" >&2
  local sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null 2>&1; then sudo=(sudo); else
      echo "Need root (or sudo) to install: ${missing[*]}" >&2; return 1
    fi
  fi
  # A fresh machine may have no package lists yet; refresh them once.
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq >&2 || true
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
}

# configure_build_dir BUILD_DIR [extra cmake args...]
configure_build_dir() {
  local dir="$1"; shift
  local werror=OFF
  [ -n "${CI:-}" ] && werror=ON
  cmake -S "$VELTRIM_ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DVELTRIM_WERROR="$werror" "$@" >/dev/null
}

# configure_fuzz_build BUILD_DIR: the libFuzzer targets, built with clang.
configure_fuzz_build() {
  configure_build_dir "$1" -DCMAKE_CXX_COMPILER=clang++ -DVELTRIM_BUILD_FUZZ=ON -DVELTRIM_BUILD_UI=OFF \
    -DVELTRIM_BUILD_TESTS=OFF -DVELTRIM_BUILD_BENCH=OFF &&
    cmake --build "$1" -j "$(nproc)" --target fuzz_targets
}

# configure_and_build BUILD_DIR [extra cmake args...]
configure_and_build() {
  local dir="$1"
  configure_build_dir "$@"
  cmake --build "$dir" -j "$(nproc)"
}
