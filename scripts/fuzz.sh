#!/usr/bin/env bash
# Builds the libFuzzer targets of the file readers in build-fuzz/ with clang (AddressSanitizer
# and UBSan on), replays the seed corpora and the saved findings, then fuzzes each target for
# the given seconds (default 30) and prints executions and findings per target.
# A finding is minimized and saved under fuzz/regressions/<target>/, where the target's
# regression test replays it from then on: commit it with the fix.
# Usage: scripts/fuzz.sh [seconds per target]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-30}
jobs=${PELIDOR_JOBS:-2}
build=$top/build-fuzz
started=$(date +%s)

# The program's build packages, clang, and the runtime libraries of its sanitizers and of
# libFuzzer, which come in a package named after clang's major version.
"$top/scripts/install-deps.sh" run clang
if [ ! -f "$(clang++ -print-file-name=libclang_rt.fuzzer-x86_64.a)" ]; then
    "$top/scripts/install-deps.sh" "libclang-rt-$(clang++ -dumpversion | cut -d. -f1)-dev"
fi

cmake -S "$top" -B "$build" \
    -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g" \
    -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link -fno-sanitize-recover=all" \
    -DPELIDOR_SANITIZE=address,undefined \
    -DPELIDOR_TESTS=OFF \
    -DPELIDOR_BENCH=OFF \
    -DPELIDOR_FUZZ=ON >/dev/null

targets=()
for source in "$top"/fuzz/fuzz_*.cpp; do
    name=$(basename "$source" .cpp)
    [ "$name" = fuzz_input ] || targets+=("${name#fuzz_}")
done
cmake --build "$build" -j"$jobs" --target "${targets[@]/#/fuzz_}"

export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1:report_error_type=1

# Each target process writes its inputs to a private folder under TMPDIR; one that crashes
# cannot remove its folder, so they all go here and are removed at the end.
export TMPDIR=$build/tmp
rm -rf "$TMPDIR" && mkdir -p "$TMPDIR"

status=0
echo "== replaying the seed corpora and saved findings"
(cd "$build/fuzz" && ctest --output-on-failure -L fuzz) || status=1

logs=$build/logs
mkdir -p "$logs"
declare -A executions findings
for target in "${targets[@]}"; do
    echo "== fuzz_$target for $seconds s"
    work=$build/corpus/$target
    saved=$top/fuzz/regressions/$target
    mkdir -p "$work" "$saved"
    before=$(find "$saved" -type f | sort)
    # New inputs go to the first folder (the work corpus); the seeds are only read.
    "$build/fuzz/fuzz_$target" "$work" "$top/fuzz/corpus/$target" \
        -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -artifact_prefix="$saved/" -print_final_stats=1 >"$logs/$target.log" 2>&1 || true
    executions[$target]=$(sed -n 's/^stat::number_of_executed_units: *//p' "$logs/$target.log")

    count=0
    while read -r artifact; do
        [ -n "$artifact" ] || continue
        count=$((count + 1))
        echo "finding: $artifact"
        grep -E '^(==[0-9]+==ERROR|SUMMARY|property violated|.*runtime error)' "$logs/$target.log" |
            head -n 5 || true
        # Keep the smallest input that still fails, so the regression case stays small.
        # Run in the logs folder, where the minimizer leaves its intermediate inputs.
        minimized=$artifact.min
        (cd "$logs" && "$build/fuzz/fuzz_$target" -minimize_crash=1 -max_total_time=20 \
            -exact_artifact_path="$minimized" "$artifact" >"$target.minimize.log" 2>&1) || true
        if [ -s "$minimized" ] && [ "$(stat -c %s "$minimized")" -lt "$(stat -c %s "$artifact")" ]; then
            mv "$minimized" "$artifact"
        else
            rm -f "$minimized"
        fi
    done < <(comm -13 <(echo "$before") <(find "$saved" -type f | sort))
    findings[$target]=$count
    [ "$count" -eq 0 ] || status=1
    rmdir "$saved" 2>/dev/null || true
done

echo
printf '%-20s %12s %9s\n' target executions findings
for target in "${targets[@]}"; do
    printf '%-20s %12s %9s\n' "fuzz_$target" "${executions[$target]:-?}" "${findings[$target]}"
done
rm -rf "$TMPDIR"
echo "fuzz.sh took $(($(date +%s) - started)) s; logs in $logs"
exit "$status"
