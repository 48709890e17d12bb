#include "render_options.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <fstream>
#include <map>
#include <thread>

#include "atomic_file.h"
#include "compiled_expression.h"
#include "expression_error.h"
#include "parser.h"
#include "presets.h"
#include "quoted_text.h"

namespace complexplot {

namespace {

constexpr int kLargestScale = 8;
constexpr int kLargestSide = 16384;
constexpr long long kMostPixels = 16777216;
constexpr int kMostThreads = 256;

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

bool endsWith(const std::string& text, const char* suffix) {
    const std::string end(suffix);
    return text.size() > end.size() && lowerCase(text.substr(text.size() - end.size())) == end;
}

int parseScale(const std::string& text) {
    if (text.size() != 1 || text[0] < '1' || text[0] > '0' + kLargestScale) {
        throw UsageError("bad --scale " + quoted(text) + ": give a whole number from 1 to " +
                         std::to_string(kLargestScale));
    }
    return text[0] - '0';
}

std::string unknownPresetMessage(const std::string& name) {
    std::vector<std::string> names;
    for (std::int16_t index = 0; index < kPresetCount; ++index) {
        names.emplace_back(PresetName(index));
    }
    const std::string nearest = nearestName(lowerCase(name), names);
    return "unknown function " + quoted(name) + ": " +
           (nearest.empty() ? "" : "did you mean " + nearest + "? ") + "valid are " + validNames();
}

// A whole number of at most nine digits, or -1.
long long wholeNumber(const std::string& text) {
    long long value = -1;
    if (text.empty() || text.size() > 9 ||
        !std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); })) {
        return -1;
    }
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

// The message, then the expression (around the place, if it is long) with
// a caret under the column.
std::string withCaret(const std::string& message, const std::string& text, int column) {
    const CaretExcerpt excerpt = caretExcerpt(text, column);
    return message + "\n  " + excerpt.text + "\n  " + excerpt.caret;
}

// Comma-separated real numbers, each written as a constant expression
// (2, -1.5, pi/2, -2*pi).
std::vector<double> realList(const std::string& option, const std::string& text, std::size_t count,
                             const std::string& form) {
    std::vector<double> numbers;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = text.find(',', start);
        const std::string part =
            text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        try {
            const ParsedExpression parsed = parseExpression(part);
            const ExpressionGraph::Node& node = parsed.graph.node(parsed.root);
            if (!parsed.graph.isConstant(parsed.root) || !node.real ||
                !std::isfinite(node.value.real())) {
                throw UsageError("bad " + option + " " + quoted(text) + ": " + quoted(part) +
                                 " is not a finite real number; give " + form);
            }
            numbers.push_back(node.value.real());
        } catch (const ExpressionError& error) {
            throw UsageError("bad " + option + " " + quoted(text) + ": " + quoted(part) +
                             " is not a number (" + error.what() + "); give " + form);
        }
        if (comma == std::string::npos) {
            break;
        }
        start = comma + 1;
    }
    if (numbers.size() != count) {
        throw UsageError("bad " + option + " " + quoted(text) + ": " +
                         (count == 4 ? "four" : "two") + " numbers are needed, not " +
                         std::to_string(numbers.size()) + "; give " + form);
    }
    return numbers;
}

void parseWindow(const std::string& text, MapGeometry& geometry) {
    const std::string form = "X0,X1,Y0,Y1 with X0 < X1 and Y0 < Y1";
    const std::vector<double> bounds = realList("--window", text, 4, form);
    geometry.x0 = bounds[0];
    geometry.x1 = bounds[1];
    geometry.y0 = bounds[2];
    geometry.y1 = bounds[3];
    if (!(geometry.x0 < geometry.x1) || !(geometry.y0 < geometry.y1)) {
        throw UsageError("bad --window " + quoted(text) + ": give " + form);
    }
    if (!std::isfinite(geometry.x1 - geometry.x0) || !std::isfinite(geometry.y1 - geometry.y0)) {
        throw UsageError("bad --window " + quoted(text) + ": it is wider than double precision");
    }
}

// The pixel centres are computed as the geometry says, in that order; near
// the ends of the doubles a product in that formula can overflow although
// the centre itself would be finite. Each centre grows with its column and
// falls with its row, so the products and centres of the last column and
// row are the largest there are.
void checkCentresAreFinite(const std::string& text, const MapGeometry& geometry) {
    const bool finite =
        std::isfinite((geometry.width - 0.5) * (geometry.x1 - geometry.x0)) &&
        std::isfinite((geometry.height - 0.5) * (geometry.y1 - geometry.y0)) &&
        std::isfinite(geometry.sampleX(0)) && std::isfinite(geometry.sampleX(geometry.width - 1)) &&
        std::isfinite(geometry.sampleY(0)) && std::isfinite(geometry.sampleY(geometry.height - 1));
    if (!finite) {
        throw UsageError("bad --window " + quoted(text) +
                         ": its pixel centres overflow double precision; give a window "
                         "within about -1e307 to 1e307");
    }
}

GreyRange parseRange(const std::string& option, const std::string& text) {
    const std::string form = "LO,HI with LO < HI";
    const std::vector<double> ends = realList(option, text, 2, form);
    if (!(ends[0] < ends[1])) {
        throw UsageError("bad " + option + " " + quoted(text) + ": give " + form);
    }
    if (!std::isfinite(ends[1] - ends[0])) {
        throw UsageError("bad " + option + " " + quoted(text) +
                         ": the range is wider than a double can hold; give ends closer "
                         "together");
    }
    return GreyRange{ends[0], ends[1]};
}

// W, or WxH; W alone gives square pixels.
void parseSize(const std::string& text, MapGeometry& geometry) {
    const std::size_t cross = text.find('x');
    const long long width = wholeNumber(text.substr(0, cross));
    long long height = cross == std::string::npos ? 0 : wholeNumber(text.substr(cross + 1));
    if (width < 1 || height < 0 || (cross != std::string::npos && height < 1)) {
        throw UsageError("bad --size " + quoted(text) + ": give W or WxH in pixels");
    }
    if (cross == std::string::npos) {
        const double exact =
            static_cast<double>(width) * (geometry.y1 - geometry.y0) / (geometry.x1 - geometry.x0);
        if (!(exact <= kLargestSide) && width <= kLargestSide) {
            throw UsageError("--size " + quoted(text) +
                             ": the window is too narrow for square pixels, which would make "
                             "the map over " +
                             std::to_string(kLargestSide) + " pixels high; give --size WxH");
        }
        height = static_cast<long long>(std::max(1.0, std::round(std::min(exact, 1e9))));
    }
    if (width > kLargestSide || height > kLargestSide) {
        throw UsageError("--size " + quoted(text) + " gives a map of " + std::to_string(width) +
                         " x " + std::to_string(height) + " pixels: the limit is " +
                         std::to_string(kLargestSide) + " a side");
    }
    if (width * height > kMostPixels) {
        throw UsageError("--size " + quoted(text) + " gives a map of " +
                         std::to_string(width * height) + " pixels: the limit is " +
                         std::to_string(kMostPixels) + " pixels a map");
    }
    geometry.width = static_cast<int>(width);
    geometry.height = static_cast<int>(height);
}

int parseThreads(const std::string& text) {
    const long long threads = wholeNumber(text);
    if (threads < 1 || threads > kMostThreads) {
        throw UsageError("bad --threads " + quoted(text) + ": give a whole number from 1 to " +
                         std::to_string(kMostThreads));
    }
    return static_cast<int>(threads);
}

void checkStem(const std::string& stem) {
    if (stem.find('/') != std::string::npos || stem == "." || stem == "..") {
        throw UsageError("bad --name " + quoted(stem) +
                         ": give a plain name, without a folder (that is -o)");
    }
}

int everyCore() {
    return static_cast<int>(
        std::clamp(std::thread::hardware_concurrency(), 1u, static_cast<unsigned>(kMostThreads)));
}

const char* const kValueOptions[] = {"--scale",   "-o",         "--window",       "--function",
                                     "--size",    "--range",    "--name",         "--data",
                                     "--threads", "--figure",   "--figure-width", "--title",
                                     "--page",    "--range-re", "--range-im",     "--from"};

bool isOption(const std::string& argument) {
    if (argument == "--" || argument == "--axes" || argument == "--help" || argument == "-h") {
        return true;
    }
    const std::string name = argument.substr(0, argument.find('='));
    return std::find(std::begin(kValueOptions), std::end(kValueOptions), name) !=
           std::end(kValueOptions);
}

std::string valueKind(const std::string& option) {
    if (option == "-o") return "a folder";
    if (option == "--function") return "an expression";
    if (option == "--window") return "a window";
    if (option == "--figure" || option == "--data" || option == "--name") return "a file name";
    return "a value";
}

constexpr int kNarrowestFigure = 600;

// The figure and its width, for either kind of function.
void parseFigure(std::map<std::string, std::string>& values, RenderOptions& options) {
    if (values.contains("--figure")) {
        options.figureFile = values["--figure"];
        if (!endsWith(options.figureFile, ".png") && !endsWith(options.figureFile, ".svg") &&
            !endsWith(options.figureFile, ".pdf")) {
            throw UsageError("bad --figure " + quoted(options.figureFile) +
                             ": the file name must end in .png, .svg or .pdf");
        }
    }
    if (values.contains("--figure-width")) {
        if (!endsWith(options.figureFile, ".png")) {
            throw UsageError("--figure-width goes with a .png figure");
        }
        const long long width = wholeNumber(values["--figure-width"]);
        if (width < kNarrowestFigure || width > kWidestPngFigure) {
            throw UsageError("bad --figure-width " + quoted(values["--figure-width"]) +
                             ": give a whole number of pixels from " +
                             std::to_string(kNarrowestFigure) + " to " +
                             std::to_string(kWidestPngFigure));
        }
        options.figureWidth = static_cast<int>(width);
        options.figureWidthGiven = true;
    }
}

// The options that belong to the handout as a whole, not to a line.
bool isHandoutOption(const std::string& word) {
    const std::string name = word.substr(0, word.find('='));
    return name == "--figure" || name == "--figure-width" || name == "--page" || name == "--from" ||
           name == "-o" || name == "--data";
}

// --from LIST: each line of the list holds the options of one figure.
void parseHandout(std::map<std::string, std::string>& values, RenderOptions& options) {
    options.listFile = values["--from"];
    if (options.figureFile.empty()) {
        throw UsageError("--from makes a handout: give it --figure FILE.pdf");
    }
    for (const char* name :
         {"--function", "--window", "--size", "--range", "--range-re", "--range-im", "--name",
          "--data", "--threads", "--scale", "-o", "--title"}) {
        if (values.contains(name)) {
            throw UsageError(std::string(name) +
                             " goes on a line of the list, not on the command line with --from");
        }
    }
    std::ifstream list(options.listFile);
    if (!list) {
        throw UsageError("cannot read the list " + quoted(options.listFile) + ": " +
                         std::strerror(errno));
    }
    const std::string where = escaped(options.listFile);
    std::string line;
    for (int number = 1; std::getline(list, line); ++number) {
        const std::size_t first = line.find_first_not_of(" \t\r");
        if (first == std::string::npos || line[first] == '#') {
            continue;
        }
        try {
            std::vector<std::string> words = shellWords(line);
            for (const std::string& word : words) {
                if (isHandoutOption(word)) {
                    throw UsageError(quoted(word) +
                                     " goes on the command line: a line holds the options of "
                                     "one figure");
                }
            }
            words.insert(words.end(), {"--figure", options.figureFile});
            RenderOptions page = parseRenderOptions(words);
            if (!page.windowFile.empty()) {
                throw UsageError("the window picture goes on the command line of its own");
            }
            options.pages.push_back(std::move(page));
        } catch (const UsageError& error) {
            throw UsageError(where + ":" + std::to_string(number) + ": " + error.what());
        }
    }
    if (list.bad()) {
        throw UsageError("cannot read the list " + quoted(options.listFile));
    }
    if (options.pages.empty()) {
        throw UsageError(where + ": the list holds no figure");
    }
    if (options.pages.size() > 1 && !endsWith(options.figureFile, ".pdf")) {
        throw UsageError("a list of " + std::to_string(options.pages.size()) +
                         " figures needs a .pdf figure, a page for each; a .png or .svg "
                         "holds one");
    }
}

}  // namespace

std::string renderUsage() {
    return "usage: complex-plot-render [--axes] [--scale N] [-o DIR] [--window FILE.png]\n"
           "                           [--figure FILE] NAME...\n"
           "       complex-plot-render --function EXPR [--window X0,X1,Y0,Y1] [--size W[xH]]\n"
           "                           [--range LO,HI] [--name STEM] [--data FILE.npy]\n"
           "                           [--threads N] [--axes] [-o DIR] [--figure FILE]\n"
           "\n"
           "Writes the real and the imaginary part of f(z) as two grey maps: DIR/NAME-re.png\n"
           "and DIR/NAME-im.png for a preset, as the window paints them after a click on that\n"
           "button, or DIR/STEM-re.png and DIR/STEM-im.png for an expression.\n"
           "\n"
           "  NAME               one of: " +
           validNames() +
           " (any case)\n"
           "  --axes             draw the real axis (red) and the imaginary axis (blue)\n"
           "  -o DIR             the folder to write into (default: the current folder)\n"
           "  --figure FILE      also write a figure for handouts: both maps with ticks,\n"
           "                     numbers and a grey legend, as FILE.png, FILE.svg or\n"
           "                     FILE.pdf (one A4 landscape page); with --figure, the map\n"
           "                     files are written only when -o is given\n"
           "  --figure-width PX  the width of a PNG figure, 600 to 8000 (default 1600)\n"
           "  --help             print this text\n"
           "  --                 what follows is names only\n"
           "\n"
           "With preset names:\n"
           "  --scale N          render N times larger in both directions, N from 1 to 8\n"
           "                     (default 1: 257 x 249 pixels)\n"
           "  --window FILE.png  also write a PNG of the whole window after the last click,\n"
           "                     N times larger at --scale N\n"
           "\n"
           "With --function EXPR, an expression of z such as 'exp(1/z)' or '(z^2+1)/(z^2-1)':\n"
           "  --window X0,X1,Y0,Y1  the rectangle of the plane (default -2,2,-2,2); write\n"
           "                     --window=-2,2,-2,2 when it starts with a minus; the bounds\n"
           "                     may be written as pi/2, -2*pi and the like\n"
           "  --size W[xH]       pixels per map (default 512; W alone keeps pixels square);\n"
           "                     at most 16384 a side and 16777216 a map\n"
           "  --range LO,HI      the values of black and white (default -M,M with M the 98th\n"
           "                     percentile of |Re f| and |Im f|); the range used is printed\n"
           "  --name STEM        the files' stem (default f)\n"
           "  --data FILE.npy    also write the values as a NumPy array: complex128, shape\n"
           "                     (H, W), row 0 at the top\n"
           "  --threads N        threads to compute with, 1 to 256 (default: every core)\n"
           "\n"
           "A point where f has no finite value (a pole, an overflow, 0/0) is painted in\n"
           "the marker colour, green #00a000, on both maps; stderr tells how many there are.\n"
           "\n"
           "The language: numbers (2, .5, 1e-3, 2i), z, i, pi, e, + - * / ^ (^ binds\n"
           "tighter than a leading minus and groups to the right), parentheses, and\n"
           "sin cos tan cot sinh cosh tanh asin acos atan asinh acosh atanh exp log sqrt\n"
           "abs arg conj re im, with the principal branches of C99.\n";
}

namespace {

// A word on the command line that is neither an option nor its value, and
// what stood before it.
struct LooseWord {
    std::string word;
    std::string after;  // the option and its value before it, or empty
};

// How an option is written when its value is one word.
std::string oneWordForm(const std::string& option) {
    if (option == "--window") return "--window=X0,X1,Y0,Y1, as in --window=-1,1,-1,1";
    if (option == "--size") return "--size WxH, as in --size 512x512";
    if (option.starts_with("--range")) return option + "=LO,HI, as in " + option + "=-1,1";
    return option + " VALUE, quoting a value that holds spaces";
}

std::string looseWordMessage(const LooseWord& loose) {
    const std::string option = loose.after.substr(0, loose.after.find_first_of(" ="));
    return "unexpected word " + quoted(loose.word) + " after " + quoted(loose.after) +
           ": an option's value is one word; write " + oneWordForm(option);
}

PageSize parsePage(const std::string& text) {
    if (lowerCase(text) == "a4") return PageSize::a4;
    if (lowerCase(text) == "letter") return PageSize::letter;
    throw UsageError("bad --page " + quoted(text) + ": give a4 or letter");
}

// A title as typed: UTF-8 without control characters.
std::string parseTitle(const std::string& text) {
    for (std::size_t k = 0; k < text.size(); ++k) {
        const auto byte = static_cast<unsigned char>(text[k]);
        const auto next = k + 1 < text.size() ? static_cast<unsigned char>(text[k + 1]) : 0;
        if (byte < 0x20 || byte == 0x7f || (byte == 0xc2 && next >= 0x80 && next < 0xa0)) {
            throw UsageError("bad --title " + quoted(text) +
                             ": it holds a control character; give one line of text");
        }
    }
    if (!isUtf8(text)) {
        throw UsageError("bad --title " + quoted(text) + ": it is not UTF-8 text");
    }
    return text;
}

void parseRanges(std::map<std::string, std::string>& values, FunctionRequest& request) {
    const bool partRange = values.contains("--range-re") || values.contains("--range-im");
    if (values.contains("--range")) {
        if (lowerCase(values["--range"]) == "each") {
            request.rangeForEach = true;
        } else if (partRange) {
            throw UsageError("--range " + quoted(values["--range"]) +
                             " is one range for both maps; with --range-re or --range-im give "
                             "--range each, or leave --range out");
        } else {
            request.range = parseRange("--range", values["--range"]);
        }
    }
    if (partRange) {
        request.rangeForEach = true;
    }
    if (values.contains("--range-re")) {
        request.realRange = parseRange("--range-re", values["--range-re"]);
    }
    if (values.contains("--range-im")) {
        request.imaginaryRange = parseRange("--range-im", values["--range-im"]);
    }
}

}  // namespace

RenderOptions parseRenderOptions(const std::vector<std::string>& arguments) {
    RenderOptions options;
    // The last value of each option, as typed.
    std::map<std::string, std::string> values;
    std::vector<LooseWord> words;
    std::string lastOption;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        // A negative number is a stray word too, not an option.
        const bool number =
            argument.size() > 1 && argument[0] == '-' &&
            (std::isdigit(static_cast<unsigned char>(argument[1])) != 0 || argument[1] == '.');
        if (optionsEnded || !argument.starts_with("-") || number) {
            words.push_back(LooseWord{argument, optionsEnded ? "" : lastOption});
            lastOption.clear();
            continue;
        }
        lastOption.clear();
        if (argument == "--") {
            optionsEnded = true;
            continue;
        }
        if (argument == "--help" || argument == "-h") {
            options.helpRequested = true;
            continue;
        }
        if (argument == "--axes") {
            options.axes = true;
            continue;
        }
        // --option VALUE, or --option=VALUE (which lets a value start with a minus).
        const std::size_t equals = argument.find('=');
        const std::string name = argument.substr(0, equals);
        if (std::find(std::begin(kValueOptions), std::end(kValueOptions), name) ==
            std::end(kValueOptions)) {
            throw UsageError("unknown option " + quoted(argument) + ": see --help");
        }
        std::string value;
        if (equals != std::string::npos) {
            value = argument.substr(equals + 1);
            lastOption = argument;
        } else if (i + 1 < arguments.size()) {
            value = arguments[++i];
            // An option where a value was expected is a forgotten value,
            // not a value that happens to start with two dashes.
            if (isOption(value)) {
                throw UsageError("option " + name + " needs " + valueKind(name) +
                                 ", not the option " + quoted(value) + "; write " + name +
                                 "=VALUE for a value that looks like an option");
            }
            lastOption = name + " " + value;
        }
        if (value.empty()) {
            throw UsageError("option " + name + " needs a value");
        }
        values[name] = value;
    }
    if (options.helpRequested) {
        return options;
    }
    auto given = [&](const char* name) { return values.contains(name); };

    const bool functionMode = given("--function");
    for (const LooseWord& loose : words) {
        const std::int16_t index = PresetIndexByName(lowerCase(loose.word));
        if (index >= 0 && !functionMode) {
            options.presets.push_back(index);
        } else if (index >= 0) {
            throw UsageError("--function cannot be combined with preset names");
        } else if (!loose.after.empty()) {
            throw UsageError(looseWordMessage(loose));
        } else if (functionMode || given("--from")) {
            throw UsageError("unexpected word " + quoted(loose.word) +
                             (functionMode ? ": --function draws one expression, and takes no "
                                             "preset names"
                                           : ": --from takes the figures from its list"));
        } else {
            throw UsageError(unknownPresetMessage(loose.word));
        }
    }
    if (given("-o")) {
        options.outputDirectory = values["-o"];
        options.outputDirectoryGiven = true;
    }
    parseFigure(values, options);
    if (given("--title")) {
        options.title = parseTitle(values["--title"]);
    }
    if (given("--page")) {
        if (!endsWith(options.figureFile, ".pdf")) {
            throw UsageError("--page goes with a .pdf figure");
        }
        options.page = parsePage(values["--page"]);
    }
    if (given("--from")) {
        parseHandout(values, options);
        return options;
    }
    if (!functionMode && options.presets.empty()) {
        throw UsageError("nothing to draw: give one or more of " + validNames() +
                         ", or --function EXPR");
    }
    if (!options.figureFile.empty() && options.presets.size() > 1) {
        throw UsageError("a figure shows one function: give one NAME with --figure");
    }
    if (given("--title") && options.figureFile.empty()) {
        throw UsageError("--title goes with --figure");
    }
    const bool windowPicture = given("--window") && endsWith(values["--window"], ".png");
    if (!functionMode) {
        for (const char* name :
             {"--size", "--range", "--range-re", "--range-im", "--name", "--data", "--threads"}) {
            if (given(name)) {
                throw UsageError(std::string(name) +
                                 " goes with --function, not with preset names");
            }
        }
        if (given("--window") && !windowPicture) {
            throw UsageError("bad --window " + quoted(values["--window"]) +
                             ": with preset names it is the window picture, a file ending in "
                             ".png; a preset's window of the plane is fixed");
        }
        if (given("--scale")) {
            options.scaleFactor = parseScale(values["--scale"]);
        }
        if (windowPicture) {
            options.windowFile = values["--window"];
        }
        return options;
    }

    if (given("--scale")) {
        throw UsageError("--scale goes with preset names; with --function give --size");
    }
    if (windowPicture) {
        throw UsageError("--window " + quoted(values["--window"]) +
                         ": the window picture shows the preset buttons and goes with preset "
                         "names; with --function --window is X0,X1,Y0,Y1");
    }
    FunctionRequest request;
    request.expression = values["--function"];
    try {
        const CompiledExpression check(request.expression);
    } catch (const ExpressionError& error) {
        throw UsageError(withCaret("cannot read --function at column " +
                                       std::to_string(error.column()) + ": " + error.what(),
                                   request.expression, error.column()));
    }
    if (given("--window")) {
        parseWindow(values["--window"], request.geometry);
    }
    if (given("--size")) {
        parseSize(values["--size"], request.geometry);
    } else {
        parseSize("512", request.geometry);
    }
    checkCentresAreFinite(given("--window") ? values["--window"] : "-2,2,-2,2", request.geometry);
    parseRanges(values, request);
    if (given("--name")) {
        request.stem = values["--name"];
        checkStem(request.stem);
    }
    if (given("--data")) {
        request.dataFile = values["--data"];
        if (!endsWith(request.dataFile, ".npy")) {
            throw UsageError("bad --data " + quoted(request.dataFile) +
                             ": the file name must end in .npy");
        }
    }
    request.threads = given("--threads") ? parseThreads(values["--threads"]) : everyCore();
    options.function = request;
    return options;
}

std::vector<OutputFile> plannedOutputs(const RenderOptions& options) {
    std::vector<OutputFile> outputs;
    if (!options.windowFile.empty()) {
        outputs.push_back({options.windowFile, "the window picture"});
    }
    const bool mapFiles = options.figureFile.empty() || options.outputDirectoryGiven;
    std::vector<std::string> stems;
    if (options.function) {
        stems.push_back(options.function->stem);
    }
    for (const std::int16_t index : options.presets) {
        // A name given twice is drawn twice, into the same two files.
        if (std::find(stems.begin(), stems.end(), PresetName(index)) == stems.end()) {
            stems.emplace_back(PresetName(index));
        }
    }
    for (const std::string& stem : mapFiles ? stems : std::vector<std::string>{}) {
        const std::string path = options.outputDirectory + "/" + stem;
        outputs.push_back({path + "-re.png", "the real part's map"});
        outputs.push_back({path + "-im.png", "the imaginary part's map"});
    }
    if (options.function && !options.function->dataFile.empty()) {
        outputs.push_back({options.function->dataFile, "--data"});
    }
    if (!options.figureFile.empty()) {
        outputs.push_back({options.figureFile, "--figure"});
    }
    return outputs;
}

void checkOutputsDistinct(const std::vector<OutputFile>& outputs) {
    std::vector<std::string> identities;
    for (const OutputFile& output : outputs) {
        const std::string identity = fileIdentity(output.path);
        for (std::size_t earlier = 0; earlier < identities.size(); ++earlier) {
            if (identities[earlier] == identity) {
                throw UsageError(outputs[earlier].what + " " + quoted(outputs[earlier].path) +
                                 " and " + output.what + " " + quoted(output.path) +
                                 " are the same file: give each output its own name");
            }
        }
        identities.push_back(identity);
    }
}

std::string shortestText(double value) {
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

std::string commandLineOf(const FunctionRequest& request, const GreyRange& realRange,
                          const GreyRange& imaginaryRange, bool rangeForEach, bool axes) {
    std::string quotedExpression = "'";
    for (const char c : request.expression) {
        quotedExpression += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    quotedExpression += "'";
    const MapGeometry& view = request.geometry;
    auto pair = [](const GreyRange& range) {
        return shortestText(range.low) + "," + shortestText(range.high);
    };
    std::string line = "complex-plot-render --function " + quotedExpression +
                       " --window=" + shortestText(view.x0) + "," + shortestText(view.x1) + "," +
                       shortestText(view.y0) + "," + shortestText(view.y1) + " --size " +
                       std::to_string(view.width) + "x" + std::to_string(view.height);
    line += rangeForEach ? " --range-re=" + pair(realRange) + " --range-im=" + pair(imaginaryRange)
                         : " --range=" + pair(realRange);
    return axes ? line + " --axes" : line;
}

// The words of a line as a POSIX shell splits them: blanks part them;
// 'single quotes' keep everything; "double quotes" keep everything but a
// backslash before " \ $ or `; a backslash outside quotes keeps the next
// character.
std::vector<std::string> shellWords(const std::string& line) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    for (std::size_t k = 0; k < line.size(); ++k) {
        const char c = line[k];
        if (c == ' ' || c == '\t' || c == '\r') {
            if (inWord) {
                words.push_back(word);
                word.clear();
                inWord = false;
            }
            continue;
        }
        inWord = true;
        if (c == '\'') {
            const std::size_t end = line.find('\'', k + 1);
            if (end == std::string::npos) {
                throw UsageError("a single quote is not closed");
            }
            word += line.substr(k + 1, end - k - 1);
            k = end;
        } else if (c == '"') {
            for (++k;; ++k) {
                if (k >= line.size()) {
                    throw UsageError("a double quote is not closed");
                }
                if (line[k] == '"') {
                    break;
                }
                if (line[k] == '\\' && k + 1 < line.size() &&
                    std::string_view("\"\\$`").find(line[k + 1]) != std::string_view::npos) {
                    ++k;
                }
                word += line[k];
            }
        } else if (c == '\\' && k + 1 < line.size()) {
            word += line[++k];
        } else {
            word += c;
        }
    }
    if (inWord) {
        words.push_back(word);
    }
    return words;
}

}  // namespace complexplot
