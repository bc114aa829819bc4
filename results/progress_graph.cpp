#include "results/progress_graph.h"

#include <cmath>
#include <functional>
#include <optional>
#include <variant>

#include "gfx/platform.h"
#include "plot/axes.h"
#include "plot/page.h"
#include "plot/pen.h"
#include "plot/symbols.h"
#include "plot/transforms.h"
#include "results/log_reader.h"
#include "state/mouse_protocol.h"
#include "textio/fields.h"
#include "textio/io_error.h"

namespace results {

namespace {

constexpr int k_page = 1;
constexpr int k_acuity_panel = 1;
constexpr int k_training_panel = 2;

// Colour indices of the plotting package's default colours.
constexpr int k_black = 7;
constexpr int k_acuity_colour = 4;
constexpr int k_volume_colour = 3;
constexpr int k_distance_colour = 5;
constexpr int k_size_colour = 4;
constexpr int k_time_colour = 2;
constexpr int k_push_up_colour = 1;

// Each quantity is divided by its full-scale value, which lands on the top of the panel.
constexpr float k_full_volume = 200.0f;    // presentations
constexpr float k_full_distance = 500.0f;  // cm
constexpr float k_full_size = 10.0f;
constexpr float k_full_time = 5.0f;  // s
constexpr float k_full_push_ups = 50.0f;

constexpr float k_label_size = 8.0f;

struct Label {
    int colour;
    float x, y;  // page units
    const char* text;
};

// Each curve's legend over the lower panel and its reference labels left of the panels, at
// the height where the value named is plotted, all in the curve's colour.
constexpr Label k_labels[] = {
    {k_acuity_colour, 5.0f, 114.0f, "0"},
    {k_acuity_colour, 2.0f, 126.0f, "0.2"},
    {k_acuity_colour, 2.0f, 138.0f, "0.4"},
    {k_acuity_colour, 2.0f, 150.0f, "0.6"},
    {k_acuity_colour, 2.0f, 162.0f, "0.8"},
    {k_acuity_colour, 5.0f, 174.0f, "1"},
    {k_acuity_colour, 70.0f, 178.0f, "Visual acuity"},
    {k_volume_colour, 2.0f, 58.0f, "100"},
    {k_volume_colour, 20.0f, 107.0f, "Volume(200)"},
    {k_distance_colour, 2.0f, 50.0f, "2m"},
    {k_distance_colour, 60.0f, 107.0f, "Distance(5\u043c)"},  // 5 metres
    {k_size_colour, 3.0f, 67.0f, "6"},
    {k_size_colour, 100.0f, 107.0f, "Square(10)"},
    {k_time_colour, 2.0f, 32.0f, "1s"},
    {k_time_colour, 140.0f, 107.0f, "Average_time(5\u0441)"},  // 5 seconds
    {k_push_up_colour, 3.0f, 22.0f, "5"},
    {k_push_up_colour, 190.0f, 107.0f, "Number of push-ups(50)"},
};

constexpr gfx::Colour k_message_colour = 0xDDAA00;  // red 0, green 170, blue 221
constexpr const char* k_message_font = "t'Times New Roman Cyr'h28w9ib";
constexpr const char* k_message = "For continuation press any mouse button";

// The two framed panels over a common time axis of `span` seconds, with a dashed line at
// every day boundary and every fifth of the height.
void draw_panels(gfx::Canvas& canvas, float span) {
    plot::SETCOL(canvas, k_black);
    plot::REGION(canvas, k_page, k_acuity_panel, 10.0f, 110.0f, 220.0f, 60.0f);
    plot::REGION(canvas, k_page, k_training_panel, 10.0f, 10.0f, 220.0f, 90.0f);
    plot::LIMITS(k_page, k_acuity_panel, 0.0f, span, 0.0f, 1.0f);
    plot::LIMITS(k_page, k_training_panel, 0.0f, span, 0.0f, 1.0f);
    const float day = static_cast<float>(k_seconds_per_day);
    plot::AXES(canvas, k_page, k_acuity_panel, 0.0f, day, 0, 0.0f, 0.2f, 0);
    plot::AXES(canvas, k_page, k_training_panel, 0.0f, day, 0, 0.0f, 0.2f, 0);
}

void draw_labels(gfx::Canvas& canvas) {
    for (const Label& label : k_labels) {
        plot::SETCOL(canvas, label.colour);
        plot::SYMBOL(canvas, k_page, label.x, label.y, k_label_size, 0.0f, label.text);
    }
    plot::SETCOL(canvas, k_black);
}

// At window pixels, in the labels' font, black.
void draw_date_labels(gfx::Canvas& canvas, const LogSpan& span) {
    canvas.move_to(10, 620);
    canvas.out_text(beginning_label(span.beginning));
    canvas.move_to(748, 620);
    canvas.out_text(end_label(span.end));
}

// Draws the records of the log one by one. A bar rises from 0 at the record's time; a line
// runs from the record's value back to the previous record of the same kind, so each curve
// joins only records of its kind. The first record of a kind joins itself (a single point).
class CurvePlotter {
  public:
    CurvePlotter(gfx::Canvas& canvas, double first_day_start)
        : canvas_(canvas), first_day_start_(first_day_start) {}

    void operator()(const LogRecord& record) {
        std::visit(
            [this](const auto& kind) {
                draw(static_cast<float>(stamp_seconds(kind.stamp) - first_day_start_), kind);
            },
            record);
    }

  private:
    struct Point {
        float x, y;
    };
    struct TrainingPoint {
        float x, distance, size, push_ups;
    };

    void draw(float x, const SightCheckRecord& record) {
        const Point point{x, record.AOV};
        const Point previous = previous_acuity_.value_or(point);
        plot::SETCOL(canvas_, k_acuity_colour);
        plot::MOVE(canvas_, k_page, k_acuity_panel, x, 0.0f, 0);
        plot::MOVE(canvas_, k_page, k_acuity_panel, x, point.y, 1);
        plot::MOVE(canvas_, k_page, k_acuity_panel, previous.x, previous.y, 1);
        previous_acuity_ = point;
    }

    void draw(float x, const TrainingRecord& record) {
        const TrainingPoint point{x, record.DIST / k_full_distance,
                                  static_cast<float>(record.Is) / k_full_size,
                                  static_cast<float>(record.NPUP) / k_full_push_ups};
        const TrainingPoint previous = previous_training_.value_or(point);

        plot::SETCOL(canvas_, k_volume_colour);
        plot::MOVE(canvas_, k_page, k_training_panel, x, 0.0f, 0);
        plot::MOVE(canvas_, k_page, k_training_panel, x,
                   static_cast<float>(record.NVOL) / k_full_volume, 1);

        line_back(k_distance_colour, {x, point.distance}, {previous.x, previous.distance});
        line_back(k_size_colour, {x, point.size}, {previous.x, previous.size});
        // A run without an answer has no average time: that curve passes it by and joins the
        // runs before and after it.
        if (!std::isnan(record.TAV)) {
            const Point time{x, record.TAV / k_full_time};
            line_back(k_time_colour, time, previous_time_.value_or(time));
            previous_time_ = time;
        }
        line_back(k_push_up_colour, {x, point.push_ups}, {previous.x, previous.push_ups});
        previous_training_ = point;
    }

    // Drawn from the newer point to the older one.
    void line_back(int colour, Point newer, Point older) {
        plot::SETCOL(canvas_, colour);
        plot::MOVE(canvas_, k_page, k_training_panel, newer.x, newer.y, 0);
        plot::MOVE(canvas_, k_page, k_training_panel, older.x, older.y, 1);
    }

    gfx::Canvas& canvas_;
    double first_day_start_;
    std::optional<Point> previous_acuity_;
    std::optional<TrainingPoint> previous_training_;
    std::optional<Point> previous_time_;
};

void draw_closing_message(gfx::Canvas& canvas) {
    canvas.set_font(k_message_font);
    canvas.set_colour(k_message_colour);
    canvas.move_to(265, 621);
    canvas.out_text(k_message);
}

std::string date_label(const std::string& prefix, const TimeStamp& stamp) {
    using textio::format_int;
    return prefix + format_int(stamp.day, 2, 2) + "." + format_int(stamp.month, 2, 2) + "." +
           format_int(stamp.year, 4) + ".," + format_int(stamp.hour, 3) + " h." +
           format_int(stamp.minute, 3) + "min";
}

}  // namespace

std::string beginning_label(const TimeStamp& stamp) {
    return date_label("Beginning ", stamp);
}

std::string end_label(const TimeStamp& stamp) {
    return date_label("End  ", stamp);
}

void TRITOUT(gfx::Canvas& canvas) {
    draw_progress_graph(canvas, k_log_file);
    draw_closing_message(canvas);

    state::wait_for_press(canvas.platform());

    plot::ACTIV(canvas, k_page, k_page);
}

void draw_progress_graph(gfx::Canvas& canvas, const std::string& log_name) {
    canvas.clear_screen();

    // First pass: the whole days the records fall on. A log without a usable record (none
    // at all, empty, only the header, only unusable lines) is shown over one empty day.
    const LogSpan span = scan_log_span(log_name);
    const double first_day_start = span.has_records ? span.first_day_start : 0.0;
    const double end = span.has_records ? span.end_seconds() : k_seconds_per_day;

    draw_panels(canvas, static_cast<float>(end - first_day_start));
    draw_labels(canvas);
    if (span.has_records) {
        draw_date_labels(canvas, span);

        // Second pass: the curves. A log removed since the first pass (another copy of the
        // program, the user) leaves the panels and dates of what the first pass saw, without
        // curves; a log that is there but cannot be opened is an error the program has no
        // answer to.
        CurvePlotter plotter(canvas, first_day_start);
        const auto open_error = read_log(log_name, std::ref(plotter));
        if (open_error && *open_error != textio::IoErrorKind::file_not_found) {
            textio::raise_io_error(*open_error, k_log_unit, log_name);
        }
    }
}

}  // namespace results
