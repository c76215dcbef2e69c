#!/usr/bin/env bash
# Sets everything up on a fresh Debian machine, builds, and starts Brivano.
# Without a display (no DISPLAY or WAYLAND_DISPLAY), the program starts on a
# virtual X display (Xvfb) and says so: it runs, but nobody can see it.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/bootstrap.sh"
"$root/scripts/build.sh"
program="${BRIVANO_BUILD_DIR:-$root/build}/app/brivano"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "run: no display found; starting Brivano on a virtual display (Xvfb)" >&2
  exec xvfb-run -a -s "-screen 0 1280x800x24" "$program"
fi
exec "$program"
