#!/usr/bin/env bash
# "Exit" chosen at random moments of every phase on the real window: the parameters dialog
# (Escape), the start screen as it draws, a training presentation, the summary's wait for a
# click and the progress graph. Every time the process ends within one second, and the files
# it leaves are whole. ROUNDS sets the number of rounds (10), SEED repeats a run.
set -euo pipefail
PROGRAM=$1
SOURCE_DIR=$2
source "$SOURCE_DIR/tests/e2e/xvfb_session.sh"
trap cleanup_session EXIT

ROUNDS=${ROUNDS:-10}
SEED=${SEED:-$(date +%s)}
RANDOM=$SEED
echo "exit-anytime test: $ROUNDS rounds, SEED=$SEED"

# A random pause of 0 to $1 milliseconds.
random_pause() { sleep "$(awk -v ms=$((RANDOM % ($1 + 1))) 'BEGIN { printf "%.3f", ms / 1000 }')"; }
now() { date +%s.%N; }

# The start screen's first picture, once the dialog has closed.
start_screen_shown() {
    wait_screen 10 origin >/dev/null || { echo "round $round: the start screen was not found"; exit 1; }
}

start_display
phases=(dialog start_screen training summary_wait graph)
worst=0
failures=0
for round in $(seq 1 "$ROUNDS"); do
    phase=${phases[$(((round - 1) % ${#phases[@]}))]}
    make_work_folder
    # Three presentations of two seconds each keep a training short.
    write_parameter_file 3 2
    cp "$SOURCE_DIR/tests/e2e/fixture.rtr" "$WORK/pelidor.rtr"
    start_program
    dialog=$(wait_window "Input parameters.   If necessary, change!" 20) || {
        echo "round $round: the parameters dialog did not appear"; cat "$WORK/program.log"; describe_display; exit 1; }
    xdotool windowfocus --sync "$dialog" 2>/dev/null || true
    if [ "$phase" = dialog ]; then
        random_pause 800
        xdotool windowfocus --sync "$dialog" 2>/dev/null || true
        started=$(now)
        xdotool key Escape
    else
        xdotool key Return
        case "$phase" in
            start_screen) random_pause 2000 ;;
            training)
                start_screen_shown
                xdotool mousemove 500 400 click 1
                random_pause 4000
                ;;
            summary_wait)
                start_screen_shown
                xdotool mousemove 500 400 click 1
                # The summary shows once the run's record is in the log.
                lines_before=$(wc -l <"$WORK/pelidor.rtr")
                for _ in $(seq 1 200); do
                    [ "$(wc -l <"$WORK/pelidor.rtr")" -gt "$lines_before" ] && break
                    sleep 0.05
                done
                random_pause 1000
                ;;
            graph)
                start_screen_shown
                xdotool mousemove 105 10 click 1
                random_pause 1500
                ;;
        esac
        started=$(now)
        xdotool mousemove 20 10 click 1
    fi
    if wait_program_end 1.0; then
        elapsed=$(awk -v a="$started" -v b="$(now)" 'BEGIN { printf "%.3f", b - a }')
        echo "round $round ($phase): ended after ${elapsed} s"
        worst=$(awk -v w="$worst" -v e="$elapsed" 'BEGIN { print (e > w ? e : w) }')
    else
        echo "round $round ($phase): still running 1 s after Exit"
        failures=$((failures + 1))
        kill -9 "$PROGRAM_PID" 2>/dev/null || true
    fi
    # Whatever the moment, the files are whole: six parameter lines, log lines of a record's
    # length, all ending in CR LF.
    [ "$(grep -c $'\r$' "$WORK/pelidor.vvd")" -eq 6 ] && [ "$(wc -l <"$WORK/pelidor.vvd")" -eq 6 ] || {
        echo "round $round: pelidor.vvd is not six whole lines"; cat -A "$WORK/pelidor.vvd"; failures=$((failures + 1)); }
    if awk '{ sub(/\r$/, ""); if (length($0) != 80 && length($0) != 115) bad = 1 } END { exit !bad }' \
        "$WORK/pelidor.rtr" || [ "$(grep -vc $'\r$' "$WORK/pelidor.rtr")" -ne 0 ]; then
        echo "round $round: pelidor.rtr has a broken line"; cat -A "$WORK/pelidor.rtr"; failures=$((failures + 1))
    fi
    rm -rf "$WORK"
    PROGRAM_PID=
done
echo "worst time from Exit to the end of the process: ${worst} s"
[ "$failures" -eq 0 ] || { echo "$failures failures"; exit 1; }
echo "exit-anytime end-to-end test passed"
