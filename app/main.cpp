#include "app/main_program.h"
#include "app/menus.h"
#include "gfx/qt/qt_program.h"

// PELIDOR, a trainer for eyes: the Qt platform runs the start-up hook, then the main
// program on a thread of its own. The program ends only through the platform.
int main(int argc, char** argv) {
    gfx::run_qt_program(
        argc, argv, [](gfx::Canvas& canvas) { return app::INITIALSETTINGS(canvas); },
        [](gfx::Canvas& canvas) { app::main_program(canvas); });
}
