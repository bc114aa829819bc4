#include "gfx/platform.h"

#include <utility>

namespace gfx {

namespace {

constexpr std::size_t k_about_text_limit = 512;

}  // namespace

Platform::Platform() : canvas_(*this, *this) {}
Platform::~Platform() = default;

// ---- frame window, menus, About box, exit mode

bool Platform::set_exit_mode(int mode) {
    if (mode < 1 || mode > 3) return false;
    std::lock_guard lock(mutex_);
    exit_mode_ = mode;
    return true;
}

int Platform::exit_mode() const {
    std::lock_guard lock(mutex_);
    return exit_mode_;
}

bool Platform::set_about_text(std::string text) {
    if (text.size() > k_about_text_limit) return false;
    std::lock_guard lock(mutex_);
    about_text_ = std::move(text);
    return true;
}

std::string Platform::about_text() const {
    std::lock_guard lock(mutex_);
    return about_text_;
}

bool Platform::append_menu(int position, int flags, std::string text, MenuRoutine routine) {
    std::lock_guard lock(mutex_);
    if (position != static_cast<int>(menu_.size()) + 1) return false;
    menu_.push_back(MenuItem{position, flags, std::move(text), std::move(routine)});
    return true;
}

std::vector<MenuItem> Platform::menu_items() const {
    std::lock_guard lock(mutex_);
    return menu_;
}

void Platform::choose_menu(int position) {
    MenuRoutine routine;
    {
        std::lock_guard lock(mutex_);
        if (position < 1 || position > static_cast<int>(menu_.size())) return;
        const MenuItem& item = menu_[position - 1];
        if ((item.flags & (k_menu_grayed | k_menu_disabled | k_menu_separator)) != 0) return;
        routine = item.routine;
    }
    if (routine) routine(position);
    input_arrived();
}

}  // namespace gfx
