#!/usr/bin/env bash
# Builds the benchmarks and prints every measure in one table.
# Usage: bench/run_all.sh [build folder]   (default: build)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build}
cmake --build "$build" -j"$(nproc)" --target pelidor start_picture_bench graph_bench >/dev/null
export QT_QPA_PLATFORM=offscreen

picture=$("$build/bench/start_picture_bench" --benchmark_filter='compose_and_present/(2|9)$' \
    --benchmark_format=csv 2>/dev/null | awk -F, '/compose_and_present/ { printf "%s%.2f ms", sep, $3; sep=" / " }')
graph=$("$build/bench/graph_bench" 100000 2>/dev/null | awk '$1 == 100000 { print $3 }')
shell_rows=$(unset QT_QPA_PLATFORM; bash "$top/bench/shell_bench.sh" "$build/app/pelidor" | tail -n 3)
wait_rows=$(unset QT_QPA_PLATFORM; bash "$top/bench/training_wait_bench.sh" "$build/app/pelidor")

printf '| measure | value | goal |\n|---|---|---|\n'
printf '%s\n' "$shell_rows"
printf '%s\n' "$wait_rows"
printf '| compose + present one start-screen picture, image mode (sizes 2 / 9) | %s | <= 10 ms |\n' "$picture"
printf '| progress graph of 100 000 records, read + draw (best wall) | %s ms | <= 300 ms |\n' "${graph%%/*}"
