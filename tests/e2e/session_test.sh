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

read -r ox oy < <(wait_screen 10 origin) || fail "the start screen was not found"
keep start_screen

# Training: three presentations, each answered on the figure's side once it is shown.
# Its answer window is open while the signal bar is green; the bar turns red once the answer
# is taken (after the last one the summary covers it at once).
xdotool mousemove $((ox + 490)) $((oy + 325)) click 1
for presentation in 1 2 3; do
    wait_screen 10 answer "$ox" "$oy" >/dev/null || fail "presentation $presentation did not appear"
    [ "$presentation" -eq 1 ] && keep training
    side=$(screen side "$WORK/screen.ppm" "$ox" "$oy")
    [ "$side" = left ] && xdotool click 1 || xdotool click 3
    wait_screen 10 answered "$ox" "$oy" >/dev/null || fail "the answer to presentation $presentation was not taken"
done
# The closing prompt, in blue, waits for the click that returns to the start screen.
prompt_shown() { wait_screen 10 colour 0 0 255 "$ox" "$oy" 60 550 700 590 >/dev/null; }
prompt_shown || fail "the summary's prompt did not appear"
[ -f "$WORK/pelidor.rtr" ] || fail "no training record"
keep summary
xdotool click 1
wait_screen 10 origin >/dev/null || fail "the start screen did not come back"

# Sight check: answer every ring on the side of its gap until the result is shown.
# Each ring is answered as soon as it shows; the next look waits until the screen has moved
# on from it (a blank, a ring of the next level, or the result).
xdotool click 3
wait_screen 10 ring "$ox" "$oy" >/dev/null || fail "no ring appeared"
keep ring
for ring in $(seq 1 120); do
    lines=$(grep -c '' "$WORK/pelidor.rtr")
    [ "$lines" -ge 3 ] && break
    side=$(wait_screen 10 ring "$ox" "$oy") || fail "ring $ring did not appear"
    cp "$WORK/screen.ppm" "$WORK/answered.ppm"
    case "$side" in
        left) xdotool click 1 ;;
        right) xdotool click 3 ;;
    esac
    wait_screen 10 changed "$WORK/answered.ppm" "$ox" "$oy" >/dev/null ||
        fail "the answer to ring $ring was not taken"
done
[ "$(grep -c '' "$WORK/pelidor.rtr")" -ge 3 ] || fail "no sight-check record"
prompt_shown || fail "the result's prompt did not appear"
keep result
xdotool click 1
wait_screen 10 origin >/dev/null || fail "the start screen did not come back"

xdotool mousemove 105 10 click 1
# The graph's closing message is written last, in 0xDDAA00.
wait_screen 10 colour 0 170 221 "$ox" "$oy" 265 621 700 649 >/dev/null || fail "no graph"
keep graph
xdotool mousemove $((ox + 490)) $((oy + 325)) click 1
wait_screen 10 origin >/dev/null || fail "the start screen did not come back after the graph"
xdotool mousemove 210 10 click 1
about=$(wait_window "About .*" 10) || fail "the user guide did not open"
# Mapped is not yet painted: give the box a moment for its screenshot.
sleep 0.2
keep user_guide
xdotool key Return
for _ in $(seq 1 200); do xdotool search --onlyvisible --name "^About " >/dev/null 2>&1 || break; sleep 0.02; done
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
