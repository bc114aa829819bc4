#!/usr/bin/env bash
# The Debian package as a user gets it: Debian's checker (lintian) and desktop-file-validate
# find nothing to report but the placeholder address of the maintainer, its Depends name every
# library the program loads and the font, it installs with apt-get, `pelidor --help` and
# `--version` and `pelidor-export` answer without a display, the installed `pelidor` started
# with an empty home opens the dialog, saves the parameters in ~/.local/share/pelidor, draws the
# start screen and ends with "Exit"; then the package is removed. Installs and removes system packages: run as root
# (or with sudo) on a machine where pelidor is not installed.
# Usage: tests/package/installed_package_test.sh path/to/pelidor_*.deb
set -euo pipefail
DEB=$(readlink -f "$1")
SOURCE_DIR=$(cd "$(dirname "$0")/../.." && pwd)
"$SOURCE_DIR/scripts/install-deps.sh" xvfb xdotool x11-utils imagemagick python3 binutils \
    lintian desktop-file-utils
source "$SOURCE_DIR/tests/e2e/xvfb_session.sh"

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || {
        echo "$0: installs the package: run it as root, or install sudo" >&2
        exit 1
    }
    sudo_cmd=(sudo)
fi

fail() {
    echo "$1" >&2
    [ -f "${WORK:-}/program.log" ] && cat "$WORK/program.log" >&2
    exit 1
}

installed() { dpkg-query -W -f='${Status}' pelidor 2>/dev/null | grep -q "install ok installed"; }
installed && fail "pelidor is installed already; remove it before this test"

finish() {
    cleanup_session
    if installed; then "${sudo_cmd[@]}" apt-get purge -y -qq pelidor >/dev/null || true; fi
}
trap finish EXIT

# The maintainer's address, also the changelog's signature, waits for a real one of the
# project; anything else lintian says is a fault of the package. Lintian refuses to run as root without --allow-root.
lintian_options=()
[ "$(id -u)" -ne 0 ] || lintian_options=(--allow-root)
report=$(lintian "${lintian_options[@]}" "$DEB" 2>&1 || true)
echo "lintian: ${report:-nothing}"
others=$(grep -v -e '^E: pelidor: bogus-mail-host Maintainer pelidor@localhost$' \
    -e '^E: pelidor: bogus-mail-host-in-debian-changelog pelidor@localhost ' <<<"$report" |
    grep -v '^running with root privileges' || true)
[ -z "$others" ] || fail "lintian reports: $others"
entry=$(mktemp -d /tmp/pelidor-entry.XXXXXX)
dpkg-deb -x "$DEB" "$entry"
validation=$(desktop-file-validate "$entry/usr/share/applications/pelidor.desktop" 2>&1 || echo failed)
rm -rf "$entry"
[ -z "$validation" ] || fail "desktop-file-validate reports: $validation"

# The package names (without versions) its Depends field lists.
depends=$(dpkg-deb -f "$DEB" Depends)
echo "Depends: $depends"
mapfile -t depended < <(echo "$depends" | tr ',|' '\n\n' | sed 's/(.*//; s/[[:space:]]//g' | grep .)
depends_on() { printf '%s\n' "${depended[@]}" | grep -qx "$1"; }
for package in libqt6core6 libqt6gui6 libqt6widgets6 libasound2 libstdc++6 fonts-liberation2; do
    depends_on "$package" || fail "the package does not depend on $package"
done

"${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$DEB" >/dev/null
installed || fail "apt-get did not install the package"
[ "$(command -v pelidor)" = /usr/bin/pelidor ] || fail "the command pelidor is not /usr/bin/pelidor"

# Every library the program links to comes from a package the Depends list names.
program=/usr/libexec/pelidor/pelidor
[ -x "$program" ] || fail "the package holds no $program"
while read -r library; do
    owners=$(dpkg -S "*/$library" 2>/dev/null | cut -d: -f1 | tr ',' '\n' | sed 's/[[:space:]]//g')
    [ -n "$owners" ] || fail "no installed package holds $library"
    found=no
    for owner in $owners; do depends_on "$owner" && found=yes; done
    [ "$found" = yes ] || fail "$library comes from $(echo $owners), which the package does not depend on"
done < <(readelf -d "$program" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p')

WORK=$(mktemp -d /tmp/pelidor-package.XXXXXX)
export HOME=$WORK/home
mkdir "$HOME"
unset XDG_DATA_HOME PELIDOR_HOME
user_folder=$HOME/.local/share/pelidor
PROGRAM=pelidor

# Without a display: the options answer and make nothing, the program says what is missing,
# and the export writes the graph and the CSV of a log.
no_display=(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM)
"${no_display[@]}" pelidor --help | grep -q "^Usage: pelidor" || fail "pelidor --help failed"
"${no_display[@]}" pelidor --version | grep -qx "pelidor [0-9.]*" || fail "pelidor --version failed"
[ ! -e "$HOME/.local" ] || fail "pelidor --help or --version made the working folder"
man -w pelidor >/dev/null && man -w pelidor-export >/dev/null || fail "a manual page is missing"
status=0
"${no_display[@]}" pelidor 2>"$WORK/no_display.txt" || status=$?
[ "$status" = 1 ] && grep -q "xvfb-run -a pelidor" "$WORK/no_display.txt" ||
    fail "without a display pelidor ended with status $status: $(cat "$WORK/no_display.txt")"
rm -rf "$HOME/.local"
(cd "$WORK" && "${no_display[@]}" pelidor-export --log "$SOURCE_DIR/tests/e2e/fixture.rtr" \
    graph graph.png && "${no_display[@]}" pelidor-export --log \
    "$SOURCE_DIR/tests/e2e/fixture.rtr" csv results.csv) || fail "pelidor-export failed"
[ "$(head -c 8 "$WORK/graph.png" | od -An -tx1 | tr -d ' ')" = 89504e470d0a1a0a ] ||
    fail "pelidor-export graph wrote no PNG"
[ "$(wc -l <"$WORK/results.csv")" = 6 ] || fail "pelidor-export csv did not write 6 rows"

start_display

start_program
focus_dialog >/dev/null || fail "the installed program showed no dialog"
xdotool key Return
for _ in $(seq 1 100); do
    [ -f "$user_folder/pelidor.vvd" ] && break
    sleep 0.05
done
[ "$(grep -c $'\r$' "$user_folder/pelidor.vvd" 2>/dev/null)" = 6 ] ||
    fail "the parameters were not saved as six lines in $user_folder/pelidor.vvd"

# One second of grey, then the first picture (size 2, figure on the left) is held for five.
wait_screen 10 origin >/dev/null || fail "the start screen was not found"
python3 "$SOURCE_DIR/tests/e2e/start_picture_check.py" "$WORK/screen.ppm" \
    /usr/share/pelidor/pelidor.sym 2 20 || fail "the start screen was not drawn"

# "Exit" is the first command of the menu bar.
xdotool mousemove 20 10 click 1
wait_program_end 2 || fail "the program was still running 2 s after Exit"
PROGRAM_PID=

"${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq pelidor >/dev/null
installed && fail "the package could not be removed"
[ ! -e /usr/bin/pelidor ] && [ ! -e /usr/libexec/pelidor ] && [ ! -e /usr/share/pelidor ] ||
    fail "removing the package left its files behind"
echo "installed package: depends, installs, starts, saves, draws, exits and is removed"
