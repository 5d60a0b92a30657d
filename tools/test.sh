#!/usr/bin/env bash
# Installs what is needed, builds and runs every test (headless).
# Usage: tools/test.sh [build-dir] [extra cmake options...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-$root/build-tests}
shift || true
"$root/tools/install-deps.sh"
"$root/tools/build.sh" "$dir" "$@"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$dir" --output-on-failure -j "$(nproc)"
