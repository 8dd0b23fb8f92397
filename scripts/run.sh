#!/usr/bin/env bash
# Sets the machine up, builds a Release build and starts Tumbral.
# Arguments are passed to the program (for example /windowed /width:1024 /height:768).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
TUMBRAL_SKIP_X11=1 "$root/scripts/setup.sh"
"$root/scripts/build.sh" build/release Release -DTUMBRAL_TESTS=OFF -DTUMBRAL_BENCH=OFF
cd "$root/app/media"
exec "$root/build/release/app/tumbral" "$@"
