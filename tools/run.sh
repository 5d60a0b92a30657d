#!/usr/bin/env bash
# Installs what is needed, builds and starts the application (demo mode when no recorder is present).
# Arguments are passed to the program, e.g. tools/run.sh --simulate=ch1=dc:5
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/install-deps.sh"
"$root/tools/build.sh" "$root/build" -DKORVIX_TESTS=OFF -DKORVIX_BENCH=OFF
exec "$root/build/korvix" "$@"
