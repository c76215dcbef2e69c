#!/usr/bin/env bash
# Installs every Debian package that building, running and testing Brivano needs.
# Only missing packages are installed, so running it again is cheap and harmless.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  clang clang-format libclang-rt-14-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  libicu-dev libjpeg-dev
  libsqlite3-dev libxlsxwriter-dev libphonenumber-dev
  libcurl4-openssl-dev libpsl-dev ca-certificates zlib1g-dev
  qt6-base-dev qt6-webengine-dev qt6-webengine-dev-tools libgl-dev
  qt6-translations-l10n
  xvfb xauth hyperfine fonts-wqy-zenhei
  dpkg-dev desktop-file-utils man-db
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "bootstrap: all packages present"
  exit 0
fi

echo "bootstrap: installing ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
