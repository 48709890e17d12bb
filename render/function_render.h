#pragma once

#include <QImage>
#include <chrono>
#include <iosfwd>
#include <string>

#include "render_options.h"

namespace complexplot {

// The maps of an expression, ready to be written or shown in a figure.
struct FunctionMaps {
    LargeVector<ComplexValue> values;
    // The ranges of the real and the imaginary map: the same one, unless
    // each map has its own.
    GreyRange realRange;
    GreyRange imaginaryRange;
    bool rangeForEach = false;
    QImage real;
    QImage imaginary;
    std::size_t pointsWithoutValue = 0;
};

// A bar on one line of a terminal, drawn over itself, for the stages of a
// run (computing, encoding, writing); it appears only once the run has
// taken half a second, and is wiped before any other message and at the
// end.
class TerminalProgress {
public:
    TerminalProgress(std::ostream& out, bool enabled);
    ~TerminalProgress();
    TerminalProgress(const TerminalProgress&) = delete;
    TerminalProgress& operator=(const TerminalProgress&) = delete;

    void show(const std::string& stage, long long done, long long total);
    // Wipes the bar, so that a message can take the line.
    void clear();

private:
    std::ostream& out_;
    bool enabled_ = false;
    bool shown_ = false;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

// Computes the values and their maps: 8-bit grey images when they hold
// only greys, else 8-bit RGB with the marker colour and the axes. Prints the
// grey range used and the number of points without a value to `messages`,
// and shows the computing on `progress`.
FunctionMaps makeFunctionMaps(const FunctionRequest& request, bool axes, std::ostream& messages,
                              TerminalProgress& progress);

// The maps of values already computed, as makeFunctionMaps makes them.
FunctionMaps mapsOfValues(LargeVector<ComplexValue> values, const FunctionRequest& request,
                          bool axes, std::ostream& messages);

// STEM-re.png and STEM-im.png, each written whole or not at all.
void writeMapFiles(const QImage& real, const QImage& imaginary, const std::string& stem,
                   bool twoThreads, TerminalProgress& progress);

// The values as a NumPy .npy file, written whole or not at all.
void writeValuesFile(const LargeVector<ComplexValue>& values, const MapGeometry& geometry,
                     const std::string& path);

}  // namespace complexplot
