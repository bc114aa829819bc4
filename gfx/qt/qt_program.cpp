#include "gfx/qt/qt_program.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
#include <thread>

#include "gfx/qt/display_check.h"
#include "gfx/qt/qt_platform.h"

namespace gfx {

void run_qt_program(int argc, char** argv, const std::function<bool(Canvas&)>& startup_hook,
                    const std::function<void(Canvas&)>& program) {
    // QApplication keeps a reference to the argument count for its whole life.
    static int argument_count = argc;
    std::unique_ptr<QApplication> application;
    if (!QApplication::instance()) application = make_application(argument_count, argv);

    // Never destroyed: the process ends while the program thread may still use it.
    auto* platform = new QtPlatform;
    // The hook builds the menus; the platform makes none of its own, whatever the hook returns.
    if (startup_hook) startup_hook(platform->canvas());
    platform->show_frame();

    std::thread program_thread([platform, program] {
        try {
            program(platform->canvas());
        } catch (const std::exception& error) {
            platform->report_fatal(error.what());
        } catch (...) {
            platform->report_fatal("the program ended with an unknown error");
        }
        platform->stop_program();
    });
    program_thread.detach();

    const int status = QApplication::exec();
    // The event loop only ends when the platform quits the application.
    std::fflush(nullptr);
    std::_Exit(status);
}

}  // namespace gfx
