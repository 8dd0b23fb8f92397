#!/usr/bin/env bash
# Sets the machine up, builds a Release build and starts Tumbral from app/media.
# Arguments are passed to the program (for example /windowed /width:1024 /height:768).
#
# Without a display (and without TUMBRAL_BACKEND or TUMBRAL_SCRIPT set) there is
# no window to show: the program then plays a short scripted session on the
# headless backend, writes its frames as PNG files and says where they are.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
echo "run: step 1 of 3: packages the program needs"
"$root/scripts/setup.sh" run
echo "run: step 2 of 3: building build/release (the first time takes a few minutes)"
"$root/scripts/build.sh" build/release Release -DTUMBRAL_TESTS=OFF -DTUMBRAL_BENCH=OFF
echo "run: step 3 of 3: starting the program"
cd "$root/app/media"
program="$root/build/release/app/tumbral"

if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" && -z "${TUMBRAL_BACKEND:-}" && -z "${TUMBRAL_SCRIPT:-}" ]]; then
  frames="$root/build/frames"
  mkdir -p "$frames"
  script="$frames/demo-script.txt"
  # From the start view (640x480 client): mark the left and top edge cubies of
  # the front face, watch the layer turn, then orbit to see the moved colours.
  cat > "$script" <<SCRIPT
@frame 5
shot $frames/1-start.png
click 236 240
click 320 156
@frame 30
shot $frames/2-turning.png
@frame 70
shot $frames/3-turned.png
drag right 250 300 330 230
@frame 80
shot $frames/4-orbited.png
press VK_F1
@frame 84
shot $frames/5-help-hidden.png
quit
SCRIPT
  echo "run: no display is reachable; playing a short session on the headless backend."
  status=0
  TUMBRAL_BACKEND=headless TUMBRAL_SCRIPT="$script" "$program" "$@" || status=$?
  echo "run: frames written to $frames (exit code $status). Set DISPLAY for a real window."
  exit "$status"
fi
exec "$program" "$@"
