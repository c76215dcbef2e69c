#!/usr/bin/env bash
# brivano-run's figures against a local stand-in for Bing (python3's
# http.server answering every address with one result page): the time from
# the program's start to its first request, the resident memory of the
# program with its browser processes, and pages per minute at the lowest
# speed, where the pacing must be the only limit.
# Usage: scripts/bench_run.sh [BUILD_DIR] [PAGES]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
pages="${2:-30}"
work="$(mktemp -d)"
trap 'kill "${server:-0}" 2>/dev/null || true; rm -rf "$work"' EXIT
mkdir -p "$work/www" "$work/prog"
cp "$build/app/brivano-run" "$work/prog/"
cat >"$work/www/search" <<'HTML'
<html><head><meta charset='utf-8'></head><body><div>手机：13800000001 13912345678</div>
<div><a href='#'>下一页</a></div></body></html>
HTML
cat >"$work/server.py" <<'PY'
import http.server, sys, time
class Page(http.server.SimpleHTTPRequestHandler):
    def guess_type(self, path): return 'text/html; charset=utf-8'
    def log_message(self, fmt, *args):
        if self.path.startswith('/search'):
            sys.stderr.write('%.3f\n' % time.time()); sys.stderr.flush()
server = http.server.ThreadingHTTPServer(('127.0.0.1', 0),
    lambda *a, **k: Page(*a, directory=sys.argv[1], **k))
print(server.server_port, flush=True)
server.serve_forever()
PY
python3 "$work/server.py" "$work/www" >"$work/port" 2>"$work/requests" &
server=$!
while [ ! -s "$work/port" ]; do sleep 0.1; done
printf '[bing]\r\nhost=http://127.0.0.1:%s\r\n' "$(cat "$work/port")" >"$work/prog/engines.ini"
printf '深圳 旅行社\n' >"$work/keywords.txt"

export XDG_DATA_HOME="$work/data" XDG_CACHE_HOME="$work/cache"
start=$(date +%s.%N)
"$work/prog/brivano-run" --engine bing --kind mobile --keywords "$work/keywords.txt" \
  --speed 3 --pages "$pages" 2>"$work/log" &
program=$!
peak=0
set +e  # ps finds nothing once a process has gone
while kill -0 "$program" 2>/dev/null; do
  # The program and every process under it: its child, which does the
  # work, and the browser's processes.
  rss=$(ps -e -o pid=,ppid=,rss= | awk -v top="$program" '
    { parent[$1] = $2; size[$1] = $3 }
    END {
      for (pid in parent) {
        for (p = pid; p != "" && p != 0 && p != 1; p = parent[p]) {
          if (p == top) { sum += size[pid]; break }
        }
      }
      print sum + 0
    }')
  [ "$rss" -gt "$peak" ] && peak=$rss
  sleep 0.5
done
wait "$program"
set -e

mapfile -t times <"$work/requests"
count=${#times[@]}
echo "requests: $count (pages asked for: $pages)"
awk -v s="$start" -v t="${times[0]}" 'BEGIN { printf "start-up to first request: %.2f s\n", t - s }'
awk -v a="${times[0]}" -v b="${times[count - 1]}" -v n="$count" \
  'BEGIN { printf "pages per minute at speed 3: %.2f (the pacing allows 20)\n", (n - 1) * 60 / (b - a) }'
echo "peak resident memory, program and browser processes: $((peak / 1024)) MB"
