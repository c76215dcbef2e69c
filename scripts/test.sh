#!/usr/bin/env bash
# Sets everything up on a fresh Debian machine, checks the house rules, builds
# with warnings as errors, and runs every test: the test suite, the same core
# suite under AddressSanitizer and UndefinedBehaviorSanitizer, the threaded
# extraction under ThreadSanitizer, and a short run of every fuzz target.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/bootstrap.sh"
log="$(mktemp "${TMPDIR:-/tmp}/brivano-test.XXXXXX")"
trap 'rm -f "$log"' EXIT

echo "== house rules =="
"$root/scripts/check_layers.sh"
(cd "$root" && git ls-files '*.cpp' '*.h' '*.inl' | xargs clang-format --dry-run -Werror)
echo "format: every source as .clang-format has it"

echo "== build and test =="
"$root/scripts/build.sh" -DBRIVANO_DEVELOPER=ON
export QT_QPA_PLATFORM=offscreen
(cd "${BRIVANO_BUILD_DIR:-$root/build}" && ctest --output-on-failure -j "$(nproc)" --timeout 600) | tee -a "$log"

echo "== core tests under ASan + UBSan =="
BRIVANO_BUILD_DIR="$root/build-asan" "$root/scripts/build.sh" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBRIVANO_SANITIZE=ON -DBRIVANO_GUI=OFF -DBRIVANO_BENCH=OFF
(cd "$root/build-asan" && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --output-on-failure -j "$(nproc)" --timeout 900) | tee -a "$log"

echo "== threaded extraction under ThreadSanitizer =="
cmake -S "$root" -B "$root/build-tsan" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DBRIVANO_TSAN=ON -DBRIVANO_GUI=OFF -DBRIVANO_BENCH=OFF >/dev/null
cmake --build "$root/build-tsan" -j "$(nproc)" --target test_extract_text test_cli test_curl_fetcher brivano-cli
(cd "$root/build-tsan" && TSAN_OPTIONS=halt_on_error=1 \
  ctest --output-on-failure -j "$(nproc)" --timeout 900 -R 'Parallel|Threads|ExtractText|CurlFetcher') | tee -a "$log"

fuzzed=0
if [ -x "$root/scripts/fuzz.sh" ]; then
  echo "== fuzz targets, ${BRIVANO_FUZZ_SECONDS:-20} s each =="
  "$root/scripts/fuzz.sh" "${BRIVANO_FUZZ_SECONDS:-20}" | tee -a "$log"
  fuzzed=$(grep -c 'no finding' "$log" || true)
fi

# One closing line for all three stages (ctest stops the script on a failure).
passed=$(grep -o 'tests passed, 0 tests failed out of [0-9]*' "$log" | awk '{s += $NF} END {print s + 0}')
echo "$((passed + fuzzed)) passed, 0 failed"
