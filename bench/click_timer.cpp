// Times the running program from outside, as its user meets it: clicks are injected at known
// moments after the answer window visibly opens, and each answer time the program takes is
// compared with the true one, at full precision as the program writes it out and as its log
// rounds it; the program's audio output, written into a FIFO, shows when each tone starts, so
// the time from a click to its feedback tone is measured too.
//
// Usage: click_timer LOG FIFO TRAININGS ANSWERS
//   LOG        the program's results log (pelidor.rtr in its working folder)
//   FIFO       the FIFO the program's audio output writes raw 48 kHz mono S16 samples into
//   TRAININGS  trainings to time; one untimed training comes first, which also opens the
//              audio output
//   ANSWERS    the program's standard output, where it writes "answer_seconds S" for every
//              answer (bench/answer_trace_main.cpp)
// The program must show its start screen and have a training volume of 1, so each training's
// record holds the one answer time, and an answer time of a few seconds: an answer window that
// never shows on screen is left to run out. Prints "name value" lines; each training's figures
// go to stderr.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <fstream>
#include <limits>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "bench/monotonic.h"
#include "bench/timing_stats.h"
#include "bench/tone_listener.h"
#include "bench/training_screen.h"
#include "bench/x_screen.h"

namespace {

using namespace bench;

constexpr int k_sample_rate = 48000;
constexpr unsigned k_left = 1;
constexpr unsigned k_right = 3;
constexpr int64_t k_ms = 1'000'000;
constexpr int64_t k_second = 1000 * k_ms;
// The screen is read this often while the opening of an answer window is awaited.
constexpr int64_t k_fast_poll_ns = 250'000;
// A training whose opening was not bracketed this closely is not timed.
constexpr int64_t k_widest_bracket_ns = k_ms;
// The log's t_av has two decimals: the logged value may lie half a step from the true one.
constexpr double k_half_log_step_ms = 5.0;

constexpr int k_opening_hz = 1000;
constexpr int k_correct_hz = 800;
constexpr int k_wrong_hz = 200;

// Training records in the results log and the average answer time of the last one.
struct LogState {
    int trainings = 0;
    double last_average_s = std::numeric_limits<double>::quiet_NaN();
};

LogState read_log(const std::string& path) {
    LogState state;
    std::ifstream log(path);
    std::string line;
    while (std::getline(log, line)) {
        const std::size_t field = line.find(" t_av=");
        if (field == std::string::npos) continue;
        ++state.trainings;
        state.last_average_s = std::strtod(line.c_str() + field + 6, nullptr);
    }
    return state;
}

// The answer times the program has written out so far, in seconds.
std::vector<double> read_answers(const std::string& path) {
    std::vector<double> answers;
    std::ifstream output(path);
    std::string line;
    const std::string name = "answer_seconds ";
    while (std::getline(output, line)) {
        if (line.rfind(name, 0) == 0)
            answers.push_back(std::strtod(line.c_str() + name.size(), nullptr));
    }
    return answers;
}

// Waits until the log holds more than `trainings` training records.
std::optional<LogState> wait_for_record(const std::string& path, int trainings,
                                        int64_t timeout_ns) {
    const int64_t deadline = monotonic_ns() + timeout_ns;
    while (monotonic_ns() < deadline) {
        const LogState state = read_log(path);
        if (state.trainings > trainings) return state;
        sleep_ms(20);
    }
    return std::nullopt;
}

void click(XScreen& screen, unsigned button) {
    screen.press(button);
    sleep_ms(20);
    screen.release(button);
}

bool near(double value, double expected) {
    return std::abs(value - expected) <= 0.03 * expected;
}

struct Timing {
    double delay_ms = 0;    // planned: click at the visible opening + delay
    double true_ms = 0;     // click - visible opening, as it happened
    double bracket_ms = 0;  // how closely the visible opening was seen
    double logged_ms = 0;   // t_av of the training's record
    double answer_ms = 0;   // the program's own answer time, at full precision
    ToneBurst opening;      // the tone that opened the answer window
    ToneBurst feedback;     // the first tone after the click
    int feedback_hz = 0;    // the frequency the feedback must have
    int64_t open_ns = 0;    // the visible opening
    int64_t click_ns = 0;
    bool tones_heard = false;

    double log_error_ms() const { return logged_ms - true_ms; }
    double answer_error_ms() const { return answer_ms - true_ms; }
    // The time from the opening tone to the feedback tone: the opening tone starts right after
    // the program starts its answer clock, the feedback tone when the program sees the click.
    double tone_error_ms() const {
        return static_cast<double>(feedback.first_ns - opening.first_ns) / k_ms - true_ms;
    }
    // From the opening tone, which starts when the program starts its answer clock, to the
    // green bar on the screen.
    double visible_lag_ms() const { return static_cast<double>(open_ns - opening.first_ns) / k_ms; }
    double feedback_latency_ms() const {
        return static_cast<double>(feedback.first_ns - click_ns) / k_ms;
    }
    bool tones_as_expected() const {
        return near(opening.frequency(k_sample_rate), k_opening_hz) &&
               near(feedback.frequency(k_sample_rate), feedback_hz);
    }
};

class Trainer {
  public:
    Trainer(XScreen& screen, ToneListener& tones, std::string log_path, std::string answers_path)
        : screen_(screen),
          tones_(tones),
          log_path_(std::move(log_path)),
          answers_path_(std::move(answers_path)) {}

    // Clicks on the start screen until a training shows its bars; a click during the start
    // picture's grey second counts once the picture is composed.
    bool start_training() {
        for (int attempt = 0; attempt < 3; ++attempt) {
            click(screen_, k_left);
            if (!surface_) {
                surface_ = wait_for_surface(5 * k_second);
                if (surface_) {
                    screen_.move_pointer(surface_->x + k_surface_width / 2,
                                         surface_->y + k_surface_height / 2);
                    return true;
                }
            } else if (wait_for_colour(screen_, signal_point(*surface_), k_signal_idle,
                                       5 * k_second, 10 * k_ms)) {
                return true;
            }
        }
        return false;
    }

    // One started training: awaits the answer window, answers `delay_ms` after its visible
    // opening (with the wrong button when asked), waits for the record and leaves the summary.
    // Returns the timing only when the opening was seen closely enough to time it.
    std::optional<Timing> answer(double delay_ms, bool wrong) {
        const int trainings = read_log(log_path_).trainings;
        const std::size_t answers = read_answers(answers_path_).size();
        // The stimulus comes after a second of grey; the screen is read often only near its end.
        sleep_ms(800);
        const auto opened = wait_for_colour(screen_, signal_point(*surface_), k_signal_waiting,
                                            3 * k_second, k_fast_poll_ns);
        if (!opened) {
            // The answer time runs out unseen; the training ends with its summary as usual.
            ++openings_not_shown_;
            finish(trainings);
            return std::nullopt;
        }
        const bool right = figure_on_right(screen_, *surface_) != wrong;

        Timing timing;
        timing.delay_ms = delay_ms;
        timing.bracket_ms = static_cast<double>(opened->bracket_ns) / k_ms;
        timing.feedback_hz = wrong ? k_wrong_hz : k_correct_hz;
        timing.open_ns = opened->at_ns;
        sleep_until_ns(opened->at_ns + std::llround(delay_ms * k_ms));
        const int64_t before = monotonic_ns();
        screen_.press(right ? k_right : k_left);
        const int64_t after = monotonic_ns();
        timing.click_ns = before + (after - before) / 2;
        timing.true_ms = static_cast<double>(timing.click_ns - opened->at_ns) / k_ms;
        sleep_ms(20);
        screen_.release(right ? k_right : k_left);

        timing.logged_ms = 1000.0 * finish(trainings).last_average_s;
        // The program writes the answer out before it writes the record.
        const std::vector<double> written = read_answers(answers_path_);
        if (written.size() != answers + 1) {
            throw std::runtime_error("the program did not write out exactly one answer time");
        }
        timing.answer_ms = 1000.0 * written.back();
        find_tones(timing);
        if (opened->bracket_ns > k_widest_bracket_ns) {
            ++openings_seen_loosely_;
            return std::nullopt;
        }
        return timing;
    }

    int openings_not_shown() const { return openings_not_shown_; }
    int openings_seen_loosely() const { return openings_seen_loosely_; }

  private:
    std::optional<ScreenPoint> wait_for_surface(int64_t timeout_ns) {
        const int64_t deadline = monotonic_ns() + timeout_ns;
        while (monotonic_ns() < deadline) {
            const auto found = find_surface(screen_.read(0, 0, screen_.width(), screen_.height()));
            if (found) return found;
            sleep_ms(100);
        }
        return std::nullopt;
    }

    // Waits for the training's record, then clicks the summary away, which brings back the
    // start screen. A wrong answer is followed by a pause of 3 s before the summary.
    LogState finish(int trainings_before) {
        const auto record = wait_for_record(log_path_, trainings_before, 8 * k_second);
        if (!record) throw std::runtime_error("the training wrote no record");
        // The summary waits for a click once it is drawn.
        sleep_ms(300);
        click(screen_, k_left);
        sleep_ms(500);
        return *record;
    }

    // The opening tone is the last that began before the click, the feedback the first after.
    // On a loaded machine the audio output may write late or run two tones together; such a
    // training is still timed, only its tones are not.
    void find_tones(Timing& timing) const {
        for (const ToneBurst& burst : tones_.bursts()) {
            if (burst.first_ns < timing.click_ns) {
                timing.opening = burst;
            } else if (timing.feedback.samples == 0) {
                timing.feedback = burst;
            }
        }
        timing.tones_heard = timing.opening.samples != 0 && timing.feedback.samples != 0;
    }

    XScreen& screen_;
    ToneListener& tones_;
    std::string log_path_;
    std::string answers_path_;
    std::optional<ScreenPoint> surface_;
    int openings_not_shown_ = 0;
    int openings_seen_loosely_ = 0;
};

void report(const std::vector<Timing>& timings, const Trainer& trainer) {
    std::vector<double> answer_errors, log_errors, tone_errors, latencies, lags;
    int outside_rounding = 0;
    int tones_checked = 0;
    int tones_not_heard = 0;
    double widest_bracket = 0;
    for (const Timing& timing : timings) {
        answer_errors.push_back(timing.answer_error_ms());
        log_errors.push_back(timing.log_error_ms());
        if (std::abs(timing.log_error_ms()) > k_half_log_step_ms) ++outside_rounding;
        widest_bracket = std::max(widest_bracket, timing.bracket_ms);
        if (!timing.tones_heard) {
            ++tones_not_heard;
            continue;
        }
        tone_errors.push_back(timing.tone_error_ms());
        latencies.push_back(timing.feedback_latency_ms());
        lags.push_back(timing.visible_lag_ms());
        if (timing.tones_as_expected()) ++tones_checked;
    }
    // Nothing to say of the tones when none was heard.
    if (lags.empty()) lags.push_back(std::numeric_limits<double>::quiet_NaN());
    const ErrorSpread answered = spread_of(answer_errors);
    const ErrorSpread logged = spread_of(log_errors);
    const ErrorSpread toned = spread_of(tone_errors);
    const ErrorSpread latency = spread_of(latencies);
    std::printf("trainings_timed %d\n", logged.count);
    std::printf("openings_not_shown %d\n", trainer.openings_not_shown());
    std::printf("openings_seen_loosely %d\n", trainer.openings_seen_loosely());
    std::printf("opening_bracket_worst_ms %.2f\n", widest_bracket);
    std::printf("answer_error_median_ms %.2f\n", answered.median_abs);
    std::printf("answer_error_worst_ms %.2f\n", answered.worst_abs);
    std::printf("answer_error_mean_ms %.2f\n", answered.mean);
    std::printf("log_error_median_ms %.2f\n", logged.median_abs);
    std::printf("log_error_worst_ms %.2f\n", logged.worst_abs);
    std::printf("log_error_mean_ms %.2f\n", logged.mean);
    std::printf("log_outside_rounding %d\n", outside_rounding);
    std::printf("tone_error_median_ms %.2f\n", toned.median_abs);
    std::printf("tone_error_worst_ms %.2f\n", toned.worst_abs);
    std::printf("tone_error_mean_ms %.2f\n", toned.mean);
    std::printf("visible_lag_median_ms %.2f\n", median_of(lags));
    std::printf("visible_lag_worst_ms %.2f\n", *std::max_element(lags.begin(), lags.end()));
    std::printf("feedback_median_ms %.2f\n", median_of(latencies));
    std::printf("feedback_worst_ms %.2f\n", latency.worst_abs);
    std::printf("tones_as_expected %d\n", tones_checked);
    std::printf("tones_not_heard %d\n", tones_not_heard);
}

void print_timing(int number, const Timing& timing) {
    std::fprintf(stderr,
                 "training %2d: delay %6.1f ms, true %7.2f ms (opening seen within %.2f ms), "
                 "answer %7.2f ms (error %+5.2f), t_av %6.0f ms (error %+6.2f), tones %4.0f Hz "
                 "-> %4.0f Hz %3.0f ms (error %+5.2f), green bar %5.2f ms after the opening "
                 "tone, feedback after %5.2f ms\n",
                 number, timing.delay_ms, timing.true_ms, timing.bracket_ms, timing.answer_ms,
                 timing.answer_error_ms(), timing.logged_ms, timing.log_error_ms(),
                 timing.opening.frequency(k_sample_rate), timing.feedback.frequency(k_sample_rate),
                 timing.feedback.duration_ms(k_sample_rate), timing.tone_error_ms(),
                 timing.visible_lag_ms(), timing.feedback_latency_ms());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: click_timer LOG FIFO TRAININGS ANSWERS\n");
        return 2;
    }
    const std::string log_path = argv[1];
    const int wanted = std::atoi(argv[3]);
    try {
        XScreen screen;
        ToneListener tones(argv[2]);
        Trainer trainer(screen, tones, log_path, argv[4]);
        // Inside the window whatever its place, as the end-to-end tests click.
        screen.move_pointer(500, 400);

        // The first training opens the audio output; it is not timed.
        if (!trainer.start_training()) throw std::runtime_error("no training started");
        trainer.answer(500, false);

        // Trainings that cannot be timed are made up for, within a bound: on a loaded machine
        // the opening is not always seen closely enough.
        std::vector<Timing> timings;
        for (int number = 0; static_cast<int>(timings.size()) < wanted; ++number) {
            if (number >= 3 * wanted) break;
            // Delays from 300 to 900 ms whose parts below 10 ms spread evenly over 0-10 ms, so
            // the logged times' rounding to 10 ms averages out over the trainings.
            const int index = static_cast<int>(timings.size());
            const double delay_ms = 300.0 + 610.0 * index / wanted;
            if (!trainer.start_training()) throw std::runtime_error("no training started");
            const auto timing = trainer.answer(delay_ms, index % 4 == 3);
            if (!timing) continue;
            print_timing(index + 1, *timing);
            timings.push_back(*timing);
        }
        if (timings.empty()) throw std::runtime_error("no training could be timed");
        report(timings, trainer);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "click_timer: %s\n", error.what());
        return 1;
    }
    return 0;
}
