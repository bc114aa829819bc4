#!/usr/bin/env bash
# A short training run on the real window that nobody answers: three presentations with two
# seconds each from a prepared parameter file. The log then holds its header and one training
# record with three unanswered presentations, three push-ups and no average time.
set -euo pipefail
PROGRAM=$1
SOURCE_DIR=$2
source "$SOURCE_DIR/tests/e2e/xvfb_session.sh"
trap cleanup_session EXIT

start_display
make_work_folder
write_parameter_file 3 2
start_program
begin_from_dialog
# Click in the hold of the first picture (size 2) once it is shown.
read -r ox oy < <(wait_screen 10 origin) || { echo "the start screen was not found"; exit 1; }
xdotool mousemove 500 400 click 1
# Three presentations of about 1 + 0.2 + 2 + 0.3 s, then the summary and the log record.
for _ in $(seq 1 300); do [ -f "$WORK/pelidor.rtr" ] && break; sleep 0.1; done
[ -f "$WORK/pelidor.rtr" ] || { echo "no log record was written"; cat "$WORK/program.log"; exit 1; }
# The blue closing prompt is drawn after the record, right before the wait for a click.
wait_screen 10 colour 0 0 255 "$ox" "$oy" 60 550 700 590 >/dev/null || { echo "no closing prompt"; exit 1; }
header="     Date             Time         Distance     MeasureNpresent Ntrue_ans Nerrors Nno_ans  Av.tim.ans    Npush-ups "
record_pattern='^ [0-3][0-9]\.[01][0-9]\.[0-9]{4}\.,  [ 12][0-9]hour[ 1-5][0-9]min [ 1-5][0-9]sec, D=  200\.0cm  Is=   2  Np=   3 Nt=   0 Ner=   0 Nna=   3 t_av=     NaNs  Npup=   3$'
mapfile -t lines < <(tr -d '\r' <"$WORK/pelidor.rtr")
[ "${#lines[@]}" -eq 2 ] || { echo "the log has ${#lines[@]} lines"; cat -A "$WORK/pelidor.rtr"; exit 1; }
[ "${lines[0]}" = "$header" ] || { echo "wrong header"; cat -A "$WORK/pelidor.rtr"; exit 1; }
[[ "${lines[1]}" =~ $record_pattern ]] || { echo "wrong record"; cat -A "$WORK/pelidor.rtr"; exit 1; }
[ "$(grep -c $'\r$' "$WORK/pelidor.rtr")" -eq 2 ] || { echo "lines do not end in CR LF"; exit 1; }
# The summary waits for a click; then the start screen resumes.
xdotool mousemove 500 400 click 1
wait_screen 10 origin >/dev/null || { echo "the start screen did not come back"; exit 1; }
kill -0 "$PROGRAM_PID" || { echo "the program ended"; exit 1; }
xdotool mousemove 20 10 click 1
wait_program_end 1.0 || { echo "Exit did not end the program within 1 s"; exit 1; }
echo "training end-to-end test passed"
