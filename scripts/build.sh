#!/usr/bin/env bash
# Configures and builds Brivano in build/ (Release, Ninja).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BRIVANO_BUILD_DIR:-$root/build}"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
cmake --build "$build" -j "$(nproc)"
