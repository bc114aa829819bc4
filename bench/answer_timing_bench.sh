#!/usr/bin/env bash
# The running program (real window under a virtual display) timed from outside: clicks are
# injected at known moments after each answer window visibly opens, and the answer times the
# program logs are compared with the true ones; the program's audio output goes into a FIFO,
# so the start of every tone is seen too. Prints "name value" lines (see bench/click_timer.cpp).
# Usage: bench/answer_timing_bench.sh [path to pelidor] [path to click_timer] [trainings]
set -euo pipefail
SOURCE_DIR=$(cd "$(dirname "$0")/.." && pwd)
PROGRAM=${1:-$SOURCE_DIR/build/app/pelidor}
TIMER=${2:-$SOURCE_DIR/build/bench/click_timer}
TRAININGS=${3:-20}
source "$SOURCE_DIR/tests/e2e/xvfb_session.sh"

TIMER_PID=
finish() {
    if [ -n "$TIMER_PID" ]; then kill "$TIMER_PID" 2>/dev/null || true; fi
    # The working folder holds the FIFO and the audio configuration; cleanup_session removes it.
    cleanup_session
}
trap finish EXIT

start_display
make_work_folder
# One presentation per training, so each record holds one answer time; 2 s to answer.
write_parameter_file 1 2

# The default audio output becomes a file output into a FIFO, in front of the null device:
# the program plays as usual and every sample it writes can be read with its moment.
mkfifo "$WORK/tones.fifo"
cat >"$WORK/.asoundrc" <<EOF
pcm.!default {
    type file
    slave.pcm "null"
    file "$WORK/tones.fifo"
    format "raw"
}
EOF
export HOME=$WORK

start_program
begin_from_dialog
# The timer opens the FIFO before the first tone and ends on its own; the bound is a guard.
timeout 600 "$TIMER" "$WORK/pelidor.rtr" "$WORK/tones.fifo" "$TRAININGS" \
    2>"$WORK/timer.log" &
TIMER_PID=$!
if ! wait "$TIMER_PID"; then
    TIMER_PID=
    echo "the click timer failed:" >&2
    cat "$WORK/timer.log" "$WORK/program.log" >&2
    exit 1
fi
TIMER_PID=
[ -n "${TIMING_DETAILS:-}" ] && cat "$WORK/timer.log" >&2
exit 0
