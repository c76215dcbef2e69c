#!/usr/bin/env bash
# Times `brivano-cli extract` against GNU grep over the same 100 MB GBK file
# of result-page lines, side by side with hyperfine.
#   scripts/bench_cli.sh [KIND...]    (default: mobile email qq fax)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BRIVANO_BUILD_DIR:-$root/build}"
megabytes="${BRIVANO_BENCH_MB:-100}"
data="${BRIVANO_BENCH_DATA:-/tmp/brivano-bench-${megabytes}mb.txt}"

"$root/scripts/build.sh" >/dev/null
if [ ! -s "$data" ]; then
  "$build/bench/brivano-pagegen" "$megabytes" >"$data"
fi
cli="$build/cli/brivano-cli"

declare -A pattern=(
  [mobile]='1[345789][0-9]{9}'
  [email]='[a-zA-Z0-9._&-]+@[a-zA-Z0-9._&-]+\.[a-zA-Z]{2,}'
  [qq]='[Qq]{2}[^0-9]{0,6}[0-9]{5,10}'
  [fax]='(传真|电话|[Ff][Aa][Xx])[^0-9]{0,6}[0-9()+-]{7,20}'
)

kinds=("$@")
[ ${#kinds[@]} -eq 0 ] && kinds=(mobile email qq fax)
# Output goes to files: GNU grep stops at its first match when it writes to
# /dev/null, which would time nothing.
for kind in "${kinds[@]}"; do
  p="${pattern[$kind]}"
  if [ "$kind" = fax ]; then
    # grep must see the labels as GBK bytes, as they stand in the file.
    p="$(printf '%s' "$p" | iconv -f UTF-8 -t GBK)"
  fi
  printf '%s' "$p" >"/tmp/brivano-bench-$kind.pattern"
  echo "== $kind over $(du -h "$data" | cut -f1) =="
  hyperfine --warmup 1 --runs "${BRIVANO_BENCH_RUNS:-5}" \
    -n "brivano-cli extract --kind $kind" "$cli extract --kind $kind --encoding gbk $data >/tmp/brivano-bench-out-cli.txt" \
    -n "grep -aoE ($kind)" "LC_ALL=C grep -aoE -f /tmp/brivano-bench-$kind.pattern $data >/tmp/brivano-bench-out-grep.txt"
done
