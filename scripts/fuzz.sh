#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, ASan + UBSan) in build-fuzz/ and runs
# each for SECONDS, from a copy of its seed corpus, so that the repository is
# never written. Targets run side by side, one a core. Exits non-zero when any target reports a finding; the input
# that caused it is kept and its path printed.
#   scripts/fuzz.sh SECONDS
set -euo pipefail
if [[ $# -ne 1 || ! $1 =~ ^[0-9]+$ ]]; then
  echo "usage: $0 SECONDS" >&2
  exit 2
fi
seconds=$1
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BRIVANO_FUZZ_BUILD_DIR:-$root/build-fuzz}"

if [[ ! -f "$build/build.ninja" ]]; then
  CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DBRIVANO_FUZZ=ON -DBRIVANO_GUI=OFF -DBRIVANO_TESTS=OFF -DBRIVANO_BENCH=OFF >/dev/null
fi
if ! cmake --build "$build" -j "$(nproc)" >"$build/fuzz-build.log" 2>&1; then
  cat "$build/fuzz-build.log" >&2
  exit 1
fi

work="$(mktemp -d "${TMPDIR:-/tmp}/brivano-fuzz.XXXXXX")"

# One target for SECONDS; its verdict lands in $work/NAME/verdict.
fuzz_one() {
  local target=$1 name corpus artifacts log dict=()
  name="$(basename "$target")"
  corpus="$work/$name/corpus"
  artifacts="$work/$name/artifacts"
  log="$work/$name/log"
  mkdir -p "$corpus" "$artifacts"
  if [[ -d $root/fuzz/corpus/$name ]]; then cp -R "$root/fuzz/corpus/$name/." "$corpus/"; fi
  if [[ -f $root/fuzz/corpus/$name.dict ]]; then dict=("-dict=$root/fuzz/corpus/$name.dict"); fi
  # Lines are cut at 4096 bytes: inputs up to twice that reach the cut.
  if "$target" "$corpus" "${dict[@]}" -max_total_time="$seconds" -max_len=8192 -timeout=20 \
      -artifact_prefix="$artifacts/" -print_final_stats=1 >"$log" 2>&1; then
    runs="$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || true)"
    echo "$name: ${seconds}s, ${runs:-?} runs, no finding" >"$work/$name/verdict"
  else
    echo "FINDING" >"$work/$name/verdict"
  fi
}

# As many targets at once as there are cores: each is one process.
targets=()
for target in "$build"/fuzz/fuzz_*; do
  [[ -x $target ]] && targets+=("$target")
done
jobs_at_once="$(nproc)"
for target in "${targets[@]}"; do
  while (($(jobs -rp | wc -l) >= jobs_at_once)); do wait -n || true; done
  fuzz_one "$target" &
done
wait

failed=()
for target in "${targets[@]}"; do
  name="$(basename "$target")"
  verdict="$(cat "$work/$name/verdict" 2>/dev/null || echo FINDING)"
  if [[ $verdict == FINDING ]]; then
    echo "$name: FINDING" >&2
    tail -n 40 "$work/$name/log" >&2
    ls "$work/$name/artifacts" >&2
    failed+=("$name")
  else
    echo "$verdict"
  fi
done

if ((${#failed[@]})); then
  echo "findings in: ${failed[*]} (inputs and logs under $work)" >&2
  exit 1
fi
rm -rf "$work"
