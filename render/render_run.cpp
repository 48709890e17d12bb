#include "render_run.h"

#include <unistd.h>

#include <iostream>
#include <new>
#include <system_error>
#include <vector>

#include "atomic_file.h"
#include "expression_maps.h"
#include "quoted_text.h"
#include "runtime_error.h"
#include "terminal_progress.h"

namespace complexplot {

int fail(int exitCode, const std::string& message) {
    std::cerr << "complex-plot-render: " << message << '\n';
    return exitCode;
}

ReadCommandLine readCommandLine(int argc, char** argv) {
    ReadCommandLine read;
    try {
        read.options = parseRenderOptions(std::vector<std::string>(argv + 1, argv + argc));
        if (!read.options.helpRequested) {
            checkOutputsDistinct(plannedOutputs(read.options));
        }
    } catch (const UsageError& error) {
        read.failure = fail(kExitUsage, error.what());
    } catch (const OutOfMemoryWhileReading& error) {
        read.failure = fail(kExitFailure, error.what());
    } catch (const std::bad_alloc&) {
        read.failure = fail(kExitFailure, "out of memory while reading the command line");
    }
    return read;
}

int reportingFailures(std::string& making, const std::function<int()>& work) {
    try {
        return work();
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

bool plainMapsOnly(const RenderOptions& options) {
    return options.function && options.pages.empty() && options.figureFile.empty() &&
           options.windowFile.empty() && !options.function->contours && !options.function->zeros;
}

int renderPlainMaps(const RenderOptions& options, std::string& making) {
    // Every target is checked before any work, so that a run that fails
    // for one of them has written none of the others.
    for (const OutputFile& output : plannedOutputs(options)) {
        checkTargetWritable(output.path);
    }
    const FunctionRequest& request = *options.function;
    making = "the maps of " + quoted(request.expression);
    TerminalProgress progress(std::cerr, ::isatty(STDERR_FILENO) != 0);
    const ExpressionMaps maps = makeExpressionMaps(request, options.axes, std::cerr, progress);
    making = "the map files of " + quoted(request.expression);
    writeMapFiles(maps, options.outputDirectory + "/" + request.stem, request.threads > 1,
                  progress);
    writeRequestedValues(request, maps.values, progress);
    return 0;
}

}  // namespace complexplot
