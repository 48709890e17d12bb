#include "render_options.h"

#include "presets.h"

namespace complexplot {

namespace {

constexpr int kLargestScale = 8;

std::string validNames() {
    std::string names;
    for (std::int16_t index = 0; index < kPresetCount; ++index) {
        if (!names.empty()) {
            names += ", ";
        }
        names += PresetName(index);
    }
    return names;
}

int parseScale(const std::string& text) {
    const std::string problem = "bad --scale '" + text + "': give a whole number from 1 to " +
                                std::to_string(kLargestScale);
    if (text.empty() || text.size() > 1 || text[0] < '1' || text[0] > '0' + kLargestScale) {
        throw UsageError(problem);
    }
    return text[0] - '0';
}

}  // namespace

std::string renderUsage() {
    return "usage: complex-plot-render [--axes] [--scale N] [-o DIR] [--window FILE] NAME...\n"
           "\n"
           "Writes DIR/NAME-re.png and DIR/NAME-im.png: the real and the imaginary part of\n"
           "f(z) as grey maps, as the window paints them after a click on that button.\n"
           "\n"
           "  NAME           one of: " +
           validNames() +
           "\n"
           "  --axes         draw the real axis (red) and the imaginary axis (blue)\n"
           "  --scale N      render N times larger in both directions, N from 1 to 8\n"
           "                 (default 1: 257 x 249 pixels)\n"
           "  -o DIR         the folder to write into (default: the current folder)\n"
           "  --window FILE  also write a PNG of the whole window after the last click\n"
           "  --help         print this text\n";
}

RenderOptions parseRenderOptions(const std::vector<std::string>& arguments) {
    RenderOptions options;
    auto valueOf = [&](std::size_t& i) -> const std::string& {
        if (i + 1 >= arguments.size()) {
            throw UsageError("option " + arguments[i] + " needs a value");
        }
        return arguments[++i];
    };
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--help" || argument == "-h") {
            options.helpRequested = true;
        } else if (argument == "--axes") {
            options.axes = true;
        } else if (argument == "--scale") {
            options.scaleFactor = parseScale(valueOf(i));
        } else if (argument.starts_with("--scale=")) {
            options.scaleFactor = parseScale(argument.substr(8));
        } else if (argument == "-o") {
            options.outputDirectory = valueOf(i);
        } else if (argument == "--window") {
            options.windowFile = valueOf(i);
        } else if (argument.starts_with("-")) {
            throw UsageError("unknown option '" + argument +
                             "': valid are --axes, --scale N, -o DIR, --window FILE, --help");
        } else {
            const std::int16_t index = PresetIndexByName(argument);
            if (index < 0) {
                throw UsageError("unknown function '" + argument + "': valid are " + validNames());
            }
            options.presets.push_back(index);
        }
    }
    if (!options.helpRequested && options.presets.empty()) {
        throw UsageError("no function named: give one or more of " + validNames());
    }
    if (options.outputDirectory.empty()) {
        throw UsageError("-o needs a folder name");
    }
    return options;
}

}  // namespace complexplot
