#!/usr/bin/env bash
# The running program (real window under a virtual display) while a training presentation
# waits for its answer: CPU over 10 s of the wait and resident memory. Prints table rows.
# Usage: bench/training_wait_bench.sh [path to pelidor]
set -euo pipefail
SOURCE_DIR=$(cd "$(dirname "$0")/.." && pwd)
PROGRAM=${1:-$SOURCE_DIR/build/app/pelidor}
source "$SOURCE_DIR/tests/e2e/xvfb_session.sh"
trap cleanup_session EXIT

start_display
make_work_folder
printf '%s\r\n' "200.000" " 17.700" "    768" "   1024" "      1" " 60.000" >"$WORK/pelidor.vvd"
start_program
begin_from_dialog
sleep 2.5
xdotool mousemove 500 400 click 1
# One second of grey and the opening tone, then the answer window of 60 s.
sleep 3
ticks=$(getconf CLK_TCK)
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$PROGRAM_PID/stat"; }
before=$(cpu_ticks)
sleep 10
after=$(cpu_ticks)
cpu=$(awk -v b="$before" -v a="$after" -v t="$ticks" 'BEGIN { printf "%.2f", 100 * (a - b) / t / 10 }')
rss_kb=$(awk '/VmRSS/ { print $2 }' "/proc/$PROGRAM_PID/status")
hwm_kb=$(awk '/VmHWM/ { print $2 }' "/proc/$PROGRAM_PID/status")
printf '| CPU over a 10 s answer wait | %s %% of one core | <= 1 %% |\n' "$cpu"
printf '| resident memory during a training (peak) | %d MB (%d MB) | <= 80 MB |\n' \
    $((rss_kb / 1024)) $((hwm_kb / 1024))
