// complex-plot-render: the maps of any typed function, written to PNG and
// .npy files; and, through complex-plot-render-qt, which it starts in its
// place, the preset maps, the window picture, figures, handouts, level
// curves and the marks of zeros and poles, all of which Qt draws.
//
// Plain maps are most of what the renderer is asked for, and loading Qt
// (about fifty libraries) took a sixth of such a run: this program links
// none of it.

#include <limits.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>
#include <string>

#include "render_run.h"
#include "render_usage.h"

using namespace complexplot;

namespace {

constexpr const char* kQtProgram = "complex-plot-render-qt";

// The folder this program was started from.
std::string ownFolder() {
    char path[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) {
        return ".";
    }
    const std::string own(path, static_cast<std::size_t>(length));
    return own.substr(0, own.rfind('/'));
}

// Runs the Qt program with the same command line, in this process's place:
// beside this program where it is built, or where it is installed.
int runWithQt(char** argv) {
    const std::string folder = ownFolder();
    const std::string candidates[] = {folder + "/" + kQtProgram,
                                      folder + "/../libexec/complex-plot/" + kQtProgram};
    for (const std::string& candidate : candidates) {
        if (::access(candidate.c_str(), X_OK) == 0) {
            ::execv(candidate.c_str(), argv);
            return fail(kExitFailure,
                        "cannot start " + candidate +
                            ", which draws figures and pictures: " + std::strerror(errno));
        }
    }
    return fail(kExitFailure, std::string("cannot find ") + kQtProgram +
                                  ", which draws figures and pictures, in " + folder + " or " +
                                  folder +
                                  "/../libexec/complex-plot: the installation is incomplete");
}

}  // namespace

int main(int argc, char** argv) {
    ReadCommandLine read = readCommandLine(argc, argv);
    if (read.failure != 0) {
        return read.failure;
    }
    if (read.options.helpRequested) {
        std::cout << renderUsage();
        return 0;
    }
    if (!plainMapsOnly(read.options)) {
        return runWithQt(argv);
    }
    std::string making = "the maps";
    return reportingFailures(making, [&] { return renderPlainMaps(read.options, making); });
}
