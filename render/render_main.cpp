// complex-plot-render: the plot run without a window, written to PNG files.

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include <QApplication>
#include <QCheckBox>

#include "headless_controls.h"
#include "main_window.h"
#include "plot_run.h"
#include "png_file.h"
#include "render_options.h"

using namespace complexplot;

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

int fail(int exitCode, const std::string& message) {
    std::cerr << "complex-plot-render: " << message << '\n';
    return exitCode;
}

// 0 when files can be made in the folder, or the system's error number.
int folderWriteError(const std::string& folder) {
    const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (descriptor < 0) {
        return errno;
    }
    ::close(descriptor);
    return ::access(folder.c_str(), W_OK | X_OK) == 0 ? 0 : errno;
}

// The whole window, drawn offscreen, after a click on each NAME in turn.
void writeWindowPicture(const RenderOptions& options, int argc, char** argv) {
    // No window may appear, whatever display there is; and Qt's own chatter
    // about the environment is not the renderer's output.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type == QtCriticalMsg || type == QtFatalMsg) {
            std::cerr << "complex-plot-render: " << message.toStdString() << '\n';
        }
    });
    QApplication application(argc, argv);
    frmMain window;
    window.Check1()->setChecked(options.axes);
    window.show();
    for (const std::int16_t index : options.presets) {
        window.Command1_Click(index);
    }
    QCoreApplication::processEvents();
    writePngFile(window.grab().toImage(), options.windowFile);
}

}  // namespace

int main(int argc, char** argv) {
    RenderOptions options;
    try {
        options = parseRenderOptions(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const UsageError& error) {
        return fail(kExitUsage, error.what());
    }
    if (options.helpRequested) {
        std::cout << renderUsage();
        return 0;
    }
    // Refuse an unwritable folder before any work, so nothing is half-done.
    if (const int error = folderWriteError(options.outputDirectory); error != 0) {
        return fail(kExitFailure,
                    "cannot write to " + options.outputDirectory + ": " + std::strerror(error));
    }

    try {
        if (!options.windowFile.empty()) {
            writeWindowPicture(options, argc, argv);
        }
        HeadlessControls controls(options.scaleFactor, options.axes ? 1 : 0);
        WindowState state;
        for (const std::int16_t index : options.presets) {
            Command1_Click(index, controls, state);
            const std::string stem = options.outputDirectory + "/" + std::string(PresetName(index));
            writePngFile(controls.picture1().image(), stem + "-re.png");
            writePngFile(controls.picture2().image(), stem + "-im.png");
        }
    } catch (const FileWriteError& error) {
        return fail(kExitFailure, error.what());
    } catch (const RuntimeError& error) {
        return fail(kExitFailure,
                    "runtime error " + std::to_string(error.number()) + ": " + error.what());
    }
    return 0;
}
