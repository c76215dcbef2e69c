#!/usr/bin/env bash
# Takes the README's picture of the main window after a short run, on a
# virtual X display: scripts/screenshot.sh [OUT.png [WIDTHxHEIGHT]]
# (default docs/main-window.png at the window's first-start size). A window
# smaller than its controls need is taken at that smallest size.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="${1:-$root/docs/main-window.png}"
size=(${2:+"$2"})
"$root/scripts/build.sh" --target brivano-screenshot >/dev/null
mkdir -p "$(dirname "$out")"
xvfb-run -a -s "-screen 0 2560x1440x24" \
  "${BRIVANO_BUILD_DIR:-$root/build}/tests/gui/brivano-screenshot" "$out" "${size[@]}" 2>/dev/null
echo "screenshot: $out"
