#!/usr/bin/env bash
# Installs every Debian package the build, the program and the tests need.
set -euo pipefail
packages=(
  build-essential cmake pkg-config ccache
  qt6-base-dev qt6-base-dev-tools libgl-dev libsqlite3-dev
  libmdb3 mdbtools mdbtools-dev libical-dev
  libbenchmark-dev
  xvfb xauth fonts-dejavu-core
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  $SUDO apt-get update
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y "${missing[@]}"
fi
