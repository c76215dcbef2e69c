#!/usr/bin/env bash
# Times `brivano-cli merge` against `sort -f -u` in the zh_CN.GBK locale over
# the same five GBK result files of 200,000 lines each (about 19 MB, half the
# lines repeated), side by side with hyperfine, then shows the peak memory of
# each with /usr/bin/time -v.
#   scripts/bench_merge.sh [FILES [LINES]]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BRIVANO_BUILD_DIR:-$root/build}"
files="${1:-5}"
lines="${2:-200000}"
data="${BRIVANO_BENCH_DATA:-/tmp/brivano-merge-${files}x${lines}}"

# sort needs the GBK locale, /usr/bin/time its own package.
missing=()
command -v localedef >/dev/null || missing+=(locales)
[ -x /usr/bin/time ] || missing+=(time)
command -v hyperfine >/dev/null || missing+=(hyperfine)
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.gbk$'; then
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  $SUDO localedef -i zh_CN -f GBK zh_CN.GBK
fi

"$root/scripts/build.sh" >/dev/null
if [ ! -s "$data/part$files.txt" ]; then
  mkdir -p "$data"
  "$build/bench/brivano-mergegen" "$data" "$files" "$lines"
fi
inputs=()
for i in $(seq 1 "$files"); do inputs+=("$data/part$i.txt"); done
cli="$build/cli/brivano-cli"
out_cli=/tmp/brivano-merge-out-cli.txt
out_sort=/tmp/brivano-merge-out-sort.txt

echo "== merge of ${files} files x ${lines} lines, $(du -cb "${inputs[@]}" | tail -1 | cut -f1) bytes =="
hyperfine --warmup 1 --runs "${BRIVANO_BENCH_RUNS:-10}" \
  -n "brivano-cli merge" "$cli merge -o $out_cli ${inputs[*]} >/dev/null" \
  -n "sort -f -u (zh_CN.GBK)" "LC_ALL=zh_CN.GBK sort -f -u ${inputs[*]} >$out_sort"

echo "== peak memory =="
for name in cli sort; do
  if [ "$name" = cli ]; then
    command=("$cli" merge -o "$out_cli" "${inputs[@]}")
  else
    command=(env LC_ALL=zh_CN.GBK sort -f -u -o "$out_sort" "${inputs[@]}")
  fi
  /usr/bin/time -v "${command[@]}" 2>&1 >/dev/null |
    awk -v n="$name" '/Maximum resident set size/ {printf "%-5s %7.1f MB peak\n", n, $NF / 1024}'
done
echo "distinct lines: brivano-cli $(grep -c '' "$out_cli"), sort $(grep -c '' "$out_sort")"
