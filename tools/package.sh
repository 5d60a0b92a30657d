#!/usr/bin/env bash
# Builds the Debian package korvix_VERSION_ARCH.deb. Usage: tools/package.sh [build-dir]
# The build folder (default build-deb) is configured for the prefix /usr without tests and
# benchmarks; the package is left in it and its path printed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-$root/build-deb}
"$root/tools/install-deps.sh"
cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_INSTALL_PREFIX=/usr -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKORVIX_TESTS=OFF -DKORVIX_BENCH=OFF >/dev/null
cmake --build "$dir" -j "$(nproc)"
(cd "$dir" && cpack -G DEB >/dev/null)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$dir/CMakeCache.txt")
deb="$dir/korvix_${version}_$(dpkg --print-architecture).deb"
test -f "$deb"
echo "$deb"
