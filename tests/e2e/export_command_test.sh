#!/usr/bin/env bash
# pelidor-export as a user types it, without a display: help, version and usage errors; the log
# of the working folder found as the launcher finds it; a missing or unreadable log, or a file
# that cannot be written, is one line and status 1 with no file written; the log itself is
# never written over; lines the graph skips are counted on the standard error.
set -euo pipefail
EXPORT=$3
SOURCE_DIR=$2
WORK=$(mktemp -d /tmp/pelidor-export.XXXXXX)
trap 'rm -rf "$WORK"' EXIT
cd "$WORK"
fail() { echo "$1" >&2; exit 1; }
export_cmd() { env -u DISPLAY -u WAYLAND_DISPLAY "$EXPORT" "$@"; }
# Runs the export; keeps its status, standard output and standard error.
run() {
    status=0
    export_cmd "$@" >out.txt 2>err.txt || status=$?
}

for option in --help -h; do
    run "$option"
    [ "$status" = 0 ] && grep -q '^Usage: pelidor-export' out.txt && [ ! -s err.txt ] ||
        fail "$option: status $status"
done
for option in --version -V; do
    run "$option"
    [ "$status" = 0 ] && grep -qx 'pelidor-export [0-9.]*' out.txt || fail "$option: status $status"
done
for arguments in "" "graph" "pdf x.pdf" "csv a b" "--help csv" "--log" "csv --x"; do
    # shellcheck disable=SC2086
    run $arguments
    [ "$status" = 2 ] && [ ! -s out.txt ] && grep -q '^Usage: pelidor-export' err.txt ||
        fail "'$arguments': status $status, not 2 with the usage on the standard error"
done
rm -f out.txt err.txt
[ -z "$(ls -A)" ] || fail "help, version or a usage error left files: $(ls -A)"

# The working folder's log, as the launcher finds the folder.
mkdir -p pelidor-home xdg/pelidor home/.local/share/pelidor out
head -n 2 "$SOURCE_DIR/tests/e2e/fixture.rtr" >pelidor-home/pelidor.rtr
head -n 3 "$SOURCE_DIR/tests/e2e/fixture.rtr" >xdg/pelidor/pelidor.rtr
cp "$SOURCE_DIR/tests/e2e/fixture.rtr" home/.local/share/pelidor/pelidor.rtr
while read -r rows variables; do
    # shellcheck disable=SC2086
    env -i PATH="$PATH" $variables "$EXPORT" csv out/rows.csv || fail "csv with $variables failed"
    [ "$(wc -l <out/rows.csv)" = "$rows" ] || fail "with $variables the CSV has $(wc -l <out/rows.csv) rows, not $rows"
done <<LIST
2 PELIDOR_HOME=$WORK/pelidor-home XDG_DATA_HOME=$WORK/xdg HOME=$WORK/home
3 XDG_DATA_HOME=$WORK/xdg HOME=$WORK/home
6 HOME=$WORK/home
6 PELIDOR_HOME= XDG_DATA_HOME= HOME=$WORK/home
LIST
env -i PATH="$PATH" "$EXPORT" csv out/none.csv 2>err.txt && fail "without HOME the export succeeded"
[ ! -e out/none.csv ] || fail "without a log a file was written"

# The standard output holds what the file holds; a path is relative to the current folder.
(cd out && export_cmd --log ../home/.local/share/pelidor/pelidor.rtr csv - >stdout.csv &&
    export_cmd --log ../home/.local/share/pelidor/pelidor.rtr csv file.csv) || fail "csv failed"
cmp out/stdout.csv out/file.csv || fail "csv - differs from the file"
export_cmd --log home/.local/share/pelidor/pelidor.rtr graph - >out/stdout.png || fail "graph - failed"
[ "$(head -c 8 out/stdout.png | od -An -tx1 | tr -d ' ')" = 89504e470d0a1a0a ] ||
    fail "graph - wrote no PNG"

# Failures: one line on the standard error, status 1, no file, no temporary left.
mkdir unreadable.rtr
while read -r what log output; do
    run --log "$log" csv "$output"
    [ "$status" = 1 ] || fail "$what: status $status, not 1"
    [ "$(wc -l <err.txt)" = 1 ] && [ ! -s out.txt ] || fail "$what: not one line: $(cat err.txt)"
    run --log "$log" graph "$output"
    [ "$status" = 1 ] || fail "$what (graph): status $status, not 1"
    [ ! -e "$output" ] || fail "$what: $output was written"
done <<LIST
missing log missing.rtr out/missing.csv
a folder as the log unreadable.rtr out/folder.csv
a folder that does not exist home/.local/share/pelidor/pelidor.rtr no/such/folder/x.csv
LIST
log=home/.local/share/pelidor/pelidor.rtr
run --log "$log" csv "$log"
[ "$status" = 1 ] && cmp -s "$log" "$SOURCE_DIR/tests/e2e/fixture.rtr" || fail "the log was written over"
run --log "$log" graph "$WORK/$log"
[ "$status" = 1 ] && cmp -s "$log" "$SOURCE_DIR/tests/e2e/fixture.rtr" || fail "the log was written over"
[ -z "$(find . -name '*.tmp*')" ] || fail "temporary files were left: $(find . -name '*.tmp*')"

# An old file stays whole when the new one cannot be made.
echo "old" >out/kept.csv
run --log missing.rtr csv out/kept.csv
[ "$(cat out/kept.csv)" = old ] || fail "a failed export changed the old file"

# Lines the graph skips are skipped in the CSV too, and counted.
{
    cat "$SOURCE_DIR/tests/e2e/fixture.rtr"
    printf '%s\r\n' " 04.12.2026.,   9hour 0min  0sec, D=  200.0cm  DD=17.7  ny= 768 nx=1024 AOV=****" \
        "" " 05.12.2026., 9hour"
} >damaged.rtr
run --log damaged.rtr csv -
[ "$status" = 0 ] && [ "$(wc -l <out.txt)" = 6 ] || fail "the damaged log gave $(wc -l <out.txt) rows"
grep -q '2 lines of damaged.rtr skipped' err.txt || fail "the skipped lines were not counted: $(cat err.txt)"
echo "export command: options, folders, failures and skipped lines as documented"
