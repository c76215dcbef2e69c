#!/usr/bin/env bash
# Configures and builds Brivano in build/ (Release, Ninja); BRIVANO_BUILD_DIR
# names another folder. Arguments are CMake options ("-DBRIVANO_DEVELOPER=ON"),
# except "--target NAME", which builds only NAME (repeatable) instead of
# everything.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BRIVANO_BUILD_DIR:-$root/build}"
options=()
targets=()
while (($#)); do
  if [[ $1 == --target ]]; then
    (($# >= 2)) || { echo "build.sh: --target needs a NAME" >&2; exit 2; }
    targets+=(--target "$2")
    shift 2
  else
    options+=("$1")
    shift
  fi
done
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release "${options[@]}" >/dev/null
cmake --build "$build" -j "$(nproc)" "${targets[@]}"
