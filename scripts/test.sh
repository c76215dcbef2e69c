#!/usr/bin/env bash
# Sets everything up on a fresh Debian machine, builds, and runs every test:
# the test suite, the same core suite under AddressSanitizer and
# UndefinedBehaviorSanitizer, and a short run of every fuzz target.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/bootstrap.sh"

echo "== build and test =="
"$root/scripts/build.sh"
export QT_QPA_PLATFORM=offscreen
(cd "${BRIVANO_BUILD_DIR:-$root/build}" && ctest --output-on-failure -j "$(nproc)" --timeout 600)

echo "== core tests under ASan + UBSan =="
BRIVANO_BUILD_DIR="$root/build-asan" "$root/scripts/build.sh" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBRIVANO_SANITIZE=ON -DBRIVANO_GUI=OFF -DBRIVANO_BENCH=OFF
(cd "$root/build-asan" && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --output-on-failure -j "$(nproc)" --timeout 900)

if [ -x "$root/scripts/fuzz.sh" ]; then
  echo "== fuzz targets, ${BRIVANO_FUZZ_SECONDS:-20} s each =="
  "$root/scripts/fuzz.sh" "${BRIVANO_FUZZ_SECONDS:-20}"
fi
