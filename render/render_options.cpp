#include "render_options.h"

#include <algorithm>
#include <cctype>

#include "presets.h"
#include "quoted_text.h"

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

std::string lowerCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

int parseScale(const std::string& text) {
    if (text.size() != 1 || text[0] < '1' || text[0] > '0' + kLargestScale) {
        throw UsageError("bad --scale " + quoted(text) + ": give a whole number from 1 to " +
                         std::to_string(kLargestScale));
    }
    return text[0] - '0';
}

// The window picture is exact pixels; a lossy or other format by another
// suffix would not be what the name promises.
std::string windowFileName(const std::string& text) {
    if (text.size() < 5 || lowerCase(text.substr(text.size() - 4)) != ".png") {
        throw UsageError("bad --window " + quoted(text) + ": the file name must end in .png");
    }
    return text;
}

std::int16_t presetIndex(const std::string& name) {
    // The buttons read "Sin" and "ArcTan": any case names the same function.
    const std::int16_t index = PresetIndexByName(lowerCase(name));
    if (index < 0) {
        throw UsageError("unknown function " + quoted(name) + ": valid are " + validNames());
    }
    return index;
}

}  // namespace

std::string renderUsage() {
    return "usage: complex-plot-render [--axes] [--scale N] [-o DIR] [--window FILE.png] NAME...\n"
           "\n"
           "Writes DIR/NAME-re.png and DIR/NAME-im.png: the real and the imaginary part of\n"
           "f(z) as grey maps, as the window paints them after a click on that button.\n"
           "\n"
           "  NAME               one of: " +
           validNames() +
           " (any case)\n"
           "  --axes             draw the real axis (red) and the imaginary axis (blue)\n"
           "  --scale N          render N times larger in both directions, N from 1 to 8\n"
           "                     (default 1: 257 x 249 pixels)\n"
           "  -o DIR             the folder to write into (default: the current folder)\n"
           "  --window FILE.png  also write a PNG of the whole window after the last click,\n"
           "                     N times larger at --scale N\n"
           "  --help             print this text\n"
           "  --                 what follows is names only\n";
}

RenderOptions parseRenderOptions(const std::vector<std::string>& arguments) {
    RenderOptions options;
    auto valueOf = [&](std::size_t& i) -> const std::string& {
        if (i + 1 >= arguments.size() || arguments[i + 1].empty()) {
            throw UsageError("option " + arguments[i] + " needs a value");
        }
        return arguments[++i];
    };
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (optionsEnded || !argument.starts_with("-")) {
            options.presets.push_back(presetIndex(argument));
        } else if (argument == "--") {
            optionsEnded = true;
        } else if (argument == "--help" || argument == "-h") {
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
            options.windowFile = windowFileName(valueOf(i));
        } else {
            throw UsageError("unknown option " + quoted(argument) +
                             ": valid are --axes, --scale N, -o DIR, --window FILE.png, --help");
        }
    }
    if (!options.helpRequested && options.presets.empty()) {
        throw UsageError("no function named: give one or more of " + validNames());
    }
    return options;
}

}  // namespace complexplot
