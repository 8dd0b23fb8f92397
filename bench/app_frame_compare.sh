#!/usr/bin/env bash
# Side-by-side frame times of several builds of the program at one size, on the
# headless backend with vsync off: the builds run in turn, round after round,
# so that the machine's load falls on all of them alike. Per build it prints
# the median over the rounds of
#   - the median frame-to-frame wall time of 1000 frames after 100 warm-up
#     frames (through a perf probe on the frame-move callback, when perf can
#     place one), and
#   - the CPU time per frame (user + system time of an 1100-frame run minus a
#     100-frame run).
#
# Usage: bench/app_frame_compare.sh [-s WxH] [-r ROUNDS] path/to/tumbral...
set -euo pipefail

SIZE=640x480 ROUNDS=5
while getopts "s:r:" opt; do
    case "$opt" in
        s) SIZE="$OPTARG" ;;
        r) ROUNDS="$OPTARG" ;;
        *) echo "usage: $0 [-s WxH] [-r ROUNDS] program..." >&2; exit 2 ;;
    esac
done
shift $((OPTIND - 1))
[ "$#" -ge 1 ] || { echo "usage: $0 [-s WxH] [-r ROUNDS] program..." >&2; exit 2; }

ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BINS=()
for b in "$@"; do
    BINS+=("$(realpath "$b")")
    [ -x "${BINS[-1]}" ] || { echo "no program at $b" >&2; exit 1; }
done
TMP="$(mktemp -d)"
EVENTS=()
cleanup() {
    for e in "${EVENTS[@]}"; do perf probe -q -d "$e" >/dev/null 2>&1 || true; done
    rm -rf "$TMP"
}
trap cleanup EXIT
cd "$ROOT/app/media"

export TUMBRAL_BACKEND=headless TUMBRAL_HEADLESS_MONITORS=2560x1440 TUMBRAL_DEBUG_OUTPUT=off
export TUMBRAL_HEADLESS_NOWAIT=1
unset TUMBRAL_SCRIPT
ARGS=(/forcevsync:0 /width:"${SIZE%x*}" /height:"${SIZE#*x}")

median() { sort -n | awk '{ v[NR] = $1 } END { if (NR == 0) print "n/a"; else printf "%.3f", (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
cpu_seconds() {
    /usr/bin/time -f "%U %S" -o "$TMP/time" "$@" >/dev/null 2>&1
    awk '{ printf "%.3f", $1 + $2 }' "$TMP/time"
}

# One probe per build, named after its position.
for i in "${!BINS[@]}"; do
    EVENTS+=("")
    if command -v perf >/dev/null 2>&1 && perf probe -q -x "${BINS[$i]}" --add "frame$i=AppFrameMove" >/dev/null 2>&1; then
        EVENTS[$i]="$(perf probe -l 2>/dev/null | awk -v n="frame$i" '$1 ~ ":" n "$" { print $1; exit }')"
    fi
done

for round in $(seq "$ROUNDS"); do
    for i in "${!BINS[@]}"; do
        bin="${BINS[$i]}"
        a="$(cpu_seconds "$bin" "${ARGS[@]}" /quitafterframe:1100)"
        b="$(cpu_seconds "$bin" "${ARGS[@]}" /quitafterframe:100)"
        awk -v a="$a" -v b="$b" 'BEGIN { printf "%.4f\n", a - b }' >>"$TMP/cpu$i"
        if [ -n "${EVENTS[$i]}" ]; then
            perf record -q -e "${EVENTS[$i]}" -o "$TMP/probe.data" "$bin" "${ARGS[@]}" /quitafterframe:1100 \
                >/dev/null 2>&1
            perf script -i "$TMP/probe.data" -F time 2>/dev/null | tr -d ' :' |
                awk 'NR > 1 { printf "%.4f\n", ($1 - prev) * 1000 } { prev = $1 }' | tail -n 1000 | median >>"$TMP/wall$i"
            echo >>"$TMP/wall$i"
        fi
    done
done

echo "size $SIZE, $ROUNDS interleaved rounds; load average: $(cut -d' ' -f1-3 /proc/loadavg)"
for i in "${!BINS[@]}"; do
    wall="n/a"
    [ -s "$TMP/wall$i" ] && wall="$(grep . "$TMP/wall$i" | median)"
    printf '  %s: median frame %s ms (wall), %s ms CPU per frame\n' "${BINS[$i]}" "$wall" "$(median <"$TMP/cpu$i")"
done
