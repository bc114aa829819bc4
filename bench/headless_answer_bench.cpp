// Answer timing on the headless platform. The whole program runs on the virtual clock; a
// scripted user starts trainings of one presentation, answers each a known number of
// milliseconds after the answer window visibly opened, and leaves the summary. Each answer
// time is then read back from the tones the program played and from its results log, and
// compared with the true one. Prints "name value" lines; each training's figures go to stderr.
// Usage: headless_answer_bench [trainings]   (default 20)

#include <QGuiApplication>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "app/main_program.h"
#include "app/menus.h"
#include "bench/timing_stats.h"
#include "exercises/training_answer.h"
#include "gfx/headless/headless_platform.h"

namespace {

namespace fs = std::filesystem;
using gfx::HeadlessPlatform;

// The program's working folder: the shipped figures and a parameter file for trainings of
// one presentation with 10 s to answer. Entered while it exists, removed afterwards.
class WorkingFolder {
  public:
    WorkingFolder()
        : previous_(fs::current_path()),
          path_(fs::temp_directory_path() /
                ("pelidor-bench-" + std::to_string(std::random_device{}()))) {
        fs::create_directories(path_);
        fs::copy_file(fs::path(PELIDOR_DATA_DIR) / "pelidor.sym", path_ / "pelidor.sym");
        std::ofstream(path_ / "pelidor.vvd", std::ios::binary)
            << "200.000\r\n 17.700\r\n    768\r\n   1024\r\n      1\r\n 10.000\r\n";
        fs::current_path(path_);
    }
    ~WorkingFolder() {
        fs::current_path(previous_);
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    WorkingFolder(const WorkingFolder&) = delete;
    WorkingFolder& operator=(const WorkingFolder&) = delete;

  private:
    fs::path previous_;
    fs::path path_;
};

// One answered training as the user saw it.
struct Answer {
    int64_t delay_ms = 0;          // click - visible opening
    std::size_t opening_tone = 0;  // index of the answer window's tone in the platform's list
};

// A user who starts a training on the start screen, watches the signal bar, clicks
// delay_ms(n) after it turned green, and clicks the summary away; `trainings` times.
class Trainee {
  public:
    explicit Trainee(int trainings) : trainings_(trainings) {}

    static int64_t delay_ms(int number) { return 300 + 31 * int64_t{number}; }

    const std::vector<Answer>& answers() const { return answers_; }

    void operator()(HeadlessPlatform& s) {
        const gfx::Colour signal = s.pixel(k_signal_x, k_signal_y);
        switch (stage_) {
            case Stage::start_screen:
                if (s.now_ms() >= next_click_ms_) {
                    s.click(gfx::k_key_left);
                    stage_ = Stage::grey;
                }
                break;
            case Stage::grey:
                if (signal == exercises::k_signal_idle) stage_ = Stage::stimulus;
                break;
            case Stage::stimulus:
                // Virtual time stands still while the program draws, and the user is called
                // once per millisecond: a bar first seen green now turned green in the
                // millisecond before, right after the user's previous look.
                if (signal == exercises::k_signal_waiting) {
                    const int number = static_cast<int>(answers_.size());
                    click_ms_ = s.now_ms() - 1 + delay_ms(number);
                    answers_.push_back(Answer{delay_ms(number), s.tones().size() - 1});
                    stage_ = Stage::answer;
                }
                break;
            case Stage::answer:
                if (s.now_ms() == click_ms_) {
                    // Both buttons in turn, so right and wrong answers are timed alike.
                    s.click(answers_.size() % 2 != 0 ? gfx::k_key_left : gfx::k_key_right);
                    stage_ = Stage::summary;
                }
                break;
            case Stage::summary:
                // Only the summary is white at the left end of the signal bar's rows.
                if (s.pixel(0, k_signal_y) == gfx::k_white) {
                    s.click(gfx::k_key_left);
                    if (static_cast<int>(answers_.size()) == trainings_) {
                        s.set_time_limit(s.now());  // the run ends at the next millisecond
                    }
                    next_click_ms_ = s.now_ms() + 300;
                    stage_ = Stage::start_screen;
                }
                break;
        }
    }

  private:
    static constexpr int k_signal_x = 490;
    static constexpr int k_signal_y = 15;
    enum class Stage { start_screen, grey, stimulus, answer, summary };

    int trainings_;
    Stage stage_ = Stage::start_screen;
    int64_t next_click_ms_ = 2000;
    int64_t click_ms_ = 0;
    std::vector<Answer> answers_;
};

// The average answer times of the training records in the results log, in ms.
std::vector<double> logged_times_ms() {
    std::vector<double> times;
    std::ifstream log("pelidor.rtr");
    std::string line;
    while (std::getline(log, line)) {
        const std::size_t field = line.find(" t_av=");
        if (field != std::string::npos) {
            times.push_back(1000.0 * std::strtod(line.c_str() + field + 6, nullptr));
        }
    }
    return times;
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication application(argc, argv);
    const int trainings = argc > 1 ? std::atoi(argv[1]) : 20;

    const WorkingFolder folder;
    HeadlessPlatform platform;
    Trainee trainee(trainings);
    platform.set_user(std::ref(trainee));
    platform.set_time_limit(30.0 * trainings + 60.0);
    platform.run([](gfx::Canvas& canvas) { return app::INITIALSETTINGS(canvas); },
                 [](gfx::Canvas& canvas) { app::main_program(canvas); });

    const std::vector<Answer>& answers = trainee.answers();
    const std::vector<double> logged = logged_times_ms();
    const std::vector<gfx::ToneRecord>& tones = platform.tones();
    if (static_cast<int>(answers.size()) != trainings || logged.size() != answers.size()) {
        std::fprintf(stderr, "only %zu trainings were answered and %zu logged\n", answers.size(),
                     logged.size());
        return 1;
    }

    std::vector<double> tone_errors, log_errors;
    int within_rounding = 0;
    for (std::size_t index = 0; index < answers.size(); ++index) {
        const Answer& answer = answers[index];
        if (answer.opening_tone + 1 >= tones.size()) return 1;
        // The program plays the opening tone when it starts the answer clock, and the feedback
        // tone when it has seen the click: their distance is the time it measured.
        const gfx::ToneRecord& opening = tones[answer.opening_tone];
        const gfx::ToneRecord& feedback = tones[answer.opening_tone + 1];
        const double measured_ms = 1000.0 * (feedback.at_seconds - opening.at_seconds);
        tone_errors.push_back(measured_ms - static_cast<double>(answer.delay_ms));
        log_errors.push_back(logged[index] - static_cast<double>(answer.delay_ms));
        // The log keeps two decimals of a second, so it may lie up to 5 ms off.
        if (std::abs(log_errors.back()) <= 5.0 + 1e-6) ++within_rounding;
        std::fprintf(stderr,
                     "training %2zu: click %lld ms after the opening (%d Hz), feedback %d Hz "
                     "after %.0f ms, t_av %.0f ms\n",
                     index + 1, static_cast<long long>(answer.delay_ms), opening.frequency,
                     feedback.frequency, measured_ms, logged[index]);
    }
    const bench::ErrorSpread toned = bench::spread_of(tone_errors);
    const bench::ErrorSpread logged_spread = bench::spread_of(log_errors);
    std::printf("trainings %d\n", toned.count);
    std::printf("tone_error_median_ms %.3f\n", toned.median_abs);
    std::printf("tone_error_worst_ms %.3f\n", toned.worst_abs);
    std::printf("log_error_median_ms %.3f\n", logged_spread.median_abs);
    std::printf("log_error_worst_ms %.3f\n", logged_spread.worst_abs);
    std::printf("log_within_rounding %d\n", within_rounding);
    return 0;
}
