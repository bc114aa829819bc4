#!/usr/bin/env bash
# A whole session as a person has it, driven only by the keyboard, the mouse and screenshots:
# the dialog is filled in by typing, a short training is answered by looking for the figure,
# the sight check is answered by looking at the ring's gap, the graph and the user guide are
# opened, and Exit ends the program. Then the two files are checked. Screenshots of every
# screen are kept in $PELIDOR_SCREENSHOTS (default: a folder next to the program).
set -euo pipefail
PROGRAM=$1
SOURCE_DIR=$2
source "$SOURCE_DIR/tests/e2e/xvfb_session.sh"
trap cleanup_session EXIT
SHOTS=${PELIDOR_SCREENSHOTS:-$(dirname "$PROGRAM")/screenshots}
mkdir -p "$SHOTS"
screen() { python3 "$SOURCE_DIR/tests/e2e/screen.py" "$@"; }
shot() { import -window root -depth 8 "ppm:$WORK/screen.ppm"; }
keep() { import -window root -crop 1024x768+0+0 "$SHOTS/$1.png"; }
fail() { echo "$1"; cat "$WORK/program.log"; exit 1; }

start_display
make_work_folder
start_program
dialog=$(wait_window "Input parameters.   If necessary, change!" 20) || fail "no dialog"
xdotool windowfocus --sync "$dialog" 2>/dev/null || true
sleep 0.3
keep dialog
# Focus starts on "Begin the training"; Tab moves to "Exit from the program", then through the
# six fields in order. Each field's text is selected and replaced.
type_field() { xdotool key ctrl+a; xdotool type --delay 20 "$1"; xdotool key Tab; }
xdotool key Tab Tab
type_field "150"
type_field "19"
type_field "900"
type_field "1440"
type_field "3"
type_field "9"
xdotool key Return
for _ in $(seq 1 100); do [ -f "$WORK/pelidor.vvd" ] && break; sleep 0.05; done
[ -f "$WORK/pelidor.vvd" ] || fail "the parameter file was not written"

sleep 2.5
shot
read -r ox oy < <(screen origin "$WORK/screen.ppm")
[ "$ox" != "none" ] || fail "the start screen was not found"
keep start_screen

# Training: three presentations, each answered on the figure's side once it is shown.
xdotool mousemove $((ox + 490)) $((oy + 325)) click 1
for presentation in 1 2 3; do
    sleep 1.5
    shot
    [ "$presentation" -eq 1 ] && keep training
    side=$(screen side "$WORK/screen.ppm" "$ox" "$oy")
    [ "$side" = left ] && xdotool click 1 || xdotool click 3
    sleep 0.5
done
for _ in $(seq 1 100); do [ -f "$WORK/pelidor.rtr" ] && break; sleep 0.05; done
[ -f "$WORK/pelidor.rtr" ] || fail "no training record"
sleep 0.5
keep summary
xdotool click 1
sleep 2.5

# Sight check: answer every ring on the side of its gap until the result is shown.
xdotool click 3
sleep 0.4
shot
keep ring
for ring in $(seq 1 120); do
    lines=$(grep -c '' "$WORK/pelidor.rtr")
    [ "$lines" -ge 3 ] && break
    shot
    side=$(screen gap "$WORK/screen.ppm" "$ox" "$oy")
    case "$side" in
        left) xdotool click 1 ;;
        right) xdotool click 3 ;;
    esac
    sleep 1.45
done
[ "$(grep -c '' "$WORK/pelidor.rtr")" -ge 3 ] || fail "no sight-check record"
sleep 0.5
keep result
xdotool click 1
sleep 2.5

xdotool mousemove 105 10 click 1
sleep 1.5
keep graph
xdotool mousemove $((ox + 490)) $((oy + 325)) click 1
sleep 1
xdotool mousemove 210 10 click 1
sleep 0.8
keep user_guide
xdotool key Return
sleep 0.5
kill -0 "$PROGRAM_PID" || fail "the program ended before Exit"
xdotool mousemove 20 10 click 1
wait_program_end 1.0 || fail "Exit did not end the program within 1 s"

# The files, byte for byte where they are determined.
expected_vvd=$(printf '%s\r\n' \
    "150.000  (distance in centimeters)" \
    " 19.000  (diagonal of display in inches)" \
    "    900  (display resolution, pixels on the Y)" \
    "   1440  (display resolution, pixels on the X)" \
    "      3  (volume of training)" \
    "  9.000  (time for the ansver in seconds)" | od -An -c)
[ "$(od -An -c "$WORK/pelidor.vvd")" = "$expected_vvd" ] || { cat -A "$WORK/pelidor.vvd"; fail "pelidor.vvd differs"; }
mapfile -t lines < <(tr -d '\r' <"$WORK/pelidor.rtr")
[ "${#lines[@]}" -eq 3 ] || fail "the log has ${#lines[@]} lines"
stamp='^ [0-3][0-9]\.[01][0-9]\.[0-9]{4}\.,  [ 12][0-9]hour[ 1-5][0-9]min [ 1-5][0-9]sec, D=  150\.0cm  '
training_pattern="${stamp}Is=   2  Np=   3 Nt=   3 Ner=   0 Nna=   0 t_av= +[0-9]+\.[0-9]{2}s  Npup=   0\$"
sight_pattern="${stamp}DD=19\.0  ny= 900 nx=1440 AOV=[0-9]\.[0-9]{2}\$"
[[ "${lines[1]}" =~ $training_pattern ]] || fail "wrong training record: ${lines[1]}"
[[ "${lines[2]}" =~ $sight_pattern ]] || fail "wrong sight-check record: ${lines[2]}"
echo "acuity found by the robot: ${lines[2]: -4}"
echo "whole-session end-to-end test passed; screenshots in $SHOTS"
