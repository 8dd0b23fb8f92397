#!/usr/bin/env bash
# Installs what a Tumbral command needs on a Debian machine: scripts/setup.sh [run|test|fuzz|package]
#   run      building and running the program (the default)
#   test     also the test suite: GoogleTest, Google Benchmark, the real-window test
#            tools (unless TUMBRAL_SKIP_X11=1), clang-format 14 for the format check,
#            Python for the generated images and the desktop files' validators
#   fuzz     also clang for the libFuzzer targets
#   package  what scripts/package.sh needs: dpkg-shlibdeps, file (CPack) and lintian
# Idempotent: packages already present are not fetched again.
set -euo pipefail
profile=${1:-run}

PACKAGES=(
  build-essential cmake ninja-build pkg-config
  libsdl2-dev libx11-dev libfreetype-dev libharfbuzz-dev libfontconfig-dev libstb-dev libicu-dev
  fonts-liberation fonts-wqy-microhei fonts-dejavu-core
)
case "$profile" in
  run) ;;
  test | fuzz)
    # The format check runs clang-format 14 (Debian 12's); other versions format differently.
    PACKAGES+=(git libgtest-dev libgmock-dev libbenchmark-dev clang-format-14 clang-format)
    # The skin and icon scripts are re-run and compared; the installed menu entry,
    # AppStream file and manual page are validated.
    PACKAGES+=(python3 desktop-file-utils appstream man-db)
    # Real-window tests: an X server, input injection, screenshots, a window manager
    # (and strace, with which bench/present_bench.sh times the first frame in a window).
    if [[ "${TUMBRAL_SKIP_X11:-0}" != 1 ]]; then
      PACKAGES+=(xvfb xdotool x11-utils x11-xserver-utils imagemagick openbox strace)
    fi
    if [[ "$profile" == fuzz ]]; then
      PACKAGES+=(clang libclang-rt-dev)
    fi
    ;;
  package) PACKAGES+=(dpkg-dev file lintian) ;;
  *)
    echo "setup: unknown profile '$profile' (run, test, fuzz or package)" >&2
    exit 2
    ;;
esac

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if ((${#missing[@]})); then
  echo "setup: installing ${#missing[@]} packages (on a fresh machine a minute or more; apt's output is hidden):"
  echo "setup:   ${missing[*]}"
  SUDO=""
  [[ $(id -u) -ne 0 ]] && SUDO=sudo
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
  echo "setup: packages installed"
else
  echo "setup: all ${#PACKAGES[@]} packages of the '$profile' profile are installed"
fi
