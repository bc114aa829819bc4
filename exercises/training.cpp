#include "exercises/training.h"

#include <algorithm>
#include <limits>

#include "exercises/training_answer.h"
#include "exercises/training_frame.h"
#include "exercises/training_summary.h"
#include "results/results_log.h"

namespace exercises {

namespace {

constexpr gfx::Colour k_dark_green = 0x007700;

struct Tally {
    int32_t NTRUE = 0;
    int32_t NERR = 0;
    int32_t NNOANS = 0;
    float TSUM = 0;  // seconds, over every answered presentation
};

// Counts one presentation; false when it was abandoned.
bool count_answer(const AnswerResult& result, Tally& tally) {
    switch (result.outcome) {
        case AnswerOutcome::correct:
            ++tally.NTRUE;
            tally.TSUM += result.seconds;
            return true;
        case AnswerOutcome::wrong:
            ++tally.NERR;
            tally.TSUM += result.seconds;
            return true;
        case AnswerOutcome::not_answered:
            ++tally.NNOANS;
            return true;
        case AnswerOutcome::abandoned:
            return false;
    }
    return false;
}

TrainingSummary summarise(int32_t count, const Tally& tally) {
    const int32_t answered = tally.NTRUE + tally.NERR;
    // With nothing answered there is no average: it is shown and logged as not a number.
    const float TAV = answered > 0 ? tally.TSUM / static_cast<float>(answered)
                                   : std::numeric_limits<float>::quiet_NaN();
    // A volume of 0 or less made no presentation, and counts below 0 have no label.
    return TrainingSummary{std::max(count, 0), tally.NERR, tally.NNOANS, TAV,
                           2 * tally.NERR + tally.NNOANS};
}

void log_training(gfx::Canvas& canvas, int32_t K, const Tally& tally,
                  const TrainingSummary& summary) {
    results::TrainingRecord record;
    record.Is = K;
    record.NVOL = summary.NVOL;
    record.NTRUE = tally.NTRUE;
    record.NERR = tally.NERR;
    record.NNOANS = tally.NNOANS;
    record.TAV = summary.TAV;
    record.NPUP = summary.NPUP;
    results::append_training(canvas, record);
}

}  // namespace

void TEST(gfx::Canvas& canvas, int32_t& NSHOWN, state::FigureTables& figures, int16_t& NXW,
          int16_t& NYW) {
    const int32_t K = NSHOWN;
    const int16_t width = NXW;
    const int16_t height = NYW;

    canvas.set_colour(k_dark_green);
    canvas.rectangle(gfx::Shape::filled, 0, 0, static_cast<int16_t>(width - 1),
                     static_cast<int16_t>(height - 1));
    draw_idle_bars(canvas, width);
    FrameDrawer frames(canvas, width, height);

    // The volume is taken once: the run makes exactly the presentations it started with.
    const int32_t count = state::run().parameters.NVOL;
    Tally tally;
    for (int32_t number = 1; number <= count; ++number) {
        const std::optional<FigurePlacement> placement = frames.draw(K, figures);
        if (!placement) return;
        if (!count_answer(await_answer(canvas, width, number, count, *placement), tally)) return;
    }

    const TrainingSummary summary = summarise(count, tally);
    draw_summary(canvas, width, height, summary);
    log_training(canvas, K, tally, summary);
    prompt_and_wait(canvas);
}

}  // namespace exercises
