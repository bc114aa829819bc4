#include "gfx/qt/display_check.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace gfx {

namespace {

// A message Qt gave while it started, kept with its context until Qt has started or failed.
struct HeldMessage {
    QtMsgType type;
    QByteArray file, function, category;
    int line;
    QString text;
};

std::vector<HeldMessage> held_messages;
QtMessageHandler previous_handler = nullptr;
std::string program_name = "pelidor";
std::string display_argument;  // Qt's -display option, when given

std::string named_display(const char* variable) {
    const char* value = std::getenv(variable);
    if (value == nullptr || *value == '\0') return {};
    return std::string(value) + " (" + variable + ")";
}

// What is missing, and how to run the program without a desktop session. Qt's -display option
// stands for DISPLAY.
std::string no_display_message() {
    std::vector<std::string> displays;
    if (!display_argument.empty()) {
        displays.push_back(display_argument + " (-display)");
    } else if (std::string display = named_display("DISPLAY"); !display.empty()) {
        displays.push_back(std::move(display));
    }
    if (std::string display = named_display("WAYLAND_DISPLAY"); !display.empty()) {
        displays.push_back(std::move(display));
    }
    std::string what;
    if (displays.empty()) {
        what = "no display to open the window on: neither DISPLAY nor WAYLAND_DISPLAY is set";
    } else if (displays.size() == 1) {
        what = "the display " + displays[0] + " cannot be reached";
    } else {
        what = "neither the display " + displays[0] + " nor " + displays[1] + " can be reached";
    }
    return program_name + ": " + what +
           ". Start it in a desktop session, or without one under a virtual display: xvfb-run -a " +
           program_name;
}

// Qt reports a platform it cannot start on as a fatal message, after which it aborts: the
// process ends here first, with the one line. Every other message waits.
void hold_until_started(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtFatalMsg) {
        const std::string message = no_display_message() + "\n";
        std::fputs(message.c_str(), stderr);
        std::fflush(stderr);
        std::_Exit(1);
    }
    held_messages.push_back(HeldMessage{type, QByteArray(context.file),
                                        QByteArray(context.function), QByteArray(context.category),
                                        context.line, text});
}

}  // namespace

std::unique_ptr<QApplication> make_application(int& argc, char** argv) {
    if (argc > 0) {
        const std::string_view path = argv[0];
        program_name = std::string(path.substr(path.find_last_of('/') + 1));
    }
    for (int index = 1; index + 1 < argc; ++index) {
        if (std::string_view(argv[index]) == "-display") display_argument = argv[index + 1];
    }

    previous_handler = qInstallMessageHandler(hold_until_started);
    auto application = std::make_unique<QApplication>(argc, argv);
    qInstallMessageHandler(previous_handler);
    for (const HeldMessage& message : held_messages) {
        const QMessageLogContext context(message.file.constData(), message.line,
                                         message.function.constData(),
                                         message.category.constData());
        previous_handler(message.type, context, message.text);
    }
    held_messages.clear();
    return application;
}

}  // namespace gfx
