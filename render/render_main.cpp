// complex-plot-render: the plot run without a window, written to PNG files.

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "headless_controls.h"
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
        return fail(kExitFailure, "runtime error " + std::to_string(error.number()) + ": " +
                                      error.what());
    }
    return 0;
}
