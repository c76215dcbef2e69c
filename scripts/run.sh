#!/usr/bin/env bash
# Sets everything up on a fresh Debian machine, builds the three programs,
# and starts Brivano. Without a display (no DISPLAY or WAYLAND_DISPLAY), it
# starts the program on a virtual X display (Xvfb) and says so: the program
# runs, but nobody can see it; Ctrl+C ends it.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/bootstrap.sh"
# The options scripts/test.sh builds with: the tests then reuse these objects,
# and running one script after the other never reconfigures the folder.
"$root/scripts/build.sh" -DBRIVANO_DEVELOPER=ON \
  --target brivano --target brivano-run --target brivano-cli
program="${BRIVANO_BUILD_DIR:-$root/build}/app/brivano"
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec "$program"
fi

echo "run: no display found; starting Brivano on a virtual display (Xvfb), where nobody can see it; Ctrl+C ends it" >&2
# Xvfb gets a session of its own: the terminal's Ctrl+C then reaches only the
# program, which saves its keyword list and quits while its display is still
# there (xvfb-run's server would die of the same Ctrl+C first). The server
# picks a free display number and writes it once it takes connections.
work="$(mktemp -d "${TMPDIR:-/tmp}/brivano-xvfb.XXXXXX")"
server=""
trap '[ -z "$server" ] || { kill "$server" 2>/dev/null; wait "$server" 2>/dev/null; }; rm -rf "$work"' EXIT
export XAUTHORITY="$work/Xauthority"
touch "$XAUTHORITY"
cookie="$(od -An -N16 -tx1 /dev/urandom | tr -d ' \n')"
# The server takes every cookie of its file, whatever display it names.
xauth -q add :0 MIT-MAGIC-COOKIE-1 "$cookie"
mkfifo "$work/display"
setsid Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp -auth "$XAUTHORITY" \
  3>"$work/display" 2>"$work/xvfb.log" &
server=$!
number=""
read -r number <"$work/display" || true
if [ -z "$number" ]; then
  echo "run: Xvfb did not start:" >&2
  cat "$work/xvfb.log" >&2
  exit 1
fi
export DISPLAY=":$number"
xauth -q add "$DISPLAY" MIT-MAGIC-COOKIE-1 "$cookie"
# The script outlives the program to stop the server; a Ctrl+C is the
# program's to handle.
trap '' INT
status=0
"$program" || status=$?
exit "$status"
