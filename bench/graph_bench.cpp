// Times the progress graph on the headless platform: reading a results log of many
// records twice and drawing it, and the peak resident memory while it does so.
// Usage: graph_bench [records ...]   (default: 100000 1000000)

#include <sys/resource.h>
#include <time.h>

#include <QGuiApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/trainer_window.h"
#include "gfx/headless/headless_platform.h"
#include "results/log_reader.h"
#include "results/progress_graph.h"
#include "results/results_log.h"
#include "state/shared_state.h"

namespace {

// A log of `records` lines spread over about 1000 days from 1 January 2010, a sight check
// after every four trainings, written line by line.
void write_log(int records) {
    const int per_day = std::max(1, records / 1000);
    std::ofstream out(results::k_log_file, std::ios::binary | std::ios::trunc);
    out << results::log_header() << "\r\n";
    for (int index = 0; index < records; ++index) {
        const int day_number = index / per_day;  // days after 1 January 2010
        results::TimeStamp stamp;
        stamp.year = 2010 + day_number / 336;
        stamp.month = 1 + (day_number % 336) / 28;
        stamp.day = 1 + day_number % 28;
        const int second_of_day = 28800 + (index % per_day) * (43200 / per_day);
        stamp.hour = second_of_day / 3600;
        stamp.minute = second_of_day / 60 % 60;
        stamp.second = second_of_day % 60;
        if (index % 5 == 4) {
            const results::SightCheckRecord record{
                stamp, 200.0f, 15.6f, 1080, 1920, 0.5f + static_cast<float>(index % 7) / 10.0f};
            out << results::format_record(record) << "\r\n";
        } else {
            results::TrainingRecord record;
            record.stamp = stamp;
            record.DIST = 150.0f + static_cast<float>(index % 11) * 10.0f;
            record.Is = 2 + index % 8;
            record.NVOL = 100;
            record.NTRUE = 90;
            record.NERR = 6;
            record.NNOANS = 4;
            record.TAV = 0.5f + static_cast<float>(index % 13) / 10.0f;
            record.NPUP = 16;
            out << results::format_record(record) << "\r\n";
        }
    }
}

long peak_resident_kib() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

double cpu_ms() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// Best and median, over `runs` calls, of the wall-clock and of the processor time in
// milliseconds. The processor time is the steadier figure on a machine shared with other work.
struct Timings {
    double best_wall = 0, median_wall = 0, best_cpu = 0, median_cpu = 0;
};

template <typename Action>
Timings timed(int runs, Action&& action) {
    std::vector<double> walls;
    std::vector<double> cpus;
    for (int run = 0; run < runs; ++run) {
        const auto start = std::chrono::steady_clock::now();
        const double cpu_start = cpu_ms();
        action();
        cpus.push_back(cpu_ms() - cpu_start);
        walls.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
    }
    std::sort(walls.begin(), walls.end());
    std::sort(cpus.begin(), cpus.end());
    const size_t middle = walls.size() / 2;
    return {walls.front(), walls[middle], cpus.front(), cpus[middle]};
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication application(argc, argv);  // text is drawn through Qt

    std::vector<int> counts;
    for (int index = 1; index < argc; ++index) counts.push_back(std::atoi(argv[index]));
    if (counts.empty()) counts = {100000, 1000000};

    const std::filesystem::path previous = std::filesystem::current_path();
    const std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                         ("pelidor-graph-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    std::filesystem::current_path(folder);

    gfx::HeadlessPlatform canvas;
    app::prepare_trainer(canvas.canvas());
    canvas.set_user([](gfx::HeadlessPlatform&) { state::store(state::run().MEVENT, 1); });
    results::TRITOUT(canvas.canvas());  // fonts and caches warmed on an empty log

    std::printf("TRITOUT: read twice and draw; one pass: read and parse once, no drawing.\n");
    std::printf("Times in ms, best / median (wall, then processor); peak resident KiB.\n");
    std::printf("%9s %11s %23s %23s %11s %11s\n", "records", "log bytes", "TRITOUT wall | cpu",
                "one pass wall | cpu", "peak before", "peak after");
    for (const int count : counts) {
        write_log(count);
        const auto bytes = std::filesystem::file_size(results::k_log_file);
        const long peak_before = peak_resident_kib();
        const int runs = count <= 100000 ? 7 : 3;
        const Timings graph = timed(runs, [&canvas] { results::TRITOUT(canvas.canvas()); });
        const Timings pass = timed(runs, [] { results::scan_log_span(results::k_log_file); });
        std::printf("%9d %11ju %5.0f/%5.0f | %5.0f/%5.0f %5.0f/%5.0f | %5.0f/%5.0f %11ld %11ld\n",
                    count, static_cast<uintmax_t>(bytes), graph.best_wall, graph.median_wall,
                    graph.best_cpu, graph.median_cpu, pass.best_wall, pass.median_wall,
                    pass.best_cpu, pass.median_cpu, peak_before, peak_resident_kib());
    }

    std::filesystem::current_path(previous);
    std::filesystem::remove_all(folder);
    return 0;
}
