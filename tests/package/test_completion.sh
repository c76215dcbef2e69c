#!/usr/bin/env bash
# Runs the bash completion functions of brivano-cli and brivano-run as bash
# would on a Tab, against a folder of sample files, and compares what they
# offer with what each command line should get.
# Usage: test_completion.sh COMPLETIONS_DIR
set -uo pipefail
completions="$(cd "$1" && pwd)" || exit 1
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
touch cities.txt trades.txt "my list.txt"

# shellcheck source=/dev/null
source "$completions/brivano-cli" || exit 1
# shellcheck source=/dev/null
source "$completions/brivano-run" || exit 1
for program in brivano-cli brivano-run; do
  complete -p "$program" >/dev/null 2>&1 || { echo "FAIL: no completion registered for $program" >&2; exit 1; }
done

failures=0
# check EXPECTED WORD...: the last WORD is the one being completed; EXPECTED
# is what is offered, sorted, "|" between.
check() {
  local expected="$1"
  shift
  COMP_WORDS=("$@")
  COMP_CWORD=$(($# - 1))
  COMPREPLY=()
  local function
  function="$(complete -p "$1" | sed -n 's/.*-F \([^ ]*\).*/\1/p')"
  "$function" "$1" "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
  local got
  got="$(printf '%s\n' "${COMPREPLY[@]}" | LC_ALL=C sort | sed '/^$/d' | paste -sd'|')"
  if [ "$got" != "$expected" ]; then
    echo "FAIL: $* -> '$got', expected '$expected'" >&2
    failures=$((failures + 1))
  fi
}

check "blocks|export|extract|help|keywords|merge|rerun|url" brivano-cli ""
check "export|extract" brivano-cli ex
check "--help|--version|-h" brivano-cli -
check "blocks|export|extract|help|keywords|merge|rerun|url" brivano-cli help ""
check "" brivano-cli help url ""
check "360|baidu|bing|sogou" brivano-cli url --engine ""
check "mobile" brivano-cli url --kind m
check "email|fax|mobile|qq" brivano-cli extract --kind ""
check "auto|gbk|utf-8" brivano-cli extract --encoding ""
check "auto|gbk|utf-16|utf-8" brivano-cli keywords --encoding ""
check "--encoding|--help" brivano-cli keywords -o out.txt -
check "csv|txt|xlsx" brivano-cli export --format ""
check "--dedup|--encoding|--help|--kind|--threads" brivano-cli extract -
check "--dedup|--encoding|--help|--threads" brivano-cli extract --kind qq -
check "--db|--format|--help|--kind|-o" brivano-cli export --run 3 -
check "--db|--help" brivano-cli rerun --run 3 -
check "" brivano-cli url --engine bing ""
check "" brivano-cli url --page ""
check "cities.txt" brivano-cli keywords c
check "my list.txt" brivano-cli merge -o all.txt m
check "trades.txt" brivano-cli export --format csv -o t
check "" brivano-cli export --format csv t
check "cities.txt" brivano-cli extract --kind fax -- --kind c
check "" brivano-cli frobnicate ""

check "--keywords|--kind" brivano-run --k
check "--help" brivano-run --he
check "--dedup" brivano-run --keywords k.txt --d
check "" brivano-run --dedup --d
check "--resolve" brivano-run --resolve a:80:127.0.0.1 --res
check "--visit-sites" brivano-run --vis
check "utf-16|utf-8" brivano-run --encoding utf
check "360|baidu|bing|sogou" brivano-run --engine ""
check "email|fax|mobile|qq" brivano-run --kind ""
check "csv|txt|xlsx" brivano-run --format ""
check "stop|wait" brivano-run --on-verification ""
check "trades.txt" brivano-run --keywords t
check "my list.txt" brivano-run --out m
check "" brivano-run --max-wait ""

if [ "$failures" -ne 0 ]; then
  echo "$failures completion check(s) failed" >&2
  exit 1
fi
echo "completion checks passed"
