#pragma once

// The zeros and poles of a meromorphic f inside a map's window, found from
// the map's own values by the argument principle, each confirmed on a
// circle about it, located by Newton's method on exact derivatives and, for
// a pole, given its residue.

#include <cstddef>
#include <span>
#include <string>
#include <vector>

#include "compiled_expression.h"
#include "differentiated_expression.h"
#include "map_geometry.h"

namespace complexplot {

enum class PointKind { zero, pole };

struct ZeroOrPole {
    PointKind kind = PointKind::zero;
    int order = 1;
    ComplexValue z;
    // A pole's residue, by the trapezoid rule on a circle about it, and the
    // estimated size of its error.
    ComplexValue residue;
    double residueError = 0.0;
};

// A place where no zero or pole is reported although the winding of f
// around it is not zero, with why.
struct UnsettledPlace {
    enum class Reason {
        // The winding changes with the number of points on the circle, or
        // Newton's method leaves it: an essential singularity, points that
        // accumulate, several within a pixel.
        windingUnsettled,
        // The values jump along the circle: a branch cut.
        valuesJump,
        // A region of points that are 0 or have no finite value (an
        // underflow or an overflow), too large to draw a circle about.
        withoutValues,
        // Cells that wind, spread too wide to draw a circle about: a branch
        // cut along a row or a column of pixel centres, or points that
        // accumulate.
        tooWide,
    };
    Reason reason = Reason::windingUnsettled;
    ComplexValue centre;
    double radius = 0.0;
};

struct ZerosAndPoles {
    // Nearest the window's centre first, at most kMostPoints of them.
    std::vector<ZeroOrPole> points;
    // How many were found, kept or not.
    std::size_t found = 0;
    std::vector<UnsettledPlace> unsettled;

    static constexpr std::size_t kMostPoints = 1000;
};

// The zeros and poles of `function` inside `geometry`'s window, from its
// values there (as computeValues made them). `derivative` is the same
// expression, which must have no nonAnalyticOperation(). The same whatever
// the number of threads.
ZerosAndPoles findZerosAndPoles(const CompiledExpression& function,
                                const DifferentiatedExpression& derivative,
                                const MapGeometry& geometry, std::span<const ComplexValue> values,
                                int threads = 1);

// A point's line of a table, as the TSV file holds it: kind, order, Re z,
// Im z, and for a pole the residue's parts, tab-separated, each number in
// the shortest form that reads back as the same double.
std::string tableLine(const ZeroOrPole& point);

// The TSV file's header line: "kind order re im residue_re residue_im",
// tab-separated.
std::string tableHeader();

}  // namespace complexplot
