#!/usr/bin/env bash
# The running program (real window under a virtual display) timed from outside: clicks are
# injected at known moments after each answer window visibly opens, and the answer times the
# program takes (written out at full precision, and logged in 10 ms steps) are compared with
# the true ones; the program's audio output goes into a FIFO, so the start of every tone is
# seen too. Prints "name value" lines (see bench/click_timer.cpp), then the load it ran under.
#
# BUSY processes that only spin (0 by default) run beside the program for the whole
# measurement, as other programs on the user's computer would; the script starts them and ends
# them, and each ends on its own after a bound. The measuring side, the virtual display and
# the click timer, stands for the screen and the hand: where the system allows it, both run at
# the highest priority so that they see the screen and click on time however busy the cores
# are; the program and the busy processes keep the ordinary priority.
#
# Usage: bench/answer_timing_bench.sh [program] [click_timer] [trainings] [busy]
#   program defaults to build/bench/pelidor_answer_trace, which writes out its answer times.
set -euo pipefail
SOURCE_DIR=$(cd "$(dirname "$0")/.." && pwd)
PROGRAM=${1:-$SOURCE_DIR/build/bench/pelidor_answer_trace}
TIMER=${2:-$SOURCE_DIR/build/bench/click_timer}
TRAININGS=${3:-20}
BUSY=${4:-0}
# The timer's own bound, and the busy processes' bound beyond it.
TIMER_BOUND_S=900
BUSY_BOUND_S=$((TIMER_BOUND_S + 60))
source "$SOURCE_DIR/tests/e2e/xvfb_session.sh"

TIMER_PID=
BUSY_PIDS=()
finish() {
    if [ -n "$TIMER_PID" ]; then kill "$TIMER_PID" 2>/dev/null || true; fi
    local pid
    for pid in "${BUSY_PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${BUSY_PIDS[@]}"; do wait "$pid" 2>/dev/null || true; done
    # The working folder holds the FIFO and the audio configuration; cleanup_session removes it.
    cleanup_session
}
trap finish EXIT

load_average() { cut -d' ' -f1 /proc/loadavg; }

start_display
# Raising a priority needs the right to; without it everything runs at the ordinary priority.
measuring_nice=0
if renice -n -20 -p "$XVFB_PID" >/dev/null 2>&1; then measuring_nice=-20; fi
make_work_folder
# One presentation per training, so each record holds one answer time; 2 s to answer.
write_parameter_file 1 2

# The default audio output becomes a file output into a FIFO, in front of the null device:
# the program plays as usual and every sample it writes can be read with its moment.
mkfifo "$WORK/tones.fifo"
cat >"$WORK/.asoundrc" <<EOF_ASOUND
pcm.!default {
    type file
    slave.pcm "null"
    file "$WORK/tones.fifo"
    format "raw"
}
EOF_ASOUND
export HOME=$WORK

start_program
begin_from_dialog

for _ in $(seq 1 "$BUSY"); do
    timeout "$BUSY_BOUND_S" sh -c 'while :; do :; done' &
    BUSY_PIDS+=($!)
done
load_start=$(load_average)

# The timer opens the FIFO before the first tone and ends on its own; the bound is a guard.
timeout "$TIMER_BOUND_S" nice -n "$measuring_nice" "$TIMER" "$WORK/pelidor.rtr" \
    "$WORK/tones.fifo" "$TRAININGS" "$WORK/program.log" 2>"$WORK/timer.log" &
TIMER_PID=$!
if ! wait "$TIMER_PID"; then
    TIMER_PID=
    echo "the click timer failed:" >&2
    cat "$WORK/timer.log" "$WORK/program.log" >&2
    exit 1
fi
TIMER_PID=
echo "busy_processes $BUSY"
echo "measuring_nice $measuring_nice"
echo "load_average_start $load_start"
echo "load_average_end $(load_average)"
[ -n "${TIMING_DETAILS:-}" ] && cat "$WORK/timer.log" >&2
exit 0
