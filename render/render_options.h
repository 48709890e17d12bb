#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "grey_scale.h"
#include "map_geometry.h"

namespace complexplot {

// The maps of a typed expression, as --function asks for them.
struct FunctionRequest {
    std::string expression;
    MapGeometry geometry;
    // The grey ranges: one for both maps (given, or worked out from both
    // parts), or one for each map (given, or worked out from its part).
    bool rangeForEach = false;
    std::optional<GreyRange> range;
    std::optional<GreyRange> realRange;
    std::optional<GreyRange> imaginaryRange;
    std::string stem = "f";
    // Empty: no raw values written.
    std::string dataFile;
    int threads = 1;
};

// The widest PNG figure, in pixels.
constexpr int kWidestPngFigure = 8000;

// The paper a PDF figure is printed on.
enum class PageSize { a4, letter };

// What the command line asked the renderer for: the maps of preset NAMEs,
// or of one --function.
struct RenderOptions {
    bool axes = false;
    int scaleFactor = 1;
    std::string outputDirectory = ".";
    // With a figure, the map files are written only where -o asks for them.
    bool outputDirectoryGiven = false;
    std::string windowFile;  // empty: no window picture
    std::string figureFile;  // empty: no figure
    // The width of a PNG figure, in pixels: as given, or from 1600 as wide
    // as its maps need.
    int figureWidth = 1600;
    bool figureWidthGiven = false;
    std::optional<std::string> title;  // the figure's, instead of its own
    PageSize page = PageSize::a4;
    // With --from: the options of each figure of the handout, in order.
    std::vector<RenderOptions> pages;
    std::string listFile;
    std::vector<std::int16_t> presets;
    std::optional<FunctionRequest> function;
    bool helpRequested = false;
};

// A file the renderer is asked to write, and what it holds, for messages.
struct OutputFile {
    std::string path;
    std::string what;
};

// Every file the options ask for, each once, in the order they are written.
// The map files are left out where a figure alone was asked for.
std::vector<OutputFile> plannedOutputs(const RenderOptions& options);

// Bad command-line input. The message is ready for stderr: one line, or for
// an expression that cannot be read, the expression with a caret under the
// place.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Raises UsageError for anything it cannot take. An expression is read
// here, so that nothing is computed for a command line that fails.
RenderOptions parseRenderOptions(const std::vector<std::string>& arguments);

std::string renderUsage();

// The command line that draws exactly these maps: the renderer's name,
// --function quoted for a POSIX shell, the window, the size and the ranges
// in the shortest form that reads back as the same doubles, and --axes.
std::string commandLineOf(const FunctionRequest& request, const GreyRange& realRange,
                          const GreyRange& imaginaryRange, bool rangeForEach, bool axes);

// The words of a line as a POSIX shell splits them: blanks part them;
// 'single quotes' keep everything; "double quotes" keep everything but a
// backslash before " \ $ or `; a backslash outside quotes keeps the next
// character. Raises UsageError for a quote left open.
std::vector<std::string> shellWords(const std::string& line);

// The shortest text that reads back as the same double.
std::string shortestText(double value);

// Raises UsageError when two outputs name the same file: the same path, or
// paths that lead to one file through folders, "..", or symbolic links.
void checkOutputsDistinct(const std::vector<OutputFile>& outputs);

}  // namespace complexplot
