#!/usr/bin/env bash
# Takes the README's picture of the main window after a short run, on a
# virtual X display: scripts/screenshot.sh [docs/main-window.png]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="${1:-$root/docs/main-window.png}"
"$root/scripts/build.sh" >/dev/null
mkdir -p "$(dirname "$out")"
xvfb-run -a -s "-screen 0 1280x800x24" "${BRIVANO_BUILD_DIR:-$root/build}/tests/gui/brivano-screenshot" "$out" 2>/dev/null
echo "screenshot: $out"
