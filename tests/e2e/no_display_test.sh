#!/usr/bin/env bash
# Started where no display can be reached, the program says so in one line and ends with status
# 1: no abort, no core dump, no file made. Qt's own choice of platform still works without a
# display: -platform offscreen and QT_QPA_PLATFORM=offscreen start the program.
set -euo pipefail
PROGRAM=$1
WORK=$(mktemp -d /tmp/pelidor-nodisplay.XXXXXX)
trap 'rm -rf "$WORK"' EXIT
cd "$WORK"
fail() { echo "$1" >&2; exit 1; }
ulimit -c unlimited 2>/dev/null || true

no_display=(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u XDG_SESSION_TYPE)
# A display number nobody serves: no socket of that number exists.
unused=7
while [ -e "/tmp/.X11-unix/X$unused" ] || [ -e "/tmp/.X$unused-lock" ]; do unused=$((unused + 1)); done

while IFS='|' read -r what names variables arguments; do
    status=0
    # shellcheck disable=SC2086
    "${no_display[@]}" $variables "$PROGRAM" $arguments >out.txt 2>err.txt || status=$?
    [ "$status" = 1 ] || fail "$what: status $status, not 1 ($(cat err.txt))"
    [ ! -s out.txt ] || fail "$what: wrote to the standard output"
    [ "$(wc -l <err.txt)" = 1 ] || fail "$what: not one line on the standard error: $(cat err.txt)"
    grep -q "$names" err.txt || fail "$what: the line does not name $names: $(cat err.txt)"
    grep -q 'desktop session.*xvfb-run -a pelidor$' err.txt ||
        fail "$what: the line does not say how to run it: $(cat err.txt)"
    rm -f out.txt err.txt
    [ -z "$(ls -A)" ] || fail "$what: left files behind: $(ls -A)"
done <<LIST
no display variable|neither DISPLAY nor WAYLAND_DISPLAY is set|
a display that does not answer|:$unused (DISPLAY) cannot be reached|DISPLAY=:$unused
Qt's -display option|:$unused (-display) cannot be reached||-display :$unused
LIST

# Qt's offscreen platform needs no display: the program starts and waits in its dialog.
for how in "-platform offscreen" "QT_QPA_PLATFORM=offscreen"; do
    if [ "$how" = "-platform offscreen" ]; then
        "${no_display[@]}" "$PROGRAM" -platform offscreen >log.txt 2>&1 &
    else
        "${no_display[@]}" QT_QPA_PLATFORM=offscreen "$PROGRAM" >log.txt 2>&1 &
    fi
    pid=$!
    sleep 2
    kill -0 "$pid" 2>/dev/null || fail "with $how the program ended: $(cat log.txt)"
    kill -9 "$pid"
    wait "$pid" 2>/dev/null || true
done
echo "no display: one line, status 1; the offscreen platform still starts"
