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
echo "installed launcher: working folder made, seeded and kept"
