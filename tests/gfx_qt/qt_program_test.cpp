#include "gfx/qt/qt_program.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QThread>
#include <QTimer>
#include <cstdio>
#include <stdexcept>

#include "gfx/platform.h"

namespace {

bool on_gui_thread() {
    return QThread::currentThread() == QCoreApplication::instance()->thread();
}

// Accepts any message box as the user would, telling stderr what it said.
void accept_message_boxes() {
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(widget);
            if (box == nullptr || !box->isVisible()) continue;
            std::fprintf(stderr, "box: %s\n", qPrintable(box->text()));
            box->accept();
        }
    });
    timer->start(20);
}

class QtProgramTest : public testing::Test {
  protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }

    int argc_ = 1;
    char name_[16] = "pelidor";
    char* argv_[2] = {name_, nullptr};
};

GTEST_TEST_F(QtProgramTest, HookRunsOnTheGuiThreadAndTheProgramOnItsOwn) {
    const auto hook = [](gfx::Canvas& platform) {
        std::fprintf(stderr, "hook on gui thread: %d\n", on_gui_thread());
        platform.platform().append_menu(1, gfx::k_menu_enabled, "Exit",
                                        [&platform](int) { platform.platform().stop_program(); });
        return true;
    };
    const auto program = [](gfx::Canvas& platform) {
        std::fprintf(stderr, "program on gui thread: %d\n", on_gui_thread());
        platform.platform().set_exit_mode(2);
        platform.open_child(1, "Trainer for eyes");
        gfx::WindowConfig config{980, 650, -1, -1, -1, -1};
        platform.set_window_config(config);
        platform.rectangle(gfx::Shape::filled, 0, 0, 10, 10);
    };
    EXPECT_EXIT(gfx::run_qt_program(argc_, argv_, hook, program), testing::ExitedWithCode(0),
                "hook on gui thread: 1.*program on gui thread: 0");
}

GTEST_TEST_F(QtProgramTest, EscapedExceptionIsAFatalReport) {
    const auto program = [](gfx::Canvas&) { throw std::runtime_error("figure set broken"); };
    EXPECT_EXIT(
        {
            accept_message_boxes();
            gfx::run_qt_program(argc_, argv_, {}, program);
        },
        testing::ExitedWithCode(1), "figure set broken.*box: figure set broken");
}

}  // namespace
