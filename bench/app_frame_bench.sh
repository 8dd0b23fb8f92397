#!/usr/bin/env bash
# Whole-application figures on the headless backend, with the real program:
#   - milliseconds per frame at 640x480, 1280x720 and 1920x1080, vsync off,
#     over 1000 frames (after 100 warm-up frames): the median and 90th
#     percentile of the frame-to-frame wall time (through a perf probe on the
#     frame-move callback, when perf can place one), and the CPU time per frame
#     (user + system time of a 1100-frame run minus a 100-frame run);
#   - time from process start to the first presented frame (an upper bound:
#     the run quits right after that frame, so the shut-down is included);
#   - peak resident memory;
#   - CPU use while idling 5 s with vsync on at 640x480.
#
# Usage: bench/app_frame_bench.sh [path/to/tumbral]
# Default binary: build/release/app/tumbral (configure with -DCMAKE_BUILD_TYPE=Release).
# The machine should be otherwise idle; wall times on a shared machine are noisy,
# CPU times much less so.
set -euo pipefail

ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BIN="$(realpath "${1:-$ROOT/build/release/app/tumbral}")"
[ -x "$BIN" ] || { echo "no program at $BIN (build the tumbral target first)" >&2; exit 1; }
TMP="$(mktemp -d)"
trap 'rm -rf "$TMP"' EXIT
cd "$ROOT/app/media"

export TUMBRAL_BACKEND=headless
export TUMBRAL_HEADLESS_MONITORS=2560x1440   # room for a 1920x1080 client area
export TUMBRAL_DEBUG_OUTPUT=off
unset TUMBRAL_SCRIPT

# cpu_seconds <args...>: runs the program headless without vsync waits; prints user+system seconds.
cpu_seconds() {
    TUMBRAL_HEADLESS_NOWAIT=1 /usr/bin/time -f "%U %S" -o "$TMP/time" "$BIN" "$@" >/dev/null 2>&1
    awk '{ printf "%.3f", $1 + $2 }' "$TMP/time"
}

median() { sort -n | awk '{ v[NR] = $1 } END { if (NR == 0) print "n/a"; else printf "%.3f", (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
percentile90() { sort -n | awk '{ v[NR] = $1 } END { if (NR == 0) print "n/a"; else printf "%.3f", v[int(NR * 0.9 + 0.5)] }'; }

# Per-frame wall times through a uprobe on the frame-move callback (needs perf and root).
PROBE=0
if command -v perf >/dev/null 2>&1 && perf probe -q -x "$BIN" --add AppFrameMove >/dev/null 2>&1; then
    PROBE=1
    EVENT="$(perf probe -l 2>/dev/null | awk '/AppFrameMove/ { print $1; exit }')"
    trap 'perf probe -q -d "$EVENT" >/dev/null 2>&1 || true; rm -rf "$TMP"' EXIT
fi

echo "program: $BIN"
echo "frame times, vsync off, 1000 frames after 100 warm-up frames:"
for size in 640x480 1280x720 1920x1080; do
    w="${size%x*}"; h="${size#*x}"
    args=(/forcevsync:0 /width:"$w" /height:"$h")

    # The back buffer must really have the asked size.
    printf '@frame 2\nshot %s\n' "$TMP/size.png" >"$TMP/size.txt"
    TUMBRAL_SCRIPT="$TMP/size.txt" TUMBRAL_HEADLESS_NOWAIT=1 "$BIN" "${args[@]}" /quitafterframe:3 >/dev/null 2>&1
    got="$(file -b "$TMP/size.png" | sed -n 's/.* \([0-9]*\) x \([0-9]*\),.*/\1x\2/p')"

    c100=(); c1100=()
    for i in 1 2 3; do
        c100+=("$(cpu_seconds "${args[@]}" /quitafterframe:100)")
        c1100+=("$(cpu_seconds "${args[@]}" /quitafterframe:1100)")
    done
    cpu_ms="$(awk -v a="$(printf '%s\n' "${c1100[@]}" | median)" -v b="$(printf '%s\n' "${c100[@]}" | median)" \
        'BEGIN { printf "%.3f", (a - b) }')"   # seconds per 1000 frames = ms per frame

    wall="n/a"; p90="n/a"
    if [ "$PROBE" = 1 ]; then
        TUMBRAL_HEADLESS_NOWAIT=1 perf record -q -e "$EVENT" -o "$TMP/probe.data" \
            "$BIN" "${args[@]}" /quitafterframe:1100 >/dev/null 2>&1
        perf script -i "$TMP/probe.data" -F time 2>/dev/null | tr -d ' :' |
            awk 'NR > 1 { printf "%.4f\n", ($1 - prev) * 1000 } { prev = $1 }' | tail -n 1000 >"$TMP/frames"
        wall="$(median <"$TMP/frames")"
        p90="$(percentile90 <"$TMP/frames")"
    fi
    printf '  %-9s (back buffer %s): median %s ms, p90 %s ms (wall); %s ms CPU per frame\n' \
        "$size" "${got:-?}" "$wall" "$p90" "$cpu_ms"
done

# Start to first presented frame: the script quits once a frame has been presented.
printf '@frame 1\nquit\n' >"$TMP/first.txt"
firsts=()
for i in 1 2 3 4 5; do
    t0=$(date +%s%N)
    TUMBRAL_SCRIPT="$TMP/first.txt" TUMBRAL_HEADLESS_NOWAIT=1 "$BIN" >/dev/null 2>&1
    t1=$(date +%s%N)
    firsts+=("$(( (t1 - t0) / 1000 ))")
done
printf 'start to first presented frame (and exit): median %s ms of 5 runs\n' \
    "$(printf '%s\n' "${firsts[@]}" | median | awk '{ printf "%.1f", $1 / 1000 }')"

# Peak resident memory, at the smallest and largest size.
for size in 640x480 1920x1080; do
    TUMBRAL_HEADLESS_NOWAIT=1 /usr/bin/time -f "%M" -o "$TMP/rss" "$BIN" /forcevsync:0 \
        /width:"${size%x*}" /height:"${size#*x}" /quitafterframe:300 >/dev/null 2>&1
    printf 'peak resident memory at %s: %.1f MB\n' "$size" "$(awk '{ print $1 / 1024 }' "$TMP/rss")"
done

# Idle with vsync on (presents wait for the 60 Hz refresh), 640x480, 5 seconds.
printf '@ms 5000\nquit\n' >"$TMP/idle.txt"
TUMBRAL_SCRIPT="$TMP/idle.txt" /usr/bin/time -f "%U %S %e" -o "$TMP/idle" "$BIN" >/dev/null 2>&1
awk '{ printf "idle CPU with vsync on at 640x480: %.1f %% of one core (%.2f s CPU in %.2f s)\n", 100 * ($1 + $2) / $3, $1 + $2, $3 }' "$TMP/idle"
