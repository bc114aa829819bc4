#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "app/main_program.h"
#include "app/trainer_window.h"
#include "gfx/headless/headless_platform.h"
#include "state/shared_state.h"

namespace testing_support {

// A fresh working folder for one test, entered for the test's lifetime; removed afterwards.
class WorkingFolder {
  public:
    WorkingFolder();
    ~WorkingFolder();
    WorkingFolder(const WorkingFolder&) = delete;
    WorkingFolder& operator=(const WorkingFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // Copies the shipped default figure set into the folder.
    void install_default_figures() const;
    void write(const std::string& name, const std::string& contents) const;
    std::string read(const std::string& name) const;
    bool exists(const std::string& name) const;

  private:
    std::filesystem::path previous_;
    std::filesystem::path path_;
};

// The shipped default figure set, loaded once.
const state::FigureTables& default_figures();

// Figure tables in which figure `size` alone has points, given as (row offset, column offset).
state::FigureTables figure_of(int size, std::initializer_list<std::pair<int32_t, int32_t>> points);

// Starts a fresh run: the state of a new process.
void reset_program_state();

// The trainer as the program leaves it for an exercise: the start-up hook's menu commands (once
// per platform), then the program's own preparation of the graphics window, asked for `size`.
// The parameters stay as the test set them.
void open_trainer(gfx::HeadlessPlatform& platform, app::TrainerWindowSize size = {});

// The position on the menu bar of the command with this text, 0 when there is none.
int menu_position(const gfx::HeadlessPlatform& platform, const std::string& text);

// What the stand-in routines of the main loop saw.
struct RoutineCall {
    enum class Kind { training, sight_check, progress_graph } kind;
    int size = 0;  // training: NSHOWN; sight check: window width
    int height = 0;
    double at_seconds = 0;
};

// Routines that record each call and return at once (or run an extra action first).
struct RecordingRoutines {
    std::vector<RoutineCall> calls;
    std::function<void(gfx::HeadlessPlatform&)> during_call;

    app::Routines make(gfx::HeadlessPlatform& platform);
};

// Runs the whole program on the twin: the start-up hook, then the main program.
gfx::RunOutcome run_program(gfx::HeadlessPlatform& platform, const app::Routines& routines);

// Width of the first white stripe on row 0 of the start screen, which is the size shown;
// 0 while the window is grey or not yet drawn.
int shown_stripe_width(const gfx::HeadlessPlatform& platform);

}  // namespace testing_support
