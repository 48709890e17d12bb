#include "render_options.h"

#include <algorithm>
#include <thread>

#include "atomic_file.h"
#include "handout_list.h"
#include "presets.h"
#include "quoted_text.h"

namespace complexplot {

namespace {

constexpr int kLargestScale = 8;
constexpr int kMostThreads = 256;
constexpr int kNarrowestFigure = 600;

int readScale(const std::string& text) {
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
           (nearest.empty() ? "" : "did you mean " + nearest + "? ") + "valid are " +
           presetNameList();
}

int readThreads(const std::string& text) {
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

PageSize readPage(const std::string& text) {
    if (lowerCase(text) == "a4") return PageSize::a4;
    if (lowerCase(text) == "letter") return PageSize::letter;
    throw UsageError("bad --page " + quoted(text) + ": give a4 or letter");
}

// A title as typed: UTF-8 without control characters.
std::string readTitle(const std::string& text) {
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
    // U+2028 and U+2029 break the line as a newline does; U+202A..U+202E
    // and U+2066..U+2069 reorder the text after them.
    for (std::size_t k = 0; k + 2 < text.size(); ++k) {
        const auto second = static_cast<unsigned char>(text[k + 1]);
        const auto third = static_cast<unsigned char>(text[k + 2]);
        if (static_cast<unsigned char>(text[k]) != 0xe2) {
            continue;
        }
        if (second == 0x80 && (third == 0xa8 || third == 0xa9)) {
            throw UsageError("bad --title " + quoted(text) +
                             ": it holds a line or paragraph separator; give one line of text");
        }
        if ((second == 0x80 && third >= 0xaa && third <= 0xae) ||
            (second == 0x81 && third >= 0xa6 && third <= 0xa9)) {
            throw UsageError("bad --title " + quoted(text) +
                             ": it holds a bidirectional control, which would reorder the text "
                             "around it");
        }
    }
    return text;
}

// The figure and its width, for either kind of function.
void readFigure(const OptionValues& given, RenderOptions& options) {
    if (given.given("--figure")) {
        options.figureFile = given.value("--figure");
        if (!endsWith(options.figureFile, ".png") && !endsWith(options.figureFile, ".svg") &&
            !endsWith(options.figureFile, ".pdf")) {
            throw UsageError("bad --figure " + quoted(options.figureFile) +
                             ": the file name must end in .png, .svg or .pdf");
        }
    }
    if (given.given("--figure-width")) {
        if (!endsWith(options.figureFile, ".png")) {
            throw UsageError("--figure-width goes with a .png figure");
        }
        const std::string& text = given.value("--figure-width");
        const long long width = wholeNumber(text);
        if (width < kNarrowestFigure || width > kWidestPngFigure) {
            throw UsageError(
                "bad --figure-width " + quoted(text) + ": give a whole number of pixels from " +
                std::to_string(kNarrowestFigure) + " to " + std::to_string(kWidestPngFigure));
        }
        options.figureWidth = static_cast<int>(width);
        options.figureWidthGiven = true;
    }
}

// What is written where: -o, the figure, its title and its paper.
void readOutputs(const OptionValues& given, RenderOptions& options) {
    if (given.given("-o")) {
        options.outputDirectory = given.value("-o");
        options.outputDirectoryGiven = true;
    }
    readFigure(given, options);
    if (given.given("--title")) {
        options.title = readTitle(given.value("--title"));
    }
    if (given.given("--page")) {
        if (!endsWith(options.figureFile, ".pdf")) {
            throw UsageError("--page goes with a .pdf figure");
        }
        options.page = readPage(given.value("--page"));
    }
}

// The loose words: preset names, or words that have no place.
void readPresetNames(const OptionValues& given, RenderOptions& options) {
    const bool functionMode = given.given("--function");
    for (const LooseWord& loose : given.looseWords) {
        const std::int16_t index = PresetIndexByName(lowerCase(loose.word));
        if (index >= 0 && given.given("--from")) {
            throw UsageError("the name " + quoted(loose.word) +
                             " goes on a line of the list: with --from the figures come from the "
                             "list");
        }
        if (index >= 0 && !functionMode) {
            options.presets.push_back(index);
        } else if (index >= 0) {
            throw UsageError("--function cannot be combined with preset names");
        } else if (!loose.after.empty() && (functionMode || given.given("--from"))) {
            throw UsageError(looseWordMessage(loose));
        } else if (functionMode || given.given("--from")) {
            throw UsageError("unexpected word " + quoted(loose.word) +
                             (functionMode ? ": --function draws one expression, and takes no "
                                             "preset names"
                                           : ": --from takes the figures from its list"));
        } else {
            // With preset names a word after an option's value is a name.
            throw UsageError(unknownPresetMessage(loose.word));
        }
    }
}

void checkWhatToDraw(const OptionValues& given, const RenderOptions& options) {
    if (!given.given("--function") && options.presets.empty()) {
        throw UsageError("nothing to draw: give one or more of " + presetNameList() +
                         ", or --function EXPR");
    }
    if (!options.figureFile.empty() && options.presets.size() > 1) {
        throw UsageError("a figure shows one function: give one NAME with --figure");
    }
    if (given.given("--title") && options.figureFile.empty()) {
        throw UsageError("--title goes with --figure");
    }
}

bool asksForWindowPicture(const OptionValues& given) {
    return given.given("--window") && endsWith(given.value("--window"), ".png");
}

// With preset names: --scale and the window picture.
void readPresetOptions(const OptionValues& given, RenderOptions& options) {
    if (given.contours) {
        throw UsageError("--contours goes with --function, not with preset names");
    }
    if (given.zeros) {
        throw UsageError("--zeros goes with --function, not with preset names");
    }
    for (const char* name : {"--size", "--range", "--range-re", "--range-im", "--name", "--data",
                             "--threads", "--show", "--greys"}) {
        if (given.given(name)) {
            throw UsageError(std::string(name) + " goes with --function, not with preset names");
        }
    }
    if (given.given("--window") && !asksForWindowPicture(given)) {
        throw UsageError("bad --window " + quoted(given.value("--window")) +
                         ": with preset names it is the window picture, a file ending in "
                         ".png; a preset's window of the plane is fixed");
    }
    if (given.given("--scale")) {
        options.scaleFactor = readScale(given.value("--scale"));
    }
    if (asksForWindowPicture(given)) {
        options.windowFile = given.value("--window");
    }
}

// With --function: the view, the files' stem, the values file and threads.
FunctionRequest readFunctionOptions(const OptionValues& given) {
    if (given.given("--scale")) {
        throw UsageError("--scale goes with preset names; with --function give --size");
    }
    if (asksForWindowPicture(given)) {
        throw UsageError("--window " + quoted(given.value("--window")) +
                         ": the window picture shows the preset buttons and goes with preset "
                         "names; with --function --window is X0,X1,Y0,Y1");
    }
    FunctionRequest request;
    readView(given, request);
    if (given.given("--name")) {
        request.stem = given.value("--name");
        checkStem(request.stem);
    }
    if (given.given("--data")) {
        request.dataFile = given.value("--data");
        if (!endsWith(request.dataFile, ".npy")) {
            throw UsageError("bad --data " + quoted(request.dataFile) +
                             ": the file name must end in .npy");
        }
    }
    request.threads =
        given.given("--threads") ? readThreads(given.value("--threads")) : everyCore();
    return request;
}

}  // namespace

std::string presetNameList() {
    std::string names;
    for (std::int16_t index = 0; index < kPresetCount; ++index) {
        if (!names.empty()) {
            names += ", ";
        }
        names += PresetName(index);
    }
    return names;
}

RenderOptions parseRenderOptions(const std::vector<std::string>& arguments) {
    const OptionValues given = scanOptions(arguments);
    RenderOptions options;
    options.helpRequested = given.help;
    options.axes = given.axes;
    if (options.helpRequested) {
        return options;
    }
    readPresetNames(given, options);
    readOutputs(given, options);
    if (given.given("--from")) {
        readHandout(given, options);
        return options;
    }
    checkWhatToDraw(given, options);
    if (given.given("--function")) {
        options.function = readFunctionOptions(given);
    } else {
        readPresetOptions(given, options);
    }
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
    const MapKind kind = options.function ? options.function->show : MapKind::realImaginary;
    for (const std::string& stem : mapFiles ? stems : std::vector<std::string>{}) {
        for (const MapFileName& file : mapFileNames(kind)) {
            outputs.push_back({options.outputDirectory + "/" + stem + file.suffix, file.what});
        }
    }
    if (options.function && !options.function->dataFile.empty()) {
        outputs.push_back({options.function->dataFile, "--data"});
    }
    if (options.function && !options.function->zerosFile.empty()) {
        outputs.push_back({options.function->zerosFile, "--zeros"});
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

}  // namespace complexplot
