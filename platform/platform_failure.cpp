#include "platform_failure.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace complexplot {

namespace {

struct HeldMessage {
    QtMsgType type;
    QByteArray category;
    QString text;
};

std::vector<HeldMessage>& heldMessages() {
    static std::vector<HeldMessage> messages;
    return messages;
}

// The renderer as it sits beside this program: installed in the same
// folder, or built in the build tree's render folder.
std::string rendererPath() {
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error) {
        for (const char* place : {"complex-plot-render", "../render/complex-plot-render"}) {
            const std::filesystem::path candidate = self.parent_path() / place;
            if (std::filesystem::exists(candidate, error)) {
                return std::filesystem::weakly_canonical(candidate, error).string();
            }
        }
    }
    return "complex-plot-render";
}

const char*& programName() {
    static const char* name = "complex-plot";
    return name;
}

void holdOrReport(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type != QtFatalMsg) {
        heldMessages().push_back({type, QByteArray(context.category), text});
        return;
    }
    // The first thing Qt said is the cause (for X11: "could not connect to
    // display :1"); the fatal message itself only says that no platform
    // plugin started.
    QString reason = heldMessages().empty() ? text : heldMessages().front().text;
    reason = reason.section(QLatin1Char('\n'), 0, 0).simplified();
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        reason = QStringLiteral("no display: neither DISPLAY nor WAYLAND_DISPLAY is set");
    }
    std::fprintf(stderr,
                 "%s: cannot open a window (%s); %s draws the same maps without a "
                 "display\n",
                 programName(), reason.toLocal8Bit().constData(), rendererPath().c_str());
    std::fflush(stderr);
    // Qt is half made: end here, before anything tears it down.
    std::_Exit(1);
}

}  // namespace

void catchPlatformFailure(const char* program) {
    programName() = program;
    qInstallMessageHandler(holdOrReport);
}

void releaseStartupMessages() {
    qInstallMessageHandler(nullptr);
    for (const HeldMessage& message : heldMessages()) {
        const QMessageLogContext context(nullptr, 0, nullptr, message.category.constData());
        qt_message_output(message.type, context, message.text);
    }
    heldMessages().clear();
}

}  // namespace complexplot
