// complex-plot-render: the plot run without a window, written to PNG files;
// and the same maps of any typed function, with figures for handouts.

#include <unistd.h>

#include <QApplication>
#include <QCheckBox>
#include <iostream>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "atomic_file.h"
#include "figure_output.h"
#include "function_render.h"
#include "headless_controls.h"
#include "main_window.h"
#include "plot_run.h"
#include "png_file.h"
#include "quoted_text.h"
#include "render_options.h"

using namespace complexplot;

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

// Qt's image code shares large images out to helper threads and, when it
// cannot start them (as when memory runs short), waits for them forever.
// So before Qt draws a large picture, two threads must start, or this is
// reported as what it is.
void requireHelperThreads() {
    std::thread first;
    try {
        first = std::thread([] {});
        std::thread([] {}).join();
    } catch (const std::system_error&) {
        if (first.joinable()) {
            first.join();
        }
        throw std::bad_alloc();
    }
    first.join();
}

int fail(int exitCode, const std::string& message) {
    std::cerr << "complex-plot-render: " << message << '\n';
    return exitCode;
}

// The folder a file goes into.
std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

// The whole window, drawn offscreen, after a click on each NAME in turn; at
// scale N it is drawn N times larger, as on a screen of N device pixels to
// the pixel, so that the text is as sharp as the maps.
void writeWindowPicture(const RenderOptions& options) {
    const int scale = options.scaleFactor;
    frmMain window;
    window.Picture1()->setSurface(std::make_unique<RasterSurface>(scale));
    window.Picture2()->setSurface(std::make_unique<RasterSurface>(scale));
    window.Check1()->setChecked(options.axes);
    window.show();
    for (const std::int16_t index : options.presets) {
        window.Command1_Click(index);
    }
    QCoreApplication::processEvents();

    QImage picture(window.size() * scale, QImage::Format_RGB32);
    if (picture.isNull()) {
        throw std::bad_alloc();
    }
    picture.setDevicePixelRatio(scale);
    picture.fill(window.palette().window().color());
    requireHelperThreads();
    window.render(&picture);
    writePngFile(picture, options.windowFile);
}

int renderPresets(const RenderOptions& options, std::string& making) {
    if (!options.windowFile.empty()) {
        making = "the window picture " + quoted(options.windowFile);
        writeWindowPicture(options);
    }
    const bool mapFiles = options.figureFile.empty() || options.outputDirectoryGiven;
    making = "the maps at scale " + std::to_string(options.scaleFactor);
    HeadlessControls controls(options.scaleFactor, options.axes ? 1 : 0);
    WindowState state;
    for (const std::int16_t index : options.presets) {
        making = "the maps of " + std::string(PresetName(index));
        Command1_Click(index, controls, state);
        std::optional<QByteArray> figure;
        if (!options.figureFile.empty()) {
            making = "the figure " + quoted(options.figureFile);
            requireHelperThreads();
            figure = figureFileBytes(
                presetFigureContent(index, controls.picture1(), controls.picture2()),
                options.figureFile, options.figureWidth);
        }
        if (mapFiles) {
            const std::string stem = options.outputDirectory + "/" + std::string(PresetName(index));
            making = quoted(stem + "-re.png");
            writePngFile(controls.picture1().image(), stem + "-re.png");
            making = quoted(stem + "-im.png");
            writePngFile(controls.picture2().image(), stem + "-im.png");
        }
        if (figure) {
            writeBytesFile(options.figureFile, *figure);
        }
    }
    return 0;
}

int renderExpression(const RenderOptions& options, std::string& making) {
    const FunctionRequest& request = *options.function;
    making = "the maps of " + quoted(request.expression);
    const FunctionMaps maps =
        makeFunctionMaps(request, options.axes, std::cerr, ::isatty(STDERR_FILENO) != 0);
    std::optional<QByteArray> figure;
    if (!options.figureFile.empty()) {
        making = "the figure " + quoted(options.figureFile);
        requireHelperThreads();
        figure = figureFileBytes(functionFigureContent(request, maps), options.figureFile,
                                 options.figureWidth);
    }
    if (options.figureFile.empty() || options.outputDirectoryGiven) {
        making = "the map files of " + quoted(request.expression);
        writeMapFiles(maps.real, maps.imaginary, options.outputDirectory + "/" + request.stem,
                      request.threads > 1);
    }
    if (!request.dataFile.empty()) {
        writeValuesFile(maps.values, request.geometry, request.dataFile);
    }
    if (figure) {
        writeBytesFile(options.figureFile, *figure);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    // Qt's own chatter (about the environment, or an image it could not
    // allocate, which is reported here in its own words) is not the
    // renderer's output.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type == QtCriticalMsg || type == QtFatalMsg) {
            std::cerr << "complex-plot-render: " << message.toStdString() << '\n';
        }
    });
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

    // Text and the window need an application; no window may appear,
    // whatever display there is, and the command line is the renderer's
    // own: Qt sees none of it.
    std::unique_ptr<QApplication> application;
    int argumentCount = 1;
    char programName[] = "complex-plot-render";
    char* arguments[] = {programName, nullptr};
    if (!options.windowFile.empty() || !options.figureFile.empty()) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        application = std::make_unique<QApplication>(argumentCount, arguments);
    }

    // What is being made, for the message when memory runs out.
    std::string making;
    try {
        // Refuse an unwritable folder before any work, so nothing is half-done.
        if (options.figureFile.empty() || options.outputDirectoryGiven) {
            checkFolderWritable(options.outputDirectory);
        }
        if (!options.figureFile.empty()) {
            checkFolderWritable(folderOf(options.figureFile));
        }
        return options.function ? renderExpression(options, making)
                                : renderPresets(options, making);
    } catch (const FigureTooNarrow& error) {
        return fail(kExitUsage, error.what());
    } catch (const FileWriteError& error) {
        return fail(kExitFailure, error.what());
    } catch (const RuntimeError& error) {
        return fail(kExitFailure,
                    "runtime error " + std::to_string(error.number()) + ": " + error.what());
    } catch (const std::bad_alloc&) {
        return fail(kExitFailure, "out of memory while making " + making);
    } catch (const std::system_error& error) {
        // A thread that could not be started: out of memory or of processes.
        return fail(kExitFailure,
                    "cannot start a thread while making " + making + ": " + error.code().message());
    }
}
