#!/usr/bin/env bash
# Sets everything up on a fresh Debian machine, builds, and starts Brivano.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/bootstrap.sh"
"$root/scripts/build.sh"
exec "${BRIVANO_BUILD_DIR:-$root/build}/app/brivano"
