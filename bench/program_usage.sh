# Shared by the benchmarks: what the running program (PROGRAM_PID) uses. Source this file.

# Sets CPU_PERCENT to the program's CPU over the next `seconds` as a percentage of one core,
# and RSS_MB / PEAK_MB to its resident memory now and at its peak.
measure_program() {
    local seconds=$1 ticks before after
    ticks=$(getconf CLK_TCK)
    before=$(awk '{ print $14 + $15 }' "/proc/$PROGRAM_PID/stat")
    sleep "$seconds"
    after=$(awk '{ print $14 + $15 }' "/proc/$PROGRAM_PID/stat")
    CPU_PERCENT=$(awk -v b="$before" -v a="$after" -v t="$ticks" -v s="$seconds" \
        'BEGIN { printf "%.2f", 100 * (a - b) / t / s }')
    RSS_MB=$(($(awk '/VmRSS/ { print $2 }' "/proc/$PROGRAM_PID/status") / 1024))
    PEAK_MB=$(($(awk '/VmHWM/ { print $2 }' "/proc/$PROGRAM_PID/status") / 1024))
}
