#!/usr/bin/env bash
# Installs every Debian package the build and the tests need. Idempotent and quick when all is there.
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build pkg-config
  googletest libgtest-dev libgmock-dev
  qt6-base-dev qt6-serialport-dev libgl-dev
  libasound2-dev libmpg123-dev libtwolame-dev libmp3lame-dev libsoxr-dev libcomedi-dev
  socat xvfb xauth poppler-utils
  sox twolame lame espeak-ng ffmpeg faketime
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  echo "setup: installing ${missing[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
