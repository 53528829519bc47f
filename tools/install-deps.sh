#!/usr/bin/env bash
# Installs the Debian packages that building, testing and packaging need, if
# missing.
set -euo pipefail
packages=(build-essential cmake ninja-build ccache qt6-base-dev qt6-serialport-dev qt6-svg-dev libgl1-mesa-dev
          libgtest-dev libgmock-dev libbenchmark-dev fonts-liberation xvfb xauth locales
          desktop-file-utils appstream dpkg-dev poppler-utils
          libx11-dev libxcb1-dev openbox xdotool dbus-daemon dbus-bin at-spi2-core
          clang libclang-rt-14-dev clang-format)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
