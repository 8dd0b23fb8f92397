#!/usr/bin/env bash
# Installs what building, running and testing Tumbral needs on a Debian machine.
# Idempotent: packages already present are not fetched again.
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build pkg-config git
  libgtest-dev libgmock-dev libbenchmark-dev
  libsdl2-dev libx11-dev libfreetype-dev libharfbuzz-dev libfontconfig-dev libstb-dev libicu-dev
  fonts-liberation fonts-wqy-microhei fonts-dejavu-core
  clang libclang-rt-dev
)
# Real-window tests: an X server, input injection, screenshots, a window manager.
if [[ "${TUMBRAL_SKIP_X11:-0}" != 1 ]]; then
  PACKAGES+=(xvfb xdotool x11-utils x11-xserver-utils imagemagick openbox)
fi

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}"
  SUDO=""
  [[ $(id -u) -ne 0 ]] && SUDO=sudo
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
