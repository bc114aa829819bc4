#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "gfx/platform.h"

namespace gfx {

struct ToneRecord {
    int frequency = 0;
    int duration_ms = 0;
    double at_seconds = 0;  // virtual time at which the tone started
};

// Thrown when the virtual clock passes the limit a test set, so a program that runs forever
// can be stopped at a chosen moment.
struct VirtualTimeLimit {
    double at_seconds = 0;
};

// How a headless run ended.
struct RunOutcome {
    enum class Kind { stopped, fatal_error, time_limit } kind = Kind::stopped;
    int status = 0;
    std::string message;
    double at_seconds = 0;
};

// The headless twin of the Qt platform: the same canvas, no window. Time is
// virtual: sleeping and waiting advance it at once, one millisecond at a time, and at every
// millisecond the scripted user is called with the platform, so it can look at the surface and
// press buttons or choose menu commands at exact moments; a wait for input ends at the
// millisecond an event arrives, as on the real platform. Everything runs on the caller's
// thread, so runs are deterministic.
class HeadlessPlatform : public Platform {
  public:
    using ScriptedUser = std::function<void(HeadlessPlatform& platform)>;
    using DialogScript = std::function<void(Dialog& dialog, int attempt)>;

    HeadlessPlatform();

    // ---- set-up
    void set_user(ScriptedUser user) { user_ = std::move(user); }
    void set_dialog_script(DialogScript script) { dialog_script_ = std::move(script); }
    void set_date(LocalDate date) { date_ = date; }
    void set_time(LocalTime time) { time_ = time; }
    void set_time_limit(double virtual_seconds) { time_limit_ = virtual_seconds; }

    // Runs the start-up hook and the program on this thread and tells how the program ended.
    RunOutcome run(const std::function<bool(Canvas&)>& startup_hook,
                   const std::function<void(Canvas&)>& program);

    // ---- what a scripted user can do
    double now() const { return static_cast<double>(now_ms_) / 1000.0; }
    int64_t now_ms() const { return now_ms_; }
    // Presses or releases a mouse button (k_key_left or k_key_right) in the window of unit 1,
    // with Shift / Ctrl bits (k_key_shift, k_key_ctrl) held. The events are stamped with the
    // virtual time.
    void press(int button, int modifiers = 0);
    void release(int button, int modifiers = 0);
    void click(int button, int modifiers = 0);
    // A press stamped as a platform may stamp it: at another moment (on the clock of
    // clock_seconds()), or not at all.
    void press_stamped(int button, std::optional<double> stamp_seconds, int modifiers = 0);
    void choose(int menu_position) { choose_menu(menu_position); }
    // The pixel of unit 1 as 0x00BBGGRR.
    Colour pixel(int x, int y) const;

    // ---- what a test can observe
    const std::vector<ToneRecord>& tones() const { return tones_; }
    int about_boxes_shown() const { return about_boxes_shown_; }
    int tiles() const { return tiles_; }
    struct FrameGeometry {
        int x, y, height, width;
    };
    const std::vector<FrameGeometry>& frame_geometries() const { return frame_geometries_; }
    const std::vector<Dialog::Refusal>& dialog_refusals() const { return refusals_; }
    bool unit_closed(int unit) const;

    // ---- the platform
    void set_frame_geometry(int x, int y, int height, int width) override;
    void show_about() override { ++about_boxes_shown_; }
    void tile_children() override { ++tiles_; }
    double clock_seconds() override;
    void sleep_ms(int milliseconds) override;
    void wait_for_input(int timeout_ms) override;
    void beep(int frequency, int duration_ms) override;
    // The surfaces are what the user sees: whatever is drawn is shown already.
    void wait_until_shown() override {}
    LocalDate local_date() override { return date_; }
    LocalTime local_time() override { return time_; }
    void run_dialog(Dialog& dialog) override;
    [[noreturn]] void stop_program() override;
    [[noreturn]] void report_fatal(const std::string& message) override;

  protected:
    void input_arrived() override { input_pending_ = true; }
    // The surfaces are looked at directly: nothing to show.
    void present(int) override {}
    void child_opened(int) override {}
    void child_closed(int unit) override { closed_units_.push_back(unit); }

  private:
    // Moves the virtual clock on, calling the user every millisecond; a wait for input stops
    // at the millisecond an event arrives.
    void advance(int milliseconds, bool until_input);

    ScriptedUser user_;
    DialogScript dialog_script_;
    LocalDate date_{2026, 12, 10};
    LocalTime time_{9, 5, 3, 0};
    double time_limit_ = 3600.0;
    int64_t now_ms_ = 0;
    int held_ = 0;
    bool in_user_ = false;
    bool input_pending_ = false;
    std::vector<ToneRecord> tones_;
    std::vector<FrameGeometry> frame_geometries_;
    std::vector<Dialog::Refusal> refusals_;
    std::vector<int> closed_units_;
    int about_boxes_shown_ = 0;
    int tiles_ = 0;
};

}  // namespace gfx
