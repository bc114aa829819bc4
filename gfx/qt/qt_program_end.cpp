// The program's end on the Qt platform: stopping in the three exit modes, the fatal report and
// the end of the process, which no destructor or thread join may delay.
#include <QEventLoop>
#include <QMainWindow>
#include <QMessageBox>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <thread>

#include "gfx/qt/frame_window.h"
#include "gfx/qt/qt_platform.h"

namespace gfx {

void QtPlatform::stop_program() {
    // A fatal report in progress decides the exit status.
    if (ending_.load()) {
        if (!on_gui_thread()) park_forever();
        end_process(1);
    }
    if (exit_mode() == 2) end_process(0);
    keep_windows_until_closed();
}

void QtPlatform::keep_windows_until_closed() {
    // The windows outlive the program until the user closes the frame, which ends the process;
    // in mode 1 the user is asked first whether to close them now.
    const bool ask = exit_mode() == 1;
    post([this, ask] {
        frame_->setWindowTitle(frame_->windowTitle() + QStringLiteral(" - finished"));
        if (!ask) return;
        auto* box = new QMessageBox(QMessageBox::Question, frame_->windowTitle(),
                                    QStringLiteral("The program has ended.\nClose its windows?"),
                                    QMessageBox::Yes | QMessageBox::No, frame_);
        box->setAttribute(Qt::WA_DeleteOnClose);
        QObject::connect(box, &QMessageBox::finished, frame_, [this](int result) {
            if (result == QMessageBox::Yes) end_process(0);
        });
        box->open();
    });
    if (!on_gui_thread()) park_forever();
    // Called from a window callback: keep serving the windows from here.
    QEventLoop loop;
    loop.exec();
    end_process(0);
}

void QtPlatform::report_fatal(const std::string& message) {
    std::fprintf(stderr, "%s\n", message.c_str());
    std::fflush(stderr);
    if (ending_.exchange(true)) {
        // Another report is being shown; it ends the process.
        if (!on_gui_thread()) park_forever();
        end_process(1);
    }
    if (on_gui_thread()) show_fatal_and_end(message);
    post([this, message] { show_fatal_and_end(message); });
    park_forever();
}

void QtPlatform::set_fatal_notice(FatalNotice notice) {
    fatal_notice_ = std::move(notice);
}

// The fatal notice a platform starts with: a critical message box, waited for.
void QtPlatform::show_fatal_box(const std::string& message) {
    QMessageBox box(QMessageBox::Critical, frame_->windowTitle(), QString::fromStdString(message),
                    QMessageBox::Ok, frame_);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void QtPlatform::show_fatal_and_end(const std::string& message) {
    if (fatal_notice_) fatal_notice_(message);
    end_process(1);
}

void QtPlatform::end_process(int status) {
    if (on_gui_thread() && frame_) frame_->hide();
    std::cout.flush();
    std::cerr.flush();
    std::fflush(nullptr);
    // No static destructors and no thread joins: the other thread may be anywhere.
    std::_Exit(status);
}

void QtPlatform::park_forever() {
    for (;;) std::this_thread::sleep_for(std::chrono::hours(24));
}

}  // namespace gfx
