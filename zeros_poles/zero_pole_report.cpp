#include "zero_pole_report.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <sstream>

namespace complexplot {

namespace {

std::string shortest(double value) {
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    return std::string(text, end);
}

std::string padded(const std::string& text, std::size_t width) {
    return text.size() >= width ? text + " " : text + std::string(width - text.size(), ' ');
}

std::string whyNone(const UnsettledPlace& place) {
    switch (place.reason) {
        case UnsettledPlace::Reason::windingUnsettled:
            return "the winding of f does not settle (an essential singularity, points that "
                   "accumulate, or several within a pixel)";
        case UnsettledPlace::Reason::valuesJump:
            return "f jumps along every circle about it (a branch cut)";
        case UnsettledPlace::Reason::tooWide:
            return "the cells where f winds spread too wide to circle (a branch cut along a row or "
                   "a column of pixel centres, or points that accumulate)";
        case UnsettledPlace::Reason::withoutValues:
            return "f is 0 or has no finite value at points of a region too wide to circle (an "
                   "underflow, an overflow, or a cut or pole through a pixel's centre), where "
                   "none is looked for";
    }
    return {};
}

constexpr std::size_t kMostPlacesTold = 10;

}  // namespace

std::string complexText(ComplexValue z) {
    const double imaginary = z.imag();
    const std::string sign = std::signbit(imaginary) ? "-" : "+";
    return shortest(z.real()) + sign + shortest(std::abs(imaginary)) + "i";
}

std::string pointInWords(const ZeroOrPole& point) {
    std::string words = std::string(point.kind == PointKind::zero ? "zero" : "pole") +
                        " of order " + std::to_string(point.order) + " at " + complexText(point.z);
    if (point.kind == PointKind::pole) {
        words += ", residue " + complexText(point.residue);
    }
    return words;
}

std::string zerosAndPolesTable(const ZerosAndPoles& found) {
    std::string table = tableHeader() + "\n";
    for (const ZeroOrPole& point : found.points) {
        table += tableLine(point) + "\n";
    }
    return table;
}

std::string zerosAndPolesReport(const ZerosAndPoles& found, const std::string& prefix) {
    std::ostringstream report;
    const std::size_t count = found.points.size();
    if (count == 0) {
        report << prefix << "no zeros or poles found in the window\n";
    } else {
        report << prefix << count << (count == 1 ? " zero or pole" : " zeros and poles")
               << " in the window, nearest its centre first:\n";
        report << prefix << "  kind  order  " << padded("re", 24) << padded("im", 24)
               << padded("residue_re", 24) << padded("residue_im", 24) << "residue_error\n";
        for (const ZeroOrPole& point : found.points) {
            std::string row = "  " + padded(point.kind == PointKind::zero ? "zero" : "pole", 6) +
                              padded(std::to_string(point.order), 7) +
                              padded(shortest(point.z.real()), 24) +
                              padded(shortest(point.z.imag()), 24);
            if (point.kind == PointKind::pole) {
                char error[32];
                std::snprintf(error, sizeof error, "%.1e", point.residueError);
                row += padded(shortest(point.residue.real()), 24) +
                       padded(shortest(point.residue.imag()), 24) + error;
            }
            row.erase(row.find_last_not_of(' ') + 1);
            report << prefix << row << "\n";
        }
    }
    if (found.found > count) {
        report << prefix << found.found << " zeros and poles found: the " << count
               << " nearest the window's centre are listed and marked\n";
    }
    const std::size_t told = std::min(found.unsettled.size(), kMostPlacesTold);
    for (std::size_t k = 0; k < told; ++k) {
        const UnsettledPlace& place = found.unsettled[k];
        // Where, to a few digits: the place is only known to a pixel.
        char where[96];
        std::snprintf(where, sizeof where, "%.3g%+.3gi (within %.2g)", place.centre.real(),
                      place.centre.imag(), place.radius);
        report << prefix << "no zero or pole counted near " << where << ": " << whyNone(place)
               << "\n";
    }
    if (found.unsettled.size() > told) {
        report << prefix << "and " << found.unsettled.size() - told << " more such places\n";
    }
    return report.str();
}

}  // namespace complexplot
