#!/usr/bin/env bash
# Installs the Debian packages the project builds and tests with.
set -euo pipefail
packages=(cmake g++ make zlib1g-dev libpng-dev libgtest-dev libbenchmark-dev
          qt6-base-dev libsdl2-dev xvfb xauth fonts-dejavu-core
          gcc-arm-none-eabi binutils-arm-none-eabi valgrind time)
missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
$sudo apt-get update
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
