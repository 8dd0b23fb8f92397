#!/usr/bin/env bash
# A real window against headless, side by side: starts its own Xvfb (one
# 1920x1080 screen) with openbox, then runs the program on the headless backend
# and in an SDL window at 640x480 and 1280x720, interleaved round by round, and
# prints the medians as a table:
#   - CPU per frame with vsync off: a still cube (statistics text changing),
#     every band drawn (TUMBRAL_REDRAW_ALL=1, the cost of a busy frame), and,
#     headless, while the view orbits (a right-button drag moving every frame);
#     each the user+system time of a 1100-frame run minus a 100-frame run;
#   - CPU while idle with vsync on (4 s), and the frame rate then;
#   - peak resident memory (300 frames), and headless at 1920x1080;
#   - process start to the end of the second presented frame (an upper bound
#     of "first frame visible": it includes drawing a second frame and exiting);
#   - in the SDL window, process start to the first frame presented: from the
#     program's exec to SDL attaching the window's shared-memory image, which
#     the first present does right before it copies the frame there and sends
#     it (timed with perf's system-call trace points where perf may use them,
#     as root; else with strace, which makes it a few milliseconds longer).
# CPU is the program's own; the X server's work for the window is not counted.
#
# Usage: bench/present_bench.sh [path/to/tumbral] [path/to/older/tumbral]
#   The second program, when given, is run in the same rounds (columns "before").
#   ROUNDS=n (default 3). START_ONLY=1 measures only the start-up figures
#   (with ROUNDS=15 or so: start-up times vary most between runs).
#   SIZES="1280x720" limits the window sizes (default "640x480 1280x720").
#   NAMES="gallery puzzle" names the two programs' columns (default "new before"):
#   any program on the framework can be measured, e.g. samples/gallery against the puzzle.
# Needs Xvfb, openbox and GNU time (/usr/bin/time). The machine should be
# otherwise idle; the load average is printed with the table.
set -euo pipefail

ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BIN="$(realpath "${1:-$ROOT/build/release/app/tumbral}")"
BASE="${2:+$(realpath "$2")}"
ROUNDS="${ROUNDS:-3}"
SIZES="${SIZES:-640x480 1280x720}"
read -r NEW_NAME OLD_NAME <<<"${NAMES:-new before}"
[ -x "$BIN" ] || { echo "no program at $BIN (build the tumbral target first)" >&2; exit 1; }
[ -z "$BASE" ] || [ -x "$BASE" ] || { echo "no program at $BASE" >&2; exit 1; }
for tool in Xvfb openbox /usr/bin/time; do
    command -v "$tool" >/dev/null || { echo "$tool is not installed" >&2; exit 1; }
done

TMP="$(mktemp -d)"
XVFB_PID="" WM_PID=""
cleanup() {
    [ -n "$WM_PID" ] && kill "$WM_PID" 2>/dev/null || true
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$TMP"
}
trap cleanup EXIT

# Our own X server on a free display number, and a window manager.
N=90
while [ -e "/tmp/.X11-unix/X$N" ] || [ -e "/tmp/.X$N-lock" ]; do N=$((N + 1)); done
Xvfb ":$N" -screen 0 1920x1080x24 -nolisten tcp -noreset >/dev/null 2>&1 &
XVFB_PID=$!
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$N" ] && break; sleep 0.1; done
DISPLAY=":$N" openbox >/dev/null 2>&1 &
WM_PID=$!
sleep 1.5  # SDL_CreateWindow can hang when a window manager is still starting

cd "$ROOT/app/media"
export TUMBRAL_DEBUG_OUTPUT=off
unset TUMBRAL_SCRIPT TUMBRAL_PRESENT TUMBRAL_REDRAW_ALL

median() { sort -n | awk '{ v[NR] = $1 } END { if (NR == 0) print "n/a"; else printf "%.3f", (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# run <program> <backend> <w> <h> <extra env...> -- <args...>: runs once; GNU time's output in $TMP/t.
# TRACE, when set, is a command the program runs under (strace).
TRACE=()
run() {
    local prog=$1 backend=$2 w=$3 h=$4
    shift 4
    local env=()
    while [ "$1" != "--" ]; do env+=("$1"); shift; done
    shift
    if [ "$backend" = sdl ]; then
        env+=(DISPLAY=":$N" TUMBRAL_BACKEND=sdl)
    else
        env+=(TUMBRAL_BACKEND=headless TUMBRAL_HEADLESS_MONITORS=1920x1080@60)
    fi
    env "${env[@]}" /usr/bin/time -f "%U %S %e %M" -o "$TMP/t" "${TRACE[@]}" "$prog" /windowed /width:"$w" /height:"$h" "$@" \
        >/dev/null 2>&1 || true
}
cpu() { awk '{ printf "%.4f", $1 + $2 }' "$TMP/t"; }
wall() { awk '{ printf "%.4f", $3 }' "$TMP/t"; }

# An orbit: the right button held from frame 5, the mouse moving every frame up to frame N.
orbit_script() {
    local n=$1 f
    {
        echo "@frame 5"
        echo "down right 200 200"
        for ((f = 6; f <= n; f++)); do
            echo "@frame $f"
            echo "move $((200 + (f % 40) * 4)) $((200 + (f % 23) * 3))"
        done
    } >"$TMP/orbit$n.txt"
}
orbit_script 100
orbit_script 1100

# How the first frame in a window is timed: by the kernel's system-call trace points
# through perf (no cost to the program), else by strace (which stops the program at
# each new thread, adding milliseconds), else not at all.
FIRST_BY=""
if command -v perf >/dev/null && perf record -q -e syscalls:sys_enter_shmat -o "$TMP/probe.data" -- true >/dev/null 2>&1; then
    FIRST_BY=perf
elif command -v strace >/dev/null; then
    FIRST_BY=strace
fi

COLUMNS_=()
for size in $SIZES; do
    for backend in headless sdl; do
        COLUMNS_+=("$NEW_NAME $backend $size")
        [ -n "$BASE" ] && COLUMNS_+=("$OLD_NAME $backend $size")
    done
done
COLUMNS_+=("$NEW_NAME headless 1920x1080")
[ -n "$BASE" ] && COLUMNS_+=("$OLD_NAME headless 1920x1080")

declare -A R  # R["figure|column"] = values, one per line

add() { R["$1|$2"]+="$3"$'\n'; }

for round in $(seq "$ROUNDS"); do
    echo "round $round of $ROUNDS ($(uptime | sed 's/.*load/load/'))" >&2
    for col in "${COLUMNS_[@]}"; do
        read -r which backend size <<<"$col"
        prog=$BIN
        [ "$which" = "$OLD_NAME" ] && prog=$BASE
        w=${size%x*} h=${size#*x}
        if [ -n "${START_ONLY:-}" ] && [ "$size" = 1920x1080 ]; then continue; fi
        if [ "$size" = 1920x1080 ]; then  # memory only
            run "$prog" "$backend" "$w" "$h" -- /forcevsync:0 /quitafterframe:300
            add rss "$col" "$(awk '{ printf "%.1f", $4 / 1024 }' "$TMP/t")"
            continue
        fi
        if [ -z "${START_ONLY:-}" ]; then
            # CPU per frame, vsync off: still cube, then every band drawn.
            for mode in still all; do
                extra=(TUMBRAL_HEADLESS_NOWAIT=1)
                [ "$mode" = all ] && extra+=(TUMBRAL_REDRAW_ALL=1)
                run "$prog" "$backend" "$w" "$h" "${extra[@]}" -- /forcevsync:0 /quitafterframe:100
                a=$(cpu)
                run "$prog" "$backend" "$w" "$h" "${extra[@]}" -- /forcevsync:0 /quitafterframe:1100
                add "cpu_$mode" "$col" "$(awk -v a="$a" -v b="$(cpu)" 'BEGIN { printf "%.3f", b - a }')"
            done
            if [ "$backend" = headless ]; then
                run "$prog" "$backend" "$w" "$h" TUMBRAL_HEADLESS_NOWAIT=1 TUMBRAL_SCRIPT="$TMP/orbit100.txt" \
                    -- /forcevsync:0 /quitafterframe:100
                a=$(cpu)
                run "$prog" "$backend" "$w" "$h" TUMBRAL_HEADLESS_NOWAIT=1 TUMBRAL_SCRIPT="$TMP/orbit1100.txt" \
                    -- /forcevsync:0 /quitafterframe:1100
                add cpu_orbit "$col" "$(awk -v a="$a" -v b="$(cpu)" 'BEGIN { printf "%.3f", b - a }')"
            fi
            # Idle with vsync on: CPU share over 4 s of frames (60 to 300), and the frame rate.
            run "$prog" "$backend" "$w" "$h" -- /forcevsync:1 /quitafterframe:60
            c1=$(cpu) w1=$(wall)
            run "$prog" "$backend" "$w" "$h" -- /forcevsync:1 /quitafterframe:300
            add idle "$col" "$(awk -v c1="$c1" -v w1="$w1" -v c2="$(cpu)" -v w2="$(wall)" \
                'BEGIN { printf "%.2f", 100 * (c2 - c1) / (w2 - w1) }')"
            add fps "$col" "$(awk -v w1="$w1" -v w2="$(wall)" 'BEGIN { printf "%.2f", 240 / (w2 - w1) }')"
            add rss "$col" "$(awk '{ printf "%.1f", $4 / 1024 }' "$TMP/t")"
        fi
        # Start to the second frame presented, and exit.
        t0=$(date +%s%N)
        run "$prog" "$backend" "$w" "$h" -- /forcevsync:0 /quitafterframe:1
        t1=$(date +%s%N)
        add start "$col" "$(( (t1 - t0) / 100000 ))e-1"
        if [ "$backend" = sdl ] && [ -n "$FIRST_BY" ]; then
            if [ "$FIRST_BY" = perf ]; then
                TRACE=(perf record -q -e syscalls:sys_exit_execve,syscalls:sys_enter_shmat -o "$TMP/perf.data" --)
                run "$prog" "$backend" "$w" "$h" -- /forcevsync:0 /quitafterframe:1
                perf script -i "$TMP/perf.data" >"$TMP/trace" 2>/dev/null || true
                first=$(awk '/sys_exit_execve: 0x0/ && !t0 { t0 = $4 + 0 } /sys_enter_shmat/ && !s { s = $4 + 0 }
                    END { if (t0 && s) printf "%.1f", (s - t0) * 1000 }' "$TMP/trace")
            else
                TRACE=(strace -f --seccomp-bpf -qq -ttt -e trace=execve,shmat -e signal=none -o "$TMP/trace")
                run "$prog" "$backend" "$w" "$h" -- /forcevsync:0 /quitafterframe:1
                first=$(awk -v p="execve(\"$prog\"" 'index($0, p) && / = 0$/ { t0 = $2 } /shmat\(/ && !s { s = $2 }
                    END { if (t0 && s) printf "%.1f", (s - t0) * 1000 }' "$TMP/trace")
            fi
            TRACE=()
            [ -n "$first" ] && add first "$col" "$first"
        fi
    done
done

cell() { printf '%s' "${R["$1|$2"]:-}" | awk '{ printf "%.3f\n", $1 }' | median; }
print_row() {
    local title=$1 figure=$2 unit=$3
    local line="| $title |"
    for col in "${COLUMNS_[@]}"; do
        local v
        v=$(cell "$figure" "$col")
        [ "$v" = n/a ] && v="–" || v="$v$unit"
        line+=" $v |"
    done
    echo "$line"
}

echo
echo "program: $BIN${BASE:+ (before: $BASE)}"
echo "medians of $ROUNDS interleaved rounds; Xvfb 1920x1080 with openbox on :$N; $(nproc) processors"
echo "load average at the end: $(uptime | sed 's/.*load average: //')"
echo
header="| |" sep="|---|"
for col in "${COLUMNS_[@]}"; do header+=" $col |"; sep+="---|"; done
echo "$header"
echo "$sep"
print_row "CPU per frame, vsync off, still cube" cpu_still " ms"
print_row "CPU per frame, vsync off, every band drawn" cpu_all " ms"
print_row "CPU per frame, vsync off, orbiting (headless)" cpu_orbit " ms"
print_row "CPU while idle, vsync on" idle " %"
print_row "frame rate while idle, vsync on" fps " fps"
print_row "peak resident memory" rss " MB"
print_row "start to second frame presented and exit" start " ms"
print_row "start to first frame presented (SDL${FIRST_BY:+, timed by $FIRST_BY})" first " ms"
