#pragma once

// What the renderer's command line asks for: preset maps or the maps of one
// --function, map files, a figure or a handout, and the files they make.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "usage_error.h"
#include "view_options.h"

namespace complexplot {

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
    // A page's line in the list (the first of a continued line), else 0.
    int listLine = 0;
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

// Raises UsageError for anything it cannot take. An expression is read
// here, so that nothing is computed for a command line that fails.
RenderOptions parseRenderOptions(const std::vector<std::string>& arguments);

// Raises UsageError when two outputs name the same file: the same path, or
// paths that lead to one file through folders, "..", or symbolic links.
void checkOutputsDistinct(const std::vector<OutputFile>& outputs);

// The preset names, for messages: "sin, log, cos, tan, arctan".
std::string presetNameList();

}  // namespace complexplot
