#!/usr/bin/env bash
# Installs every Debian package that building, testing and running the recorder software needs.
# Safe to run again: apt-get skips what is already present.
set -euo pipefail

packages=(
  build-essential cmake ninja-build ccache pkg-config git
  qt6-base-dev qt6-base-dev-tools libqt6opengl6-dev libgl-dev
  qt6-qpa-plugins libqt6printsupport6 libqt6svg6
  libhidapi-dev libpng-dev zlib1g-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  clang clang-format libclang-rt-14-dev
  fonts-dejavu-core
  xvfb xauth xdotool imagemagick x11-utils
  poppler-utils pngcheck
  dpkg-dev desktop-file-utils appstream man-db groff-base bsdextrautils systemd
)

need=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || need+=("$p")
done

if [ ${#need[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${need[@]}"
fi
