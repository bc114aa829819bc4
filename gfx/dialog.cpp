#include "gfx/dialog.h"

#include <utility>

namespace gfx {

Dialog::Dialog(DialogTemplate layout) : layout_(std::move(layout)) {
    for (const auto& control : layout_.controls) texts_[control.id] = control.text;
}

void Dialog::set_text(int control_id, std::string text) {
    texts_[control_id] = std::move(text);
}

std::string Dialog::text(int control_id) const {
    const auto found = texts_.find(control_id);
    return found == texts_.end() ? std::string() : found->second;
}

void Dialog::set_routine(int control_id, Routine routine) {
    routines_[control_id] = std::move(routine);
}

void Dialog::activate(int control_id) {
    const auto found = routines_.find(control_id);
    if (found == routines_.end()) return;
    // The routine may replace itself; call a copy.
    const Routine routine = found->second;
    routine(*this, control_id, 0);
}

void Dialog::refuse(int control_id, std::string message) {
    refusal_ = Refusal{control_id, std::move(message)};
}

std::optional<Dialog::Refusal> Dialog::take_refusal() {
    return std::exchange(refusal_, std::nullopt);
}

}  // namespace gfx
