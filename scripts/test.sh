#!/usr/bin/env bash
# Sets everything up on a fresh Debian machine, builds, and runs every test.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/bootstrap.sh"
"$root/scripts/build.sh"
export QT_QPA_PLATFORM=offscreen
cd "${BRIVANO_BUILD_DIR:-$root/build}"
ctest --output-on-failure -j "$(nproc)" --timeout 600
