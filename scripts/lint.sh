#!/usr/bin/env bash
# The checks that need no test run: every C++ file as clang-format writes it, every include of
# the product folders allowed by the layer table in docs/architecture.md, and a build of
# everything in build-lint/ with warnings as errors.
# Usage: scripts/lint.sh [--no-build]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
# The build takes the test set's packages (tests and benchmarks are built too).
"$top/scripts/install-deps.sh" test clang-format git
failed=0

echo "== format"
mapfile -t sources < <(git ls-files '*.cpp' '*.h')
if ! clang-format --dry-run --Werror "${sources[@]}"; then
    echo "Files differ from clang-format's layout: run clang-format -i on them." >&2
    failed=1
fi

echo "== layers"
# The rows of the layer table: folder, then the folders it may use. A folder may use the
# folders named in its row, or every folder below it when the row says "everything below".
layers=$(awk -F'|' '
    /^## Layers/ { in_section = 1; next }
    /^## / { in_section = 0 }
    in_section && $2 ~ /^ `[a-z_]+\/`/ {
        folder = $2; gsub(/[ `\/]/, "", folder)
        order[++count] = folder; uses[folder] = $4
    }
    END {
        for (i = 1; i <= count; ++i) {
            line = order[i]; text = uses[order[i]]
            if (text ~ /everything below/) {
                for (j = i + 1; j <= count; ++j) line = line " " order[j]
            } else {
                while (match(text, /`[a-z_]+`/)) {
                    line = line " " substr(text, RSTART + 1, RLENGTH - 2)
                    text = substr(text, RSTART + RLENGTH)
                }
            }
            print line
        }
    }' docs/architecture.md)
if [ -z "$layers" ]; then
    echo "No layer table found in docs/architecture.md." >&2
    exit 1
fi
folders=$(awk '{ print $1 }' <<<"$layers")
while read -r folder allowed; do
    [ -d "$folder" ] || { echo "The layer table names $folder/, which does not exist." >&2; failed=1; continue; }
    while IFS=: read -r file _ used; do
        used=${used%%/*}
        [ "$used" = "$folder" ] && continue
        grep -qx "$used" <<<"$folders" || continue
        if ! grep -qw "$used" <<<"$allowed"; then
            echo "$file includes $used/, which $folder/ may not use." >&2
            failed=1
        fi
    done < <(grep -rnoE '^#include "[a-z_]+/' --include='*.cpp' --include='*.h' "$folder" |
             sed -E 's/#include "//')
    if [ "$folder" != gfx ] &&
        grep -rnE '^#include <Q' --include='*.cpp' --include='*.h' "$folder" >&2; then
        echo "Qt headers are included outside gfx/ (above)." >&2
        failed=1
    fi
done <<<"$layers"
for folder in */; do
    folder=${folder%/}
    if [ -f "$folder/CMakeLists.txt" ] && grep -q pelidor_library "$folder/CMakeLists.txt" &&
        ! grep -qx "$folder" <<<"$folders"; then
        echo "$folder/ is a library but has no row in the layer table." >&2
        failed=1
    fi
done

if [ "${1:-}" != --no-build ]; then
    echo "== build with warnings as errors"
    launcher=()
    if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
    cmake -S "$top" -B "$top/build-lint" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_CXX_FLAGS=-Werror "${launcher[@]}" >/dev/null
    if ! cmake --build "$top/build-lint" -j"$(nproc)" >/dev/null; then
        echo "The build with warnings as errors failed (above)." >&2
        failed=1
    fi
fi

if [ "$failed" != 0 ]; then
    echo "lint: failed" >&2
    exit 1
fi
echo "lint: clean"
