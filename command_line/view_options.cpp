#include "view_options.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <vector>

#include "compiled_expression.h"
#include "differentiated_expression.h"
#include "expression_error.h"
#include "parser.h"
#include "quoted_text.h"

namespace complexplot {

namespace {

constexpr int kLargestSide = 16384;
constexpr std::size_t kMostContourLevels = 1000;
constexpr long long kMostPixels = 16777216;

// The message, then the expression (around the place, if it is long) with
// a caret under the column.
std::string withCaret(const std::string& message, const std::string& text, int column) {
    const CaretExcerpt excerpt = caretExcerpt(text, column);
    return message + "\n  " + excerpt.text + "\n  " + excerpt.caret;
}

double realNumber(const std::string& option, const std::string& text, const std::string& part,
                  const std::string& form) {
    try {
        const ParsedExpression parsed = parseExpression(part);
        const ExpressionGraph::Node& node = parsed.graph.node(parsed.root);
        const char* fault = !parsed.graph.isConstant(parsed.root) ? " depends on z"
                            : node.value.imag() != 0              ? " is not a real number"
                            : !std::isfinite(node.value.real())   ? " is not finite"
                                                                  : nullptr;
        if (fault != nullptr) {
            throw UsageError("bad " + option + " " + quoted(text) + ": " + quoted(part) + fault +
                             "; give " + form);
        }
        return node.value.real();
    } catch (const ExpressionError& error) {
        throw UsageError("bad " + option + " " + quoted(text) + ": " + quoted(part) +
                         " is not a number (" + error.what() + "); give " + form);
    }
}

// Comma-separated real numbers, each written as a constant expression
// (2, -1.5, pi/2, -2*pi).
std::vector<double> realList(const std::string& option, const std::string& text, std::size_t count,
                             const std::string& form) {
    std::vector<double> numbers;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = text.find(',', start);
        numbers.push_back(realNumber(
            option, text,
            text.substr(start, comma == std::string::npos ? std::string::npos : comma - start),
            form));
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

void readWindow(const std::string& text, MapGeometry& geometry) {
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

// The pixel centres are computed as the geometry says, X0 + (c + 0.5) ·
// (X1 - X0) / W, in that order; near the ends of the doubles the product
// can overflow although the centre itself would be finite. Each centre
// grows with its column and falls with its row, so the products and
// centres of the last column and row are the largest there are.
void checkCentresAreFinite(const std::string& text, const MapGeometry& geometry) {
    const double columns = geometry.width - 0.5;
    const double rows = geometry.height - 0.5;
    const bool columnProductFinite = std::isfinite(columns * (geometry.x1 - geometry.x0));
    if (!columnProductFinite || !std::isfinite(rows * (geometry.y1 - geometry.y0))) {
        const bool wide = !columnProductFinite;
        const double pixels = wide ? geometry.width : geometry.height;
        char most[32];
        std::snprintf(most, sizeof most, "%.1e", std::numeric_limits<double>::max() / pixels);
        throw UsageError(
            "bad --window " + quoted(text) + ": the pixel centres are sampled as " +
            (wide ? "X0 + (column + 0.5) * (X1 - X0) / W" : "Y1 - (row + 0.5) * (Y1 - Y0) / H") +
            ", whose product overflows double precision at " +
            std::to_string(static_cast<long long>(pixels)) +
            " pixels, though the centres themselves may be finite; give a window at most about " +
            most + " " + (wide ? "wide" : "high") + ", or fewer pixels");
    }
    const bool finite =
        std::isfinite(geometry.sampleX(0)) && std::isfinite(geometry.sampleX(geometry.width - 1)) &&
        std::isfinite(geometry.sampleY(0)) && std::isfinite(geometry.sampleY(geometry.height - 1));
    if (!finite) {
        throw UsageError("bad --window " + quoted(text) +
                         ": its pixel centres overflow double precision; give a window "
                         "within about -1e307 to 1e307");
    }
}

GreyRange readRange(const std::string& option, const std::string& text) {
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

// The height of square pixels in the window, at the given width.
long long squarePixelHeight(const std::string& text, long long width, const MapGeometry& geometry) {
    // In the order written, unless the product alone overflows; the
    // centres' own check then says what is too large.
    const double product = static_cast<double>(width) * (geometry.y1 - geometry.y0);
    const double exact = std::isfinite(product)
                             ? product / (geometry.x1 - geometry.x0)
                             : static_cast<double>(width) *
                                   ((geometry.y1 - geometry.y0) / (geometry.x1 - geometry.x0));
    if (!(exact <= kLargestSide) && width <= kLargestSide) {
        throw UsageError("--size " + quoted(text) +
                         ": the window is too narrow for square pixels, which would make "
                         "the map over " +
                         std::to_string(kLargestSide) + " pixels high; give --size WxH");
    }
    return static_cast<long long>(std::max(1.0, std::round(std::min(exact, 1e9))));
}

// W, or WxH; W alone gives square pixels.
void readSize(const std::string& text, MapGeometry& geometry) {
    const std::size_t cross = text.find('x');
    const long long width = wholeNumber(text.substr(0, cross));
    long long height = cross == std::string::npos ? 0 : wholeNumber(text.substr(cross + 1));
    if (width < 1 || height < 0 || (cross != std::string::npos && height < 1)) {
        throw UsageError("bad --size " + quoted(text) + ": give W or WxH in pixels");
    }
    if (cross == std::string::npos) {
        height = squarePixelHeight(text, width, geometry);
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

void readRanges(const OptionValues& options, FunctionRequest& request) {
    const bool partRange = options.given("--range-re") || options.given("--range-im");
    if (options.given("--range")) {
        const std::string& range = options.value("--range");
        if (lowerCase(range) == "each") {
            request.rangeForEach = true;
        } else if (partRange) {
            throw UsageError("--range " + quoted(range) +
                             " is one range for both maps; with --range-re or --range-im give "
                             "--range each, or leave --range out");
        } else {
            request.range = readRange("--range", range);
        }
    }
    if (partRange) {
        request.rangeForEach = true;
    }
    if (options.given("--range-re")) {
        request.realRange = readRange("--range-re", options.value("--range-re"));
    }
    if (options.given("--range-im")) {
        request.imaginaryRange = readRange("--range-im", options.value("--range-im"));
    }
}

constexpr struct {
    MapKind kind;
    const char* word;
} kShowWords[] = {{MapKind::realImaginary, "re-im"},
                  {MapKind::modulusArgument, "modulus-arg"},
                  {MapKind::phase, "phase"}};

MapKind readShow(const std::string& text) {
    for (const auto& show : kShowWords) {
        if (lowerCase(text) == show.word) {
            return show.kind;
        }
    }
    throw UsageError("bad --show " + quoted(text) + ": give re-im, modulus-arg or phase");
}

void readGreys(const std::string& text, FunctionRequest& request) {
    const std::string form = "linear, symlog or symlog=T with T > 0";
    const std::size_t equals = text.find('=');
    const std::string curve = lowerCase(text.substr(0, equals));
    if (curve == "linear" && equals == std::string::npos) {
        request.greys = GreyCurve::linear;
        return;
    }
    if (curve != "symlog") {
        throw UsageError("bad --greys " + quoted(text) + ": give " + form);
    }
    request.greys = GreyCurve::symlog;
    if (equals != std::string::npos) {
        const double t = realNumber("--greys", text, text.substr(equals + 1), form);
        if (!(t > 0)) {
            throw UsageError("bad --greys " + quoted(text) + ": give " + form);
        }
        request.symlogScale = t;
    }
}

// What the maps show, and the options each kind takes: Re and Im every
// range and grey curve; the modulus one range, its own; the phase none.
void readShown(const OptionValues& options, FunctionRequest& request) {
    if (options.given("--show")) {
        request.show = readShow(options.value("--show"));
    }
    if (request.show == MapKind::realImaginary) {
        if (options.given("--greys")) {
            readGreys(options.value("--greys"), request);
        }
        return;
    }
    const std::string shown = "--show " + std::string(showWord(request.show));
    if (options.given("--greys")) {
        throw UsageError("--greys goes with --show re-im: " + shown + " has greys of its own");
    }
    for (const char* name : {"--range-re", "--range-im"}) {
        if (options.given(name)) {
            throw UsageError(std::string(name) + " goes with --show re-im, not with " + shown);
        }
    }
    if (request.show == MapKind::phase && options.given("--range")) {
        throw UsageError(
            "--range goes with --show re-im or modulus-arg: the phase portrait "
            "shows the argument, whose range is fixed");
    }
    if (request.rangeForEach) {
        throw UsageError("--range each goes with --show re-im: with " + shown +
                         ", --range LO,HI is the range of |f| and the argument's is fixed");
    }
    if (request.range && !(request.range->low > 0)) {
        throw UsageError("bad --range " + quoted(options.value("--range")) + ": with " + shown +
                         " it is the range of |f|; give LO,HI with 0 < LO < HI");
    }
}

// --contours, and the levels --contours=LIST gives: numbers or constant
// expressions, of Re and Im or of |f| (then above 0); none for the phase
// portrait, whose curves are its own.
void readContours(const OptionValues& options, FunctionRequest& request) {
    if (!options.contours) {
        return;
    }
    request.contours = true;
    const std::string& text = *options.contours;
    if (text.empty()) {
        return;
    }
    if (request.show == MapKind::phase) {
        throw UsageError("--contours=" + text +
                         ": the phase portrait's curves are its own (|f| at powers of two, arg "
                         "at multiples of pi/6); give --contours alone");
    }
    const std::string form = "numbers or constant expressions, as in --contours=0,pi/2,1e3";
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = text.find(',', start);
        const double level = realNumber(
            "--contours", text,
            text.substr(start, comma == std::string::npos ? std::string::npos : comma - start),
            form);
        if (request.show == MapKind::modulusArgument && !(level > 0)) {
            throw UsageError("bad --contours " + quoted(text) +
                             ": with --show modulus-arg the levels are of |f|, above 0");
        }
        // A level given twice is drawn once (0 and -0 are one level).
        if (std::find(request.contourLevels.begin(), request.contourLevels.end(), level) ==
            request.contourLevels.end()) {
            request.contourLevels.push_back(level);
        }
        if (request.contourLevels.size() > kMostContourLevels) {
            throw UsageError("bad --contours: at most " + std::to_string(kMostContourLevels) +
                             " levels");
        }
        if (comma == std::string::npos) {
            break;
        }
        start = comma + 1;
    }
}

// --zeros and --zeros=FILE.tsv, for an f that may be meromorphic: one
// that uses an operation without a complex derivative is not.
void readZeros(const OptionValues& options, FunctionRequest& request) {
    if (!options.zeros) {
        return;
    }
    request.zeros = true;
    request.zerosFile = *options.zeros;
    if (const auto operation =
            DifferentiatedExpression(request.expression).nonAnalyticOperation()) {
        const std::string name(*operation);
        throw UsageError("--zeros finds the zeros and poles of a meromorphic f, and " + name +
                         " has no complex derivative: f = " + quoted(request.expression) +
                         " is not meromorphic; leave --zeros out or write f without " + name);
    }
}

}  // namespace

const char* showWord(MapKind kind) {
    for (const auto& show : kShowWords) {
        if (show.kind == kind) {
            return show.word;
        }
    }
    return "re-im";
}

std::vector<MapFileName> mapFileNames(MapKind kind) {
    switch (kind) {
        case MapKind::modulusArgument:
            return {{"-modulus.png", "the modulus's map"}, {"-arg.png", "the argument's map"}};
        case MapKind::phase:
            return {{"-phase.png", "the phase portrait"}};
        default:
            return {{"-re.png", "the real part's map"}, {"-im.png", "the imaginary part's map"}};
    }
}

void readView(const OptionValues& options, FunctionRequest& request) {
    request.expression = options.value("--function");
    try {
        const CompiledExpression check(request.expression);
    } catch (const ExpressionError& error) {
        throw UsageError(withCaret("cannot read --function at column " +
                                       std::to_string(error.column()) + ": " + error.what(),
                                   request.expression, error.column()));
    }
    if (options.given("--window")) {
        readWindow(options.value("--window"), request.geometry);
    }
    readSize(options.given("--size") ? options.value("--size") : "512", request.geometry);
    checkCentresAreFinite(options.given("--window") ? options.value("--window") : "-2,2,-2,2",
                          request.geometry);
    readRanges(options, request);
    readShown(options, request);
    readContours(options, request);
    readZeros(options, request);
}

std::string shortestText(double value) {
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

std::string commandLineOf(const FunctionRequest& request, const MapShading& shading, bool axes) {
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
    if (shading.kind != MapKind::realImaginary) {
        line += " --show " + std::string(showWord(shading.kind));
    }
    if (shading.kind == MapKind::modulusArgument) {
        line += " --range=" + pair(shading.realRange);
    } else if (shading.kind == MapKind::realImaginary) {
        line += shading.rangeForEach ? " --range-re=" + pair(shading.realRange) +
                                           " --range-im=" + pair(shading.imaginaryRange)
                                     : " --range=" + pair(shading.realRange);
        if (shading.curve == GreyCurve::symlog) {
            line += " --greys symlog=" + shortestText(shading.symlogScale);
        }
    }
    if (request.contours) {
        line += " --contours";
        for (std::size_t k = 0; k < request.contourLevels.size(); ++k) {
            line += k == 0 ? '=' : ',';
            line += shortestText(request.contourLevels[k]);
        }
    }
    if (request.zeros) {
        line += " --zeros";
    }
    return axes ? line + " --axes" : line;
}

}  // namespace complexplot
