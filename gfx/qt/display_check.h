#pragma once

#include <QApplication>
#include <memory>

namespace gfx {

// Makes the application object. Where Qt finds no display to start on (DISPLAY and
// WAYLAND_DISPLAY not set, or a display that does not answer), it would abort the process with
// a core dump; instead one line on the standard error says what is missing and how to run the
// program, and the process ends with status 1. Where it starts, nothing changes: Qt's own
// options (-platform, -display) and variables work as ever, and the messages Qt gave while it
// started are passed on as they came.
std::unique_ptr<QApplication> make_application(int& argc, char** argv);

}  // namespace gfx
