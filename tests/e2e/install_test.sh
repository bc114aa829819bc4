#!/usr/bin/env bash
# The installed program as a user starts it: `cmake --install` into a fresh prefix (not the
# configured one, as with the package), then the launcher. The first start makes the user's
# working folder, gives it the default figure set and opens the dialog; the parameters are
# saved there. A later start keeps the user's own figure set.
set -euo pipefail
PROGRAM=$1
SOURCE_DIR=$2
BUILD_DIR=$(cd "$(dirname "$PROGRAM")/.." && pwd)
source "$SOURCE_DIR/tests/e2e/xvfb_session.sh"
PREFIX=$(mktemp -d /tmp/pelidor-install.XXXXXX)
finish() {
    cleanup_session
    rm -rf "$PREFIX"
}
trap finish EXIT

fail() {
    echo "$1" >&2
    [ -f "$WORK/program.log" ] && cat "$WORK/program.log" >&2
    exit 1
}

cmake --install "$BUILD_DIR" --prefix "$PREFIX" >/dev/null
start_display
make_work_folder
export HOME=$WORK/home
unset XDG_DATA_HOME PELIDOR_HOME
user_folder=$HOME/.local/share/pelidor
PROGRAM=$PREFIX/bin/pelidor

# --help and --version answer without a display and make nothing; any other argument is
# refused with the usage.
for option in --help -h --version -V; do
    env -u DISPLAY "$PROGRAM" "$option" >"$WORK/out.txt" 2>"$WORK/err.txt" ||
        fail "pelidor $option did not exit with status 0"
    [ -s "$WORK/out.txt" ] && [ ! -s "$WORK/err.txt" ] || fail "pelidor $option printed no answer"
done
grep -qx "pelidor [0-9.]*" "$WORK/out.txt" || fail "pelidor -V printed $(cat "$WORK/out.txt")"
env -u DISPLAY "$PROGRAM" --help | grep -q PELIDOR_HOME || fail "the usage does not name PELIDOR_HOME"
for arguments in "--bogus" "-platform offscreen" "--help --version"; do
    status=0
    # shellcheck disable=SC2086
    env -u DISPLAY "$PROGRAM" $arguments >"$WORK/out.txt" 2>"$WORK/err.txt" || status=$?
    [ "$status" = 2 ] && [ ! -s "$WORK/out.txt" ] && grep -q "^Usage: pelidor" "$WORK/err.txt" ||
        fail "pelidor $arguments: status $status, not 2 with the usage on the standard error"
done
[ ! -e "$HOME/.local" ] || fail "an option or a refused argument made the working folder"

start_program
focus_dialog >/dev/null || fail "the installed program showed no dialog"
cmp "$SOURCE_DIR/data/pelidor.sym" "$user_folder/pelidor.sym" ||
    fail "the working folder did not get the default figure set"
xdotool key Return
for tries in $(seq 1 100); do
    [ -f "$user_folder/pelidor.vvd" ] && break
    sleep 0.05
done
[ -f "$user_folder/pelidor.vvd" ] || fail "the parameters were not saved in the working folder"
kill -9 "$PROGRAM_PID"

# A user's own figure set stays as it is.
touch -d '2001-01-01 00:00' "$user_folder/pelidor.sym"
start_program
focus_dialog >/dev/null || fail "the second start showed no dialog"
[ "$(stat -c %Y "$user_folder/pelidor.sym")" = "$(date -d '2001-01-01 00:00' +%s)" ] ||
    fail "the second start replaced the user's figure set"
# The installed export reads that folder's log.
cp "$SOURCE_DIR/tests/e2e/fixture.rtr" "$user_folder/pelidor.rtr"
(cd "$WORK" && env -u DISPLAY "$PREFIX/bin/pelidor-export" csv results.csv) ||
    fail "the installed pelidor-export failed"
[ "$(wc -l <"$WORK/results.csv")" = 6 ] || fail "the installed pelidor-export read another log"
echo "installed launcher: options, working folder made, seeded and kept; export installed"
