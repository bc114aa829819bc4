#!/usr/bin/env bash
# Builds the program and its tests with sanitizers and runs them; exits non-zero on any finding.
#   build-asan: AddressSanitizer + UndefinedBehaviorSanitizer, every test (the end-to-end
#               tests drive the sanitized program under Xvfb).
#   build-tsan: ThreadSanitizer, the scenario tests on the headless twin and the Qt tests.
# Usage: scripts/sanitize.sh [asan|tsan|all]   (default all)
# Both builds use -O1 with debug info and assertions on and no benchmarks; build-asan builds the
# default target (the tests, both programs, the package's files), build-tsan only its tests.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
which=${1:-all}
jobs=${PELIDOR_JOBS:-2}

"$top/scripts/install-deps.sh" test

# Configures `build` with `sanitizers` (and extra compiler flags) and builds the targets whose
# names match `pattern`.
configure_and_build() {
    local build=$1 sanitizers=$2 flags=$3 pattern=$4
    cmake -S "$top" -B "$build" \
        -DCMAKE_BUILD_TYPE=Debug \
        -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g" \
        -DCMAKE_CXX_FLAGS="$flags" \
        -DPELIDOR_SANITIZE="$sanitizers" \
        -DPELIDOR_BENCH=OFF >/dev/null
    if [[ $pattern == all ]]; then
        cmake --build "$build" -j"$jobs"
        return
    fi
    local targets
    targets=$(cmake --build "$build" --target help | sed -n 's/^\.\.\. \([A-Za-z0-9_-]*\).*/\1/p' |
        grep -E "$pattern" | sort -u)
    # shellcheck disable=SC2086
    cmake --build "$build" -j"$jobs" --target $targets
}

elapsed() { echo "$(($(date +%s) - $1)) s"; }

status=0

run_asan() {
    local started build=$top/build-asan
    started=$(date +%s)
    echo "== build-asan: address,undefined"
    # A UBSan finding stops the test instead of printing and going on. Everything the default
    # target builds is needed: the end-to-end tests run both programs and install the package's
    # files.
    configure_and_build "$build" address,undefined -fno-sanitize-recover=all all

    # Reports go to stderr, which ctest shows for a failing test; a finding fails the test.
    export ASAN_OPTIONS=halt_on_error=1:abort_on_error=0:detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1
    export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1:report_error_type=1
    (cd "$build" && ctest --output-on-failure --timeout 300 -j"$jobs" -LE e2e) || status=1

    # The end-to-end tests start the program in the background and read only its windows and
    # files, so its sanitizer reports are written to files and looked at afterwards.
    if command -v Xvfb >/dev/null; then
        local reports=$build/e2e-reports
        rm -rf "$reports" && mkdir -p "$reports"
        # The program ends with _Exit (or is killed), so there is no leak check to make there.
        ASAN_OPTIONS=$ASAN_OPTIONS:detect_leaks=0:log_path=$reports/asan \
        UBSAN_OPTIONS=$UBSAN_OPTIONS:log_path=$reports/ubsan \
            bash -c "cd '$build' && ctest --output-on-failure -L e2e" || status=1
        if compgen -G "$reports/*" >/dev/null; then
            echo "sanitizer reports from the end-to-end runs:"
            cat "$reports"/*
            status=1
        fi
    fi
    echo "== build-asan done in $(elapsed "$started")"
}

run_tsan() {
    local started build=$top/build-tsan
    started=$(date +%s)
    echo "== build-tsan: thread"
    configure_and_build "$build" thread "" '^tests_(app|params|exercises|results|plot|gfx_qt)$'
    export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:history_size=4:suppressions=$top/tests/tsan.supp"
    (cd "$build" && ctest --output-on-failure --timeout 300 -j"$jobs" -L '^(app|params|exercises|results|plot|gfx_qt)$') ||
        status=1
    echo "== build-tsan done in $(elapsed "$started")"
}

case "$which" in
    asan) run_asan ;;
    tsan) run_tsan ;;
    all) run_asan; run_tsan ;;
    *) echo "usage: $0 [asan|tsan|all]" >&2; exit 2 ;;
esac
exit "$status"
