#!/bin/sh
# Starts PELIDOR in the user's own working folder, where it keeps its figure set, parameters
# and results log. The folder is made on the first start and given the default figure set.
# The program and the figure set are found from where this launcher is installed, so any
# installation prefix works, the package's /usr as well as a `cmake --install --prefix`.
# --help and --version answer without a display and touch no file; the program itself takes
# no arguments, so any other argument is refused before anything is made.
set -e

usage() {
    cat <<'EOF'
Usage: pelidor [--help | --version]

PELIDOR, a trainer for eyes: checker-block figures answered with the mouse buttons,
push-ups for mistakes, a sight check with rings, and a graph of your progress.
It opens a window, so start it in a desktop session (without one: xvfb-run -a pelidor).

It works in the folder $PELIDOR_HOME, or else $XDG_DATA_HOME/pelidor, or else
~/.local/share/pelidor, made with the default figure set on the first start. There it
keeps the figure set pelidor.sym, the parameters pelidor.vvd and the results log
pelidor.rtr.

  -h, --help     print this help and exit
  -V, --version  print the version and exit

pelidor-export writes the progress graph (PNG) or the results (CSV) without a display.
Manual pages: man pelidor, man pelidor-export.
EOF
}

if [ $# -gt 0 ]; then
    case "$1" in
        -h | --help) [ $# -eq 1 ] && { usage; exit 0; } ;;
        -V | --version) [ $# -eq 1 ] && { echo "pelidor @PROJECT_VERSION@"; exit 0; } ;;
    esac
    usage >&2
    exit 2
fi

prefix=$(cd "$(dirname "$(readlink -f "$0")")/@PELIDOR_BIN_TO_PREFIX@" && pwd)
work="${PELIDOR_HOME:-${XDG_DATA_HOME:-$HOME/.local/share}/pelidor}"
mkdir -p "$work"
if [ ! -f "$work/pelidor.sym" ]; then
    cp "$prefix/@PELIDOR_DATA_DIR@/pelidor.sym" "$work/pelidor.sym"
fi
cd "$work"
exec "$prefix/@PELIDOR_PROGRAM@"
