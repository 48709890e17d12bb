#include "zeros_and_poles.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <numeric>

#include "circle_winding.h"
#include "row_workers.h"
#include "winding_cells.h"

namespace complexplot {

namespace {

// Candidate cells that touch, side or corner, make one group: one zero or
// pole, or one place where none can be told.
struct CellGroup {
    int top = 0;
    int bottom = 0;
    int left = 0;
    int right = 0;
    int cells = 0;
    int withoutValue = 0;
    int windingSum = 0;
};

int findRoot(std::vector<int>& parent, int k) {
    while (parent[k] != k) {
        parent[k] = parent[parent[k]];
        k = parent[k];
    }
    return k;
}

std::vector<CellGroup> groupsOf(const std::vector<CandidateCell>& cells, int width) {
    // The cells come row by row, so a neighbour is found by binary search
    // on its place in the map.
    const auto placeOf = [&](int row, int column) {
        return static_cast<long long>(row) * width + column;
    };
    std::vector<long long> places(cells.size());
    for (std::size_t k = 0; k < cells.size(); ++k) {
        places[k] = placeOf(cells[k].row, cells[k].column);
    }
    std::vector<int> parent(cells.size());
    std::iota(parent.begin(), parent.end(), 0);
    for (std::size_t k = 0; k < cells.size(); ++k) {
        const CandidateCell& cell = cells[k];
        for (const auto& [dr, dc] : {std::pair{0, -1}, {-1, -1}, {-1, 0}, {-1, 1}}) {
            const long long place = placeOf(cell.row + dr, cell.column + dc);
            if (cell.column + dc < 0 || cell.column + dc >= width) {
                continue;
            }
            const auto found = std::lower_bound(places.begin(), places.end(), place);
            if (found != places.end() && *found == place) {
                parent[findRoot(parent, static_cast<int>(k))] =
                    findRoot(parent, static_cast<int>(found - places.begin()));
            }
        }
    }
    std::vector<int> groupOfRoot(cells.size(), -1);
    std::vector<CellGroup> groups;
    for (std::size_t k = 0; k < cells.size(); ++k) {
        int& index = groupOfRoot[findRoot(parent, static_cast<int>(k))];
        const CandidateCell& cell = cells[k];
        if (index < 0) {
            index = static_cast<int>(groups.size());
            groups.push_back({cell.row, cell.row, cell.column, cell.column, 0, 0});
        }
        CellGroup& group = groups[index];
        group.top = std::min(group.top, cell.row);
        group.bottom = std::max(group.bottom, cell.row);
        group.left = std::min(group.left, cell.column);
        group.right = std::max(group.right, cell.column);
        ++group.cells;
        group.withoutValue += cell.withoutValue ? 1 : 0;
        group.windingSum += cell.winding;
    }
    return groups;
}

// What became of one group.
struct GroupOutcome {
    bool found = false;
    ZeroOrPole point;
    bool unsettled = false;
    UnsettledPlace place;
    double radius = 0.0;  // the circle the winding was confirmed on
};

// Newton's method from `start` for a point of winding n (n > 0 a zero of
// order n, n < 0 a pole of order -n): z - n f / f', which is Newton's
// method with multiplicity on f for a zero and on 1 / f for a pole (where
// 1 / f over its derivative is -f / f'). It stops at an exact zero, on a
// pole (where f has no value), or once a step no longer shrinks: the
// roundings of f are then all that moves it.
ComplexValue newton(const DifferentiatedExpression& function, ComplexValue start, int n) {
    ComplexValue z = start;
    double lastStep = INFINITY;
    for (int iteration = 0; iteration < 100; ++iteration) {
        const auto [value, derivative] = function(z);
        if (value == 0.0 || !std::isfinite(value.real()) || !std::isfinite(value.imag())) {
            break;
        }
        const ComplexValue step = double(n) * value / derivative;
        const double size = std::abs(step);
        if (!std::isfinite(size) || size == 0.0 || (iteration > 2 && size >= lastStep)) {
            break;
        }
        z -= step;
        lastStep = size;
    }
    return z;
}

// Newton's last step may stop a unit or so from the double nearest the
// point; of z and its eight neighbouring doubles the one with the smallest
// |f| (for a pole the largest, or none at all) is taken, until z itself is.
ComplexValue polished(const DifferentiatedExpression& function, ComplexValue z, bool pole) {
    const auto badness = [&](ComplexValue w) {
        const double size = std::abs(function(w).value);
        if (pole) {
            return std::isfinite(size) ? 1.0 / size : 0.0;
        }
        return std::isnan(size) ? INFINITY : size;
    };
    double best = badness(z);
    for (int move = 0; move < 8 && best > 0.0; ++move) {
        ComplexValue next = z;
        for (const double x :
             {std::nextafter(z.real(), -INFINITY), z.real(), std::nextafter(z.real(), INFINITY)}) {
            for (const double y : {std::nextafter(z.imag(), -INFINITY), z.imag(),
                                   std::nextafter(z.imag(), INFINITY)}) {
                const double value = badness({x, y});
                if (value < best) {
                    best = value;
                    next = {x, y};
                }
            }
        }
        if (next == z) {
            break;
        }
        z = next;
    }
    return z;
}

GroupOutcome unsettledAt(UnsettledPlace::Reason reason, ComplexValue centre, double radius) {
    GroupOutcome outcome;
    outcome.unsettled = true;
    outcome.place = {reason, centre, radius};
    return outcome;
}

// Groups wider than this many cells are not points but regions: a circle
// about one would take in too much to say anything of it.
constexpr int kWidestGroup = 64;

// The circle about a group: it takes in every cell of the group with a
// quarter of a pixel to spare. The cells lie between pixel centres: cell
// (r, c) spans the centres of columns c and c + 1, at c + 0.5 and c + 1.5
// in map pixels.
void circleAbout(const CellGroup& group, const MapGeometry& geometry, ComplexValue& centre,
                 double& radius) {
    const double column = 0.5 * (group.left + group.right) + 1.0;
    const double row = 0.5 * (group.top + group.bottom) + 1.0;
    centre = ComplexValue(geometry.xAt(column), geometry.yAt(row));
    const double pixelWidth = (geometry.x1 - geometry.x0) / geometry.width;
    const double pixelHeight = (geometry.y1 - geometry.y0) / geometry.height;
    radius = 0.5 * std::hypot((group.right - group.left + 1) * pixelWidth,
                              (group.bottom - group.top + 1) * pixelHeight) +
             0.25 * std::max(pixelWidth, pixelHeight);
}

// Confirms a group on a circle about it, locates its point and confirms it
// again on a circle of half the radius about the point found. The residue
// comes later, once every point is known.
GroupOutcome examineGroup(const CompiledExpression& function,
                          const DifferentiatedExpression& derivative, const MapGeometry& geometry,
                          const CellGroup& group) {
    ComplexValue centre;
    double radius = 0.0;
    circleAbout(group, geometry, centre, radius);
    const int across = std::max(group.right - group.left, group.bottom - group.top) + 1;
    if (across > kWidestGroup || (group.withoutValue > 0 && across > 8)) {
        return unsettledAt(group.withoutValue > 0 ? UnsettledPlace::Reason::withoutValues
                                                  : UnsettledPlace::Reason::tooWide,
                           centre, radius);
    }
    CircleWinding first = windingOnCircle(function, centre, radius);
    if (first.outcome == CircleWinding::Outcome::settled && first.winding == 0 &&
        group.windingSum != 0) {
        // Cells whose corners seemed to wind about a point just outside
        // them, where the argument turns by half a turn or more along an
        // edge (a double zero, or two, in the middle of the next cell): a
        // circle twice as wide takes that point in.
        radius *= 2;
        first = windingOnCircle(function, centre, radius);
    }
    if (first.outcome == CircleWinding::Outcome::valuesJump && first.winding != 0) {
        return unsettledAt(UnsettledPlace::Reason::valuesJump, centre, radius);
    }
    if (first.outcome == CircleWinding::Outcome::unsettled) {
        return unsettledAt(UnsettledPlace::Reason::windingUnsettled, centre, radius);
    }
    if (first.winding == 0) {
        // A removable singularity, a jump that turned nothing, or values
        // that only seemed to wind: nothing here.
        return {};
    }
    const int n = first.winding;
    ComplexValue z = newton(derivative, centre, n);
    if (n == 1 || n == -1) {
        z = polished(derivative, z, n < 0);
    }
    const CircleWinding second = std::abs(z - centre) < radius
                                     ? windingOnCircle(function, z, 0.5 * radius)
                                     : CircleWinding{};
    if (second.outcome != CircleWinding::Outcome::settled || second.winding != n) {
        return unsettledAt(UnsettledPlace::Reason::windingUnsettled, centre, radius);
    }
    GroupOutcome outcome;
    outcome.found = true;
    outcome.point.kind = n > 0 ? PointKind::zero : PointKind::pole;
    outcome.point.order = std::abs(n);
    outcome.point.z = z;
    outcome.radius = radius;
    return outcome;
}

bool insideWindow(const MapGeometry& geometry, ComplexValue z) {
    return z.real() >= geometry.x0 && z.real() <= geometry.x1 && z.imag() >= geometry.y0 &&
           z.imag() <= geometry.y1;
}

// Each pole's residue, on a circle as wide as it may be: at most half the
// way to the nearest other pole or unsettled place and at most sixteen
// pixels, and no narrower than the circle that confirmed it. Where the sums
// do not agree (a branch cut may cross the circle, which no cell shows),
// circles of half the radius are tried, down to half the confirming one,
// and the best estimate kept.
void addResidues(const CompiledExpression& function, const MapGeometry& geometry,
                 const std::vector<GroupOutcome>& outcomes, int threads,
                 std::vector<ZeroOrPole>& points, const std::vector<double>& radii) {
    const double pixel = std::max((geometry.x1 - geometry.x0) / geometry.width,
                                  (geometry.y1 - geometry.y0) / geometry.height);
    forEachRow(static_cast<int>(points.size()), threads, [&](int k, int) {
        ZeroOrPole& point = points[k];
        if (point.kind != PointKind::pole) {
            return;
        }
        double nearest = INFINITY;
        for (const ZeroOrPole& other : points) {
            if (&other != &point && other.kind == PointKind::pole) {
                nearest = std::min(nearest, std::abs(other.z - point.z));
            }
        }
        for (const GroupOutcome& outcome : outcomes) {
            if (outcome.unsettled) {
                nearest = std::min(nearest,
                                   std::abs(outcome.place.centre - point.z) - outcome.place.radius);
            }
        }
        double radius = std::max(std::min(0.5 * nearest, 16 * pixel), radii[k]);
        double error = INFINITY;
        for (; radius >= 0.5 * radii[k]; radius *= 0.5) {
            double attemptError = 0.0;
            const ComplexValue residue = residueOnCircle(function, point.z, radius, attemptError);
            if (attemptError < error) {
                error = attemptError;
                point.residue = residue;
            }
            if (error <= 1e-12 * std::abs(point.residue)) {
                break;
            }
        }
        point.residueError = error;
    });
}

std::string shortest(double value) {
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    return std::string(text, end);
}

}  // namespace

ZerosAndPoles findZerosAndPoles(const CompiledExpression& function,
                                const DifferentiatedExpression& derivative,
                                const MapGeometry& geometry, std::span<const ComplexValue> values,
                                int threads) {
    const std::vector<CellGroup> groups =
        groupsOf(candidateCells(function, geometry, values, threads), geometry.width);
    std::vector<GroupOutcome> outcomes(groups.size());
    forEachRow(static_cast<int>(groups.size()), threads, [&](int k, int) {
        outcomes[k] = examineGroup(function, derivative, geometry, groups[k]);
    });

    ZerosAndPoles result;
    std::vector<double> radii;
    for (const GroupOutcome& outcome : outcomes) {
        if (outcome.unsettled) {
            result.unsettled.push_back(outcome.place);
        }
        // Two groups may close in on one point, found by each within the
        // other's confirming circle: it is counted once.
        bool again = false;
        for (std::size_t k = 0; k < result.points.size(); ++k) {
            const ZeroOrPole& point = result.points[k];
            again =
                again ||
                (point.kind == outcome.point.kind && point.order == outcome.point.order &&
                 std::abs(point.z - outcome.point.z) < 0.5 * std::min(radii[k], outcome.radius));
        }
        if (outcome.found && insideWindow(geometry, outcome.point.z) && !again) {
            result.points.push_back(outcome.point);
            radii.push_back(outcome.radius);
        }
    }
    // Nearest the window's centre first; ties by place, so that the order
    // is the same every run.
    const ComplexValue middle(0.5 * (geometry.x0 + geometry.x1), 0.5 * (geometry.y0 + geometry.y1));
    std::vector<std::size_t> order(result.points.size());
    std::iota(order.begin(), order.end(), 0);
    const auto key = [&](std::size_t k) {
        const ComplexValue z = result.points[k].z;
        return std::tuple(std::abs(z - middle), z.real(), z.imag());
    };
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return key(a) < key(b); });
    result.found = order.size();
    order.resize(std::min(order.size(), ZerosAndPoles::kMostPoints));
    std::vector<ZeroOrPole> kept;
    std::vector<double> keptRadii;
    for (const std::size_t k : order) {
        kept.push_back(result.points[k]);
        keptRadii.push_back(radii[k]);
    }
    result.points = std::move(kept);
    addResidues(function, geometry, outcomes, threads, result.points, keptRadii);
    return result;
}

std::string tableHeader() {
    return "kind\torder\tre\tim\tresidue_re\tresidue_im";
}

std::string tableLine(const ZeroOrPole& point) {
    std::string line = point.kind == PointKind::zero ? "zero" : "pole";
    line += '\t' + std::to_string(point.order) + '\t' + shortest(point.z.real()) + '\t' +
            shortest(point.z.imag()) + '\t';
    if (point.kind == PointKind::pole) {
        line += shortest(point.residue.real()) + '\t' + shortest(point.residue.imag());
    } else {
        line += '\t';
    }
    return line;
}

}  // namespace complexplot
