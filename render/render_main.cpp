// complex-plot-render: the plot run without a window, written to PNG files.

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
    if (::access(options.outputDirectory.c_str(), W_OK | X_OK) != 0) {
        return fail(kExitFailure, "cannot write to " + options.outputDirectory + ": " +
                                      std::strerror(errno));
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
