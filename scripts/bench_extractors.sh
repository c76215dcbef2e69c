#!/usr/bin/env bash
# Times `brivano-cli extract --kind mobile|email|qq|fax`, on all cores and on
# one, against GNU grep -aoE with a comparable pattern over the same GBK file
# of result-page lines (100 MB by default, written once by brivano-pagegen),
# side by side with hyperfine.
#   scripts/bench_extractors.sh [KIND...]      (default: mobile email qq fax)
# BRIVANO_BUILD_DIR (default build/), BRIVANO_BENCH_MB, BRIVANO_BENCH_DATA and
# BRIVANO_BENCH_RUNS change the build, the size, the file and the run count.
# Tables land in $TMPDIR/brivano-bench-extractors-KIND.md as well.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BRIVANO_BUILD_DIR:-$root/build}"
megabytes="${BRIVANO_BENCH_MB:-100}"
tmp="${TMPDIR:-/tmp}"
data="${BRIVANO_BENCH_DATA:-$tmp/brivano-bench-${megabytes}mb.txt}"

BRIVANO_BUILD_DIR="$build" "$root/scripts/build.sh" >/dev/null
if [[ ! -s $data ]]; then
  "$build/bench/brivano-pagegen" "$megabytes" >"$data"
fi
cli="$build/cli/brivano-cli"

# The patterns are UTF-8 here; grep gets them as GBK bytes, as the file holds
# the labels. Every grep runs with LC_ALL=C: byte matching, its fastest mode.
declare -A pattern=(
  [mobile]='1[345789][0-9]{9}'
  [email]='[a-zA-Z0-9._&-]+@[a-zA-Z0-9._&-]+\.[a-zA-Z]{2,}'
  [qq]='[Qq]{2}[^0-9]{0,6}[0-9]{5,10}'
  [fax]='(传真|电话|[Ff][Aa][Xx])[^0-9]{0,6}[0-9()+-]{7,20}'
)

kinds=("$@")
((${#kinds[@]})) || kinds=(mobile email qq fax)
for kind in "${kinds[@]}"; do
  [[ -n ${pattern[$kind]:-} ]] || { echo "unknown kind $kind" >&2; exit 2; }
  patternFile="$tmp/brivano-bench-$kind.pattern"
  printf '%s' "${pattern[$kind]}" | iconv -f UTF-8 -t GBK >"$patternFile"
  # Output goes to files: GNU grep stops at its first match when it writes
  # to /dev/null, which would time nothing.
  cliOut="$tmp/brivano-bench-$kind-cli.txt"
  grepOut="$tmp/brivano-bench-$kind-grep.txt"
  echo "== $kind over $(du -h "$data" | cut -f1) =="
  hyperfine --warmup 1 --runs "${BRIVANO_BENCH_RUNS:-5}" \
    --export-markdown "$tmp/brivano-bench-extractors-$kind.md" \
    -n "brivano-cli extract --kind $kind" \
    "$cli extract --kind $kind --encoding gbk '$data' >'$cliOut'" \
    -n "brivano-cli extract --kind $kind --threads 1" \
    "$cli extract --kind $kind --encoding gbk --threads 1 '$data' >'$cliOut.1'" \
    -n "grep -aoE ($kind)" \
    "LC_ALL=C grep -aoE -f '$patternFile' '$data' >'$grepOut'"
  cmp -s "$cliOut" "$cliOut.1" || { echo "one thread and all threads disagree" >&2; exit 1; }
  echo "values: brivano-cli $(wc -l <"$cliOut"), grep $(wc -l <"$grepOut")"
done
