#include "gfx/offscreen_text.h"

#include <QGuiApplication>
#include <QtGlobal>

namespace gfx {

namespace {

QtMessageHandler previous_handler = nullptr;

// Qt's notes about the session it starts in (no runtime folder, no display) say nothing about
// the pictures drawn; only its errors are passed on.
void pass_errors_only(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtDebugMsg || type == QtInfoMsg || type == QtWarningMsg) return;
    if (previous_handler != nullptr) previous_handler(type, context, text);
}

}  // namespace

struct OffscreenText::Application {
    explicit Application(const char* program_name)
        : arguments{const_cast<char*>(program_name), const_cast<char*>("-platform"),
                    const_cast<char*>("offscreen"), nullptr},
          application(count, arguments) {}

    // QGuiApplication keeps references to the count and the arguments for its whole life.
    int count = 3;
    char* arguments[4];
    QGuiApplication application;
};

OffscreenText::OffscreenText(const char* program_name) {
    if (QGuiApplication::instance()) return;
    previous_handler = qInstallMessageHandler(pass_errors_only);
    application_ = std::make_unique<Application>(program_name);
}

OffscreenText::~OffscreenText() {
    if (!application_) return;
    application_.reset();
    qInstallMessageHandler(previous_handler);
}

}  // namespace gfx
