// Time of one results log append, with the record synced to the disk and without, on the file
// system of the folder given (a fresh folder is made in it and removed afterwards).
//
//   append_sync_bench FOLDER [RECORDS]
//
// Prints the median, the 10th and 90th percentiles and the extremes of each, in milliseconds.
// Like every wall-clock measure it is disturbed by other load on the machine and its disk.

#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "results/results_log.h"
#include "textio/file_sync.h"
#include "textio/line_file.h"

namespace {

namespace fs = std::filesystem;

// Milliseconds of each of `count` appends to a new log in `folder`.
std::vector<double> append_times(const fs::path& folder, int count) {
    const std::string log = (folder / results::k_log_file).string();
    fs::remove(log);
    results::TrainingRecord record;
    record.stamp = {7, 4, 2011, 18, 5, 42};
    record.DIST = 230.0f;
    record.Is = 4;
    record.NVOL = 100;
    record.NTRUE = 81;
    record.NERR = 12;
    record.NNOANS = 7;
    record.TAV = 1.25f;
    record.NPUP = 31;
    const std::string line = results::format_record(record);
    const std::string header = results::log_header();
    // The first append creates the log; the ones measured add to it, as after every exercise.
    if (!textio::append_record(log, line, header)) return {};
    std::vector<double> times;
    for (int i = 0; i < count; ++i) {
        const auto start = std::chrono::steady_clock::now();
        if (!textio::append_record(log, line, header)) return {};
        const auto end = std::chrono::steady_clock::now();
        times.push_back(std::chrono::duration<double, std::milli>(end - start).count());
    }
    return times;
}

double percentile(const std::vector<double>& sorted, double fraction) {
    const size_t index = static_cast<size_t>(fraction * static_cast<double>(sorted.size() - 1));
    return sorted[index];
}

void print_row(const char* what, std::vector<double> times) {
    if (times.empty()) {
        std::printf("%-22s  an append failed\n", what);
        return;
    }
    std::sort(times.begin(), times.end());
    std::printf("%-22s  n %4zu  median %8.3f  p10 %8.3f  p90 %8.3f  min %8.3f  max %8.3f ms\n",
                what, times.size(), percentile(times, 0.5), percentile(times, 0.1),
                percentile(times, 0.9), times.front(), times.back());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: append_sync_bench FOLDER [RECORDS]\n");
        return 1;
    }
    const int count = argc == 3 ? std::max(1, std::atoi(argv[2])) : 200;
    std::string pattern = (fs::path(argv[1]) / "append_sync_bench_XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        std::perror("mkdtemp");
        return 1;
    }
    const fs::path folder = pattern;
    print_row("synced (the program)", append_times(folder, count));
    {
        const textio::ScopedSyncCall no_sync([](int, textio::SyncTarget) { return 0; });
        print_row("without the sync", append_times(folder, count));
    }
    fs::remove_all(folder);
    return 0;
}
