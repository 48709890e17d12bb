#pragma once

// What both of the renderer's programs do alike: the exit statuses, the
// one line that reports a failure, and the maps of a typed expression with
// nothing drawn over them, which need no Qt.

#include <functional>
#include <string>

#include "render_options.h"

namespace complexplot {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

// Prints "complex-plot-render: MESSAGE" on stderr and returns the status.
int fail(int exitCode, const std::string& message);

// The options read from the command line, or the status of a failure
// already reported.
struct ReadCommandLine {
    RenderOptions options;
    int failure = 0;
};
ReadCommandLine readCommandLine(int argc, char** argv);

// Runs the work and returns its status, reporting the failures every run
// can meet (a file that cannot be written, a runtime error, memory or a
// thread that runs out) as one line, with `making` naming what was being
// made when it happened.
int reportingFailures(std::string& making, const std::function<int()>& work);

// Whether the run asks only for maps of a typed expression with nothing
// drawn over them (no figure, window picture, handout, level curves or
// marks), which the renderer makes without Qt.
bool plainMapsOnly(const RenderOptions& options);

// The plain maps' files and values, every target checked first.
int renderPlainMaps(const RenderOptions& options, std::string& making);

}  // namespace complexplot
