#!/usr/bin/env bash
# Builds the benchmarks and prints every measure in one table.
# Usage: bench/run_all.sh [build folder]   (default: build)
# The answer timing on the real window runs 20 trainings under a virtual display three times,
# with 0, 1 and 2 busy processes beside the program, about two minutes each; like every
# wall-clock row it is disturbed by other load on the machine, which its rows show.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build}
"$top/scripts/install-deps.sh" test
# A build folder the run command made has the benchmarks turned off.
cmake -S "$top" -B "$build" -DPELIDOR_BENCH=ON >/dev/null
targets=(pelidor start_picture_bench graph_bench training_frame_bench headless_answer_bench
         pelidor_answer_trace)
# The click timer needs the X11 and XTest development files; without them it is not configured.
known_targets=$(cmake --build "$build" --target help)
if [[ $known_targets == *click_timer* ]]; then targets+=(click_timer); fi
cmake --build "$build" -j"$(nproc)" --target "${targets[@]}" >/dev/null
export QT_QPA_PLATFORM=offscreen

# The value of `name` in a file of "name value" lines.
value() { awk -v name="$1" '$1 == name { print $2 }' "$2"; }

results=$(mktemp -d /tmp/pelidor-bench.XXXXXX)
trap 'rm -rf "$results"' EXIT

picture=$("$build/bench/start_picture_bench" --benchmark_filter='compose_and_present/(2|9)$' \
    --benchmark_format=csv 2>/dev/null | awk -F, '/compose_and_present/ { printf "%s%.2f ms", sep, $3; sep=" / " }')
frame_rows() {
    "$build/bench/training_frame_bench" --benchmark_filter="$1/(2|9)\$" --benchmark_format=csv \
        2>/dev/null | awk -F, -v name="$1" '$1 ~ name { printf "%s%.2f ms", sep, $3; sep=" / " }'
}
frame_image=$(frame_rows image_path)
frame_direct=$(frame_rows direct_path)
graph=$("$build/bench/graph_bench" 100000 2>/dev/null | awk '$1 == 100000 { print $3 }')
"$build/bench/headless_answer_bench" 20 >"$results/headless" 2>/dev/null || true
shell_rows=$(unset QT_QPA_PLATFORM; bash "$top/bench/shell_bench.sh" "$build/app/pelidor" | tail -n 3)
wait_rows=$(unset QT_QPA_PLATFORM; bash "$top/bench/training_wait_bench.sh" "$build/app/pelidor")
if [ -x "$build/bench/click_timer" ]; then
    for busy in 0 1 2; do
        (unset QT_QPA_PLATFORM; bash "$top/bench/answer_timing_bench.sh" \
            "$build/bench/pelidor_answer_trace" "$build/bench/click_timer" 20 "$busy") \
            >"$results/real$busy" || true
    done
fi

printf '| measure | value | goal |\n|---|---|---|\n'
printf '%s\n' "$shell_rows"
printf '%s\n' "$wait_rows"
printf '| compose + present one start-screen picture, image mode (sizes 2 / 9) | %s | <= 10 ms |\n' "$picture"
printf '| compose + present one training frame, image path (sizes 2 / 9) | %s | <= 10 ms |\n' "$frame_image"
printf '| compose + present one training frame, direct path (sizes 2 / 9) | %s | <= 10 ms |\n' "$frame_direct"
printf '| progress graph of 100 000 records, read + draw (best wall) | %s ms | <= 300 ms |\n' "${graph%%/*}"

answer_goal='<= 1 ms median, <= 3 ms worst'
h="$results/headless"
printf '| answer-time error, headless twin: click at visible opening + d (virtual ms), %s trainings: the program'"'"'s own time (opening tone to feedback tone) - d | median %s ms, worst %s ms | %s |\n' \
    "$(value trainings "$h")" "$(value tone_error_median_ms "$h")" \
    "$(value tone_error_worst_ms "$h")" "$answer_goal"
printf '| answer-time error, headless twin: logged t_av (10 ms steps) - d | median %s ms, worst %s ms; %s of %s within the rounding | %s |\n' \
    "$(value log_error_median_ms "$h")" "$(value log_error_worst_ms "$h")" \
    "$(value log_within_rounding "$h")" "$(value trainings "$h")" "$answer_goal"

# The real window, with 0, 1 and 2 busy processes beside the program.
real_rows() {
    local busy=$1 r="$results/real$1" timed load
    if [ ! -s "$r" ]; then
        printf '| answer-time error, real window, %s busy processes beside it | not measured (see bench/answer_timing_bench.sh) | %s |\n' "$busy" "$answer_goal"
        return
    fi
    timed=$(value trainings_timed "$r")
    load="load average $(value load_average_start "$r") -> $(value load_average_end "$r"), display and click timer at nice $(value measuring_nice "$r")"
    printf '| answer-time error, real window, %s busy processes beside it (%s): the program'"'"'s answer time - (injected click - visible opening), %s trainings | median %s ms, worst %s ms; mean %s ms | %s |\n' \
        "$busy" "$load" "$timed" "$(value answer_error_median_ms "$r")" \
        "$(value answer_error_worst_ms "$r")" "$(value answer_error_mean_ms "$r")" "$answer_goal"
    printf '| logged t_av (10 ms steps) within its rounding of the true time, %s busy processes | %s of %s (median error %s ms, worst %s ms) | all |\n' \
        "$busy" "$((timed - $(value log_outside_rounding "$r")))" "$timed" \
        "$(value log_error_median_ms "$r")" "$(value log_error_worst_ms "$r")"
    printf '| injected click to the first sample of its feedback tone, %s busy processes | median %s ms, worst %s ms; %s of %s tones at the expected frequency | <= 5 ms median |\n' \
        "$busy" "$(value feedback_median_ms "$r")" "$(value feedback_worst_ms "$r")" \
        "$(value tones_as_expected "$r")" "$timed"
    printf '| answer windows not timed, %s busy processes: green bar never shown / its opening not seen to within 1 ms | %s / %s | 0 / - |\n' \
        "$busy" "$(value openings_not_shown "$r")" "$(value openings_seen_loosely "$r")"
}
for busy in 0 1 2; do real_rows "$busy"; done
