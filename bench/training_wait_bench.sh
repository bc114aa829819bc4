#!/usr/bin/env bash
# The running program (real window under a virtual display) while a training presentation
# waits for its answer: CPU over 10 s of the wait and resident memory. Prints table rows.
# Usage: bench/training_wait_bench.sh [path to pelidor]
set -euo pipefail
SOURCE_DIR=$(cd "$(dirname "$0")/.." && pwd)
PROGRAM=${1:-$SOURCE_DIR/build/app/pelidor}
source "$SOURCE_DIR/tests/e2e/xvfb_session.sh"
source "$SOURCE_DIR/bench/program_usage.sh"
trap cleanup_session EXIT

start_display
make_work_folder
write_parameter_file 1 60
start_program
begin_from_dialog
sleep 2.5
xdotool mousemove 500 400 click 1
# One second of grey and the opening tone, then the answer window of 60 s.
sleep 3
measure_program 10
printf '| CPU over a 10 s answer wait | %s %% of one core | <= 1 %% |\n' "$CPU_PERCENT"
printf '| resident memory during a training (peak) | %d MB (%d MB) | <= 80 MB |\n' \
    "$RSS_MB" "$PEAK_MB"
