#include "program_fixture.h"

#include <fstream>
#include <iterator>
#include <random>
#include <sstream>

#include "app/figure_file.h"
#include "app/menus.h"
#include "state/shared_state.h"

namespace testing_support {

WorkingFolder::WorkingFolder() : previous_(std::filesystem::current_path()) {
    std::random_device random;
    path_ = std::filesystem::temp_directory_path() /
            ("pelidor-test-" + std::to_string(random()) + std::to_string(random()));
    std::filesystem::create_directories(path_);
    std::filesystem::current_path(path_);
}

WorkingFolder::~WorkingFolder() {
    std::filesystem::current_path(previous_);
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

void WorkingFolder::install_default_figures() const {
    std::filesystem::copy_file(std::filesystem::path(PELIDOR_SOURCE_DIR) / "data" / "pelidor.sym",
                               path_ / "pelidor.sym",
                               std::filesystem::copy_options::overwrite_existing);
}

void WorkingFolder::write(const std::string& name, const std::string& contents) const {
    std::ofstream out(path_ / name, std::ios::binary);
    out << contents;
}

std::string WorkingFolder::read(const std::string& name) const {
    std::ifstream in(path_ / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool WorkingFolder::exists(const std::string& name) const {
    return std::filesystem::exists(path_ / name);
}

const state::FigureTables& default_figures() {
    static const state::FigureTables figures = [] {
        state::FigureTables loaded;
        app::load_figures(
            loaded, (std::filesystem::path(PELIDOR_SOURCE_DIR) / "data" / "pelidor.sym").string());
        return loaded;
    }();
    return figures;
}

state::FigureTables figure_of(int size, std::initializer_list<std::pair<int32_t, int32_t>> points) {
    state::FigureTables figures;
    int point = 0;
    for (const auto& [row, column] : points) {
        ++point;
        figures.ijnot(point, 1, size) = row;
        figures.ijnot(point, 2, size) = column;
    }
    figures.count(size) = point;
    return figures;
}

void reset_program_state() {
    state::start_run();
}

void open_trainer(gfx::HeadlessPlatform& platform, app::TrainerWindowSize size) {
    if (platform.menu_items().empty()) app::INITIALSETTINGS(platform.canvas());
    app::prepare_trainer(platform.canvas(), {}, size);
}

int menu_position(const gfx::HeadlessPlatform& platform, const std::string& text) {
    for (const gfx::MenuItem& item : platform.menu_items()) {
        if (item.text == text) return item.position;
    }
    return 0;
}

app::Routines RecordingRoutines::make(gfx::HeadlessPlatform& platform) {
    auto extra = [this, &platform] {
        if (during_call) during_call(platform);
    };
    return app::Routines{
        [this, &platform, extra](gfx::Canvas&, int32_t& shown, state::FigureTables&, int16_t& width,
                                 int16_t& height) {
            calls.push_back({RoutineCall::Kind::training, shown, height, platform.now()});
            (void)width;
            extra();
        },
        [this, &platform, extra](gfx::Canvas&, int32_t& width, int32_t& height) {
            calls.push_back({RoutineCall::Kind::sight_check, width, height, platform.now()});
            extra();
        },
        [this, &platform, extra](gfx::Canvas&) {
            calls.push_back({RoutineCall::Kind::progress_graph, 0, 0, platform.now()});
            extra();
        },
    };
}

gfx::RunOutcome run_program(gfx::HeadlessPlatform& platform, const app::Routines& routines) {
    return platform.run([](gfx::Canvas& canvas) { return app::INITIALSETTINGS(canvas); },
                        [&routines](gfx::Canvas& canvas) { app::main_program(canvas, routines); });
}

int shown_stripe_width(const gfx::HeadlessPlatform& platform) {
    if (platform.pixel(1, 0) != gfx::k_white) return 0;
    int width = 0;
    while (width < 20 && platform.pixel(1 + width, 0) == gfx::k_white) ++width;
    return width;
}

}  // namespace testing_support
