#include "level_curves.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <mutex>
#include <numbers>

#include "level_bands.h"
#include "row_workers.h"

namespace complexplot {

namespace {

constexpr double kPi = std::numbers::pi;

// The quantity whose sign says on which side of a level a value lies:
// q(f) - level for Re, Im and ln|f|, and Im(e^-ic f) for the argument c,
// whose crossings count only where Re(e^-ic f) > 0.
struct Side {
    LevelQuantity quantity = LevelQuantity::real;
    double level = 0.0;
    double cosine = 1.0;
    double sine = 0.0;

    Side(LevelQuantity kind, double value)
        : quantity(kind), level(value), cosine(std::cos(value)), sine(std::sin(value)) {}

    double of(ComplexValue f) const {
        switch (quantity) {
            case LevelQuantity::real:
                return f.real() - level;
            case LevelQuantity::imaginary:
                return f.imag() - level;
            case LevelQuantity::logModulus:
                return std::log(std::abs(f)) - level;
            case LevelQuantity::argument:
                return f.imag() * cosine - f.real() * sine;
        }
        return 0.0;
    }

    // Whether a value at a crossing lies on the level's own ray.
    bool onRay(ComplexValue f) const {
        return quantity != LevelQuantity::argument || f.real() * cosine + f.imag() * sine > 0;
    }
};

// A crossing of a level along one edge of a cell, from its corner at
// parameter 0 to the one at 1; s is where it lies.
struct Crossing {
    double column = 0.0;  // the edge's start, in map pixels
    double row = 0.0;
    bool across = true;  // along a row (else down a column)
    double low = 0.0;    // the bracket in s, and the side's values there
    double high = 1.0;
    double lowValue = 0.0;
    double highValue = 0.0;
    double s = 0.5;
    double tolerance = 0.0;
    // The quantity beyond the edge's ends, for the cubic first guess; NaN
    // where either has none.
    double before = std::numeric_limits<double>::quiet_NaN();
    double after = std::numeric_limits<double>::quiet_NaN();
    int lastMoved = -1;  // the end the last step moved: 0 low, 1 high
    int level = 0;       // which of the row's levels
    bool accepted = false;
};

// The rule of a drawn crossing. f is evaluated at the interpolated point of
// the edge and must lie at the level to within a millionth of the
// difference between the edge's two ends; if not, the Illinois method
// (regula falsi that halves a stale end) takes up to eleven more steps inside
// the edge. Where the quantity is smooth along the edge, the interpolation
// is already within h^2 |q''| / 8 of the level and each step shrinks that
// error faster than linearly, so a true crossing passes in a step or
// three; one where the curve nearly touches the edge, or near a saddle,
// takes more (four steps left such curves broken). Where the values jump instead (a branch cut, a
// pole on the edge, an overflow), f on either side of the jump stays near that side's value, a
// large part of the difference from the level, and the crossing fails; so does one whose check has
// no value. For the argument the checked value must also lie on the level's own ray, not on the
// opposite one.
constexpr double kRelativeTolerance = 1e-6;

// Near a saddle the edge's two ends differ by almost nothing, and a
// millionth of that is below the roundings of f itself: the tolerance is
// never below a millionth of a millionth of the size of f at the edge's
// ends (of 1 for ln|f|, whose roundings are absolute). Of the edge's ends
// alone, so that the two cells that share an edge share its crossing.
constexpr double kRoundingFloor = 1e-12;

double toleranceFloor(LevelQuantity quantity, ComplexValue from, ComplexValue to) {
    if (quantity == LevelQuantity::logModulus) {
        return kRoundingFloor;
    }
    return kRoundingFloor * std::max({std::fabs(from.real()), std::fabs(from.imag()),
                                      std::fabs(to.real()), std::fabs(to.imag())});
}
constexpr int kSteps = 12;

ComplexValue pointOf(const MapGeometry& geometry, const Crossing& crossing) {
    const double column = crossing.column + (crossing.across ? crossing.s : 0.0);
    const double row = crossing.row + (crossing.across ? 0.0 : crossing.s);
    // As sampleX and sampleY compute a centre, at a fractional place.
    return {geometry.x0 + (column + 0.5) * (geometry.x1 - geometry.x0) / geometry.width,
            geometry.y1 - (row + 0.5) * (geometry.y1 - geometry.y0) / geometry.height};
}

// Where the cubic through the sides at -1, 0, 1 and 2 along an edge
// crosses 0 between 0 and 1, from the linear guess by Newton's method on
// the cubic; the linear guess where the cubic leaves the edge. Where the
// quantity is smooth the cubic is within about h^4 |q''''| of it, so that
// the first check of f mostly passes at once, where the linear guess, off
// by h^2 |q''| / 8, needs two or three steps more.
double cubicCrossing(double before, double q0, double q1, double after, double linear) {
    const double c1 = -before / 3 - q0 / 2 + q1 - after / 6;
    const double c2 = (before + q1) / 2 - q0;
    const double c3 = (after - before) / 6 + (q0 - q1) / 2;
    double t = linear;
    for (int step = 0; step < 2; ++step) {
        const double value = q0 + t * (c1 + t * (c2 + t * c3));
        const double slope = c1 + t * (2 * c2 + t * 3 * c3);
        if (!(slope != 0)) {
            return linear;
        }
        t -= value / slope;
    }
    return t > 0 && t < 1 ? t : linear;
}

// The four edges of a cell, in order around it: top, right, bottom, left,
// each from one corner to the next (top-left, top-right, bottom-right,
// bottom-left).
constexpr std::array<std::array<int, 2>, 4> kEdgeCorners = {{{0, 1}, {1, 2}, {3, 2}, {0, 3}}};

// The segments of one cell from its edges' crossings (-1: none, or not
// drawn), paired where all four are crossed by the cell's centre.
void pairCrossings(const std::array<int, 4>& edgeCrossing, const std::array<bool, 4>& above,
                   bool centreAbove, std::vector<std::array<int, 2>>& pairs) {
    std::array<int, 4> crossed{};
    int count = 0;
    for (int edge = 0; edge < 4; ++edge) {
        crossed[edge] = above[kEdgeCorners[edge][0]] != above[kEdgeCorners[edge][1]];
        count += crossed[edge];
    }
    auto pair = [&](int a, int b) {
        if (edgeCrossing[a] >= 0 && edgeCrossing[b] >= 0) {
            pairs.push_back({edgeCrossing[a], edgeCrossing[b]});
        }
    };
    if (count == 2) {
        int first = -1;
        for (int edge = 0; edge < 4; ++edge) {
            if (crossed[edge] != 0) {
                if (first < 0) {
                    first = edge;
                } else {
                    pair(first, edge);
                }
            }
        }
        return;
    }
    if (count == 4) {
        // A saddle: the corners on the centre's other side are cut off.
        const bool topLeftWithCentre = above[0] == centreAbove;
        if (topLeftWithCentre) {
            pair(0, 1);  // around the top-right corner
            pair(2, 3);  // around the bottom-left one
        } else {
            pair(3, 0);  // around the top-left corner
            pair(1, 2);  // around the bottom-right one
        }
    }
}

// A cell crossed by a level: its edges' crossings, which corners lie
// above the level, and whether its centre does.
struct CrossedCell {
    int level = 0;
    std::array<int, 4> edges = {-1, -1, -1, -1};
    std::array<bool, 4> above{};
    bool centreAbove = false;
};

// The crossings already made on the edges a cell shares with the cells
// before it: its top edge is the bottom edge of the cell above, its left
// edge the right edge of the cell to its left. Each edge's crossing of a
// level is found and checked once and drawn by both its cells. Cells are
// visited row by row, column by column and level by level upward, so the
// crossings to share come in that order and are met by a pointer moving
// forward through them.
class SharedEdges {
public:
    void startBlock() {
        below_.clear();
        above_.clear();
        right_.clear();
        left_.clear();
    }
    void startRow() {
        std::swap(above_, below_);
        below_.clear();
        nextAbove_ = 0;
        right_.clear();
        rightColumn_ = -2;
    }
    void startCell(int column) {
        std::swap(left_, right_);
        right_.clear();
        nextLeft_ = 0;
        if (rightColumn_ != column - 1) {
            left_.clear();
        }
        rightColumn_ = column;
    }
    // The crossing of the level on the cell's top edge, or -1.
    int top(int column, int level) { return find(above_, nextAbove_, {column, level, 0}); }
    int left(int level) { return find(left_, nextLeft_, {0, level, 0}); }
    void addBottom(int column, int level, int index) { below_.push_back({column, level, index}); }
    void addRight(int level, int index) { right_.push_back({0, level, index}); }

private:
    struct Made {
        int column = 0;
        int level = 0;
        int index = 0;
    };
    static int find(const std::vector<Made>& made, std::size_t& next, Made key) {
        const auto before = [](const Made& a, const Made& b) {
            return a.column < b.column || (a.column == b.column && a.level < b.level);
        };
        while (next < made.size() && before(made[next], key)) {
            ++next;
        }
        return next < made.size() && !before(key, made[next]) ? made[next].index : -1;
    }

    std::vector<Made> below_;
    std::vector<Made> above_;
    std::size_t nextAbove_ = 0;
    std::vector<Made> right_;
    std::vector<Made> left_;
    std::size_t nextLeft_ = 0;
    int rightColumn_ = -2;
};

// A segment as a block finds it: its level's place among the set's levels
// in ascending order, with the segment.
struct FoundSegment {
    int level = 0;
    CurveSegment segment;
};

// What a worker keeps from block to block and from call to call: the
// segments its blocks found, the bands, crossings and cells of a block, and
// the checks' points and values. Made afresh by each call's new threads,
// they cost the curves of a map of 1024 x 1024 5-15 % of their time
// (measured), most of it the system's clearing of their pages.
struct WorkerScratch {
    std::vector<FoundSegment> found;  // every block's segments of one call
    std::vector<std::int16_t> bands;
    std::vector<Crossing> crossings;
    std::vector<CrossedCell> cells;
    SharedEdges shared;
    std::vector<int> look;
    std::vector<ComplexValue> points;
    std::vector<ComplexValue> values;
    std::vector<ComplexValue> evaluation;
    std::vector<std::size_t> active;
    std::vector<std::array<int, 2>> pairs;
};

// The workers' scratch spaces, lent out for a call and kept when it ends.
class ScratchPool {
public:
    std::unique_ptr<WorkerScratch> take() {
        const std::lock_guard<std::mutex> lock(mutex_);
        if (kept_.empty()) {
            return std::make_unique<WorkerScratch>();
        }
        std::unique_ptr<WorkerScratch> scratch = std::move(kept_.back());
        kept_.pop_back();
        return scratch;
    }
    void give(std::unique_ptr<WorkerScratch> scratch) {
        // The segments of a very large map are not kept for the next call.
        scratch->found.clear();
        if (scratch->found.capacity() > kMostKeptSegments) {
            scratch->found.shrink_to_fit();
        }
        const std::lock_guard<std::mutex> lock(mutex_);
        kept_.push_back(std::move(scratch));
    }

private:
    static constexpr std::size_t kMostKeptSegments = 1 << 16;  // 2.5 MB
    std::mutex mutex_;
    std::vector<std::unique_ptr<WorkerScratch>> kept_;
};

void checkCrossings(const CompiledExpression& function, const MapGeometry& geometry,
                    std::span<const Side> sides, std::vector<Crossing>& crossings,
                    WorkerScratch& scratch) {
    std::vector<ComplexValue>& points = scratch.points;
    std::vector<ComplexValue>& values = scratch.values;
    std::vector<std::size_t>& active = scratch.active;
    // The first guesses, in a loop of their own: each is a chain of
    // divisions that waits on the one before, and the crossings' chains,
    // independent of each other, overlap here (measured: 5-11 % of the
    // curves' time when each was found with its crossing).
    for (Crossing& crossing : crossings) {
        if (!std::isnan(crossing.before)) {
            crossing.s = cubicCrossing(crossing.before, crossing.lowValue, crossing.highValue,
                                       crossing.after, crossing.s);
        }
    }
    // The crossings not yet done, kept in order as each step drops those
    // it ends.
    active.resize(crossings.size());
    for (std::size_t k = 0; k < active.size(); ++k) {
        active[k] = k;
    }
    for (int step = 0; step < kSteps && !active.empty(); ++step) {
        points.clear();
        for (const std::size_t k : active) {
            points.push_back(pointOf(geometry, crossings[k]));
        }
        values.resize(points.size());
        function.evaluate(points.data(), values.data(), points.size(), scratch.evaluation);
        std::size_t kept = 0;
        for (std::size_t n = 0; n < active.size(); ++n) {
            Crossing& crossing = crossings[active[n]];
            const Side& side = sides[static_cast<std::size_t>(crossing.level)];
            const ComplexValue f = values[n];
            const double value = side.of(f);
            if (!hasValue(f) || !std::isfinite(value)) {
                continue;
            }
            if (std::fabs(value) <= crossing.tolerance) {
                crossing.accepted = side.onRay(f);
                continue;
            }
            // Keep the bracket: the end on the same side moves; where it
            // moved last time too, the other end's value is halved.
            if ((value >= 0) == (crossing.lowValue >= 0)) {
                crossing.highValue *= crossing.lastMoved == 0 ? 0.5 : 1.0;
                crossing.low = crossing.s;
                crossing.lowValue = value;
                crossing.lastMoved = 0;
            } else {
                crossing.lowValue *= crossing.lastMoved == 1 ? 0.5 : 1.0;
                crossing.high = crossing.s;
                crossing.highValue = value;
                crossing.lastMoved = 1;
            }
            crossing.s = crossing.low + crossing.lowValue * (crossing.high - crossing.low) /
                                            (crossing.lowValue - crossing.highValue);
            active[kept++] = active[n];
        }
        active.resize(kept);
    }
}

// The points beyond the ends of one edge of the cell between rows row,
// row + 1 and columns column, column + 1 (edges in kEdgeCorners' order), on
// the edge's line: before its first corner and after its last, or null
// outside the map.
std::array<const ComplexValue*, 2> beyondEdge(const MapGeometry& geometry,
                                              std::span<const ComplexValue> values, int column,
                                              int row, int edge) {
    const auto at = [&](int r, int c) -> const ComplexValue* {
        if (r < 0 || r >= geometry.height || c < 0 || c >= geometry.width) {
            return nullptr;
        }
        return &values[static_cast<std::size_t>(r) * geometry.width + c];
    };
    switch (edge) {
        case 0:
            return {at(row, column - 1), at(row, column + 2)};
        case 1:
            return {at(row - 1, column + 1), at(row + 2, column + 1)};
        case 2:
            return {at(row + 1, column - 1), at(row + 1, column + 2)};
        default:
            return {at(row - 1, column), at(row + 2, column)};
    }
}

// The crossings of one level in one cell, from the sides of its corners
// (the quantity less the level, each with a value) and the values there;
// those on the edges it shares with cells before it are theirs.
void crossCell(const MapGeometry& geometry, std::span<const ComplexValue> values, int column,
               int row, int level, const std::array<double, 4>& sides,
               const std::array<ComplexValue, 4>& corners, const Side& side, SharedEdges& shared,
               std::vector<Crossing>& crossings, std::vector<CrossedCell>& cells) {
    CrossedCell cell;
    cell.level = level;
    int aboveCount = 0;
    for (int k = 0; k < 4; ++k) {
        // A value exactly at the level counts as above it.
        cell.above[k] = sides[k] >= 0;
        aboveCount += cell.above[k];
    }
    if (aboveCount == 0 || aboveCount == 4) {
        return;
    }
    for (int edge = 0; edge < 4; ++edge) {
        const int from = kEdgeCorners[edge][0];
        const int to = kEdgeCorners[edge][1];
        if (cell.above[from] == cell.above[to]) {
            continue;
        }
        const int made = edge == 0   ? shared.top(column, level)
                         : edge == 3 ? shared.left(level)
                                     : -1;
        if (made >= 0) {
            cell.edges[edge] = made;
            continue;
        }
        Crossing crossing;
        crossing.across = edge == 0 || edge == 2;
        crossing.column = column + (edge == 1 ? 1 : 0);
        crossing.row = row + (edge == 2 ? 1 : 0);
        crossing.lowValue = sides[from];
        crossing.highValue = sides[to];
        crossing.s = sides[from] / (sides[from] - sides[to]);
        const auto [beforeAt, afterAt] = beyondEdge(geometry, values, column, row, edge);
        if (beforeAt != nullptr && afterAt != nullptr && hasValue(*beforeAt) &&
            hasValue(*afterAt)) {
            const double before = side.of(*beforeAt);
            const double after = side.of(*afterAt);
            if (std::isfinite(before) && std::isfinite(after)) {
                crossing.before = before;
                crossing.after = after;
            }
        }
        crossing.tolerance = std::max(kRelativeTolerance * std::fabs(sides[to] - sides[from]),
                                      toleranceFloor(side.quantity, corners[from], corners[to]));
        crossing.level = level;
        const int index = static_cast<int>(crossings.size());
        cell.edges[edge] = index;
        crossings.push_back(crossing);
        if (edge == 2) {
            shared.addBottom(column, level, index);
        } else if (edge == 1) {
            shared.addRight(level, index);
        }
    }
    cell.centreAbove = sides[0] + sides[1] + sides[2] + sides[3] >= 0;
    cells.push_back(cell);
}

// How many of the ascending levels lie at or below a value: the corners of
// a cell that no level crosses have one band. Where the quantity is not
// monotone across levels (the argument, each level its own rotation), the
// band of arg f itself, which every crossing of a level changes, or which
// wraps from pi to -pi.
constexpr int kNoValue = -1;

int bandOf(std::span<const double> ascending, double quantity) {
    if (!std::isfinite(quantity)) {
        return kNoValue;
    }
    return static_cast<int>(std::upper_bound(ascending.begin(), ascending.end(), quantity) -
                            ascending.begin());
}

double quantityOf(LevelQuantity quantity, ComplexValue f) {
    if (!hasValue(f)) {
        return std::nan("");
    }
    switch (quantity) {
        case LevelQuantity::real:
            return f.real();
        case LevelQuantity::imaginary:
            return f.imag();
        case LevelQuantity::logModulus:
            return std::log(std::abs(f));
        case LevelQuantity::argument:
            return std::atan2(f.imag(), f.real());
    }
    return 0.0;
}

// The band of each point of a row (kNoValue without one). Neighbouring
// points most often share a band: each point's is first tried against the
// band of the point above it (`above`, the row before's bands), or, on a
// block's first row, of the point before it, and looked for only where it
// differs. `bounds` holds the levels in ascending order between -inf and
// inf, so that band b is bounds[b] <= q < bounds[b + 1]. The point above
// is known before the row starts, so that, unlike the point before, no
// point waits for the band of another (measured: the bands of a map take
// a fifth less time than with the point before).
template <LevelQuantity quantity>
void bandsOfRow(std::span<const ComplexValue> row, std::span<const double> ascending,
                std::span<const double> bounds, const std::int16_t* above, std::int16_t* bands) {
    const auto bandAt = [&](std::size_t column, int guess) {
        const double q = quantityOf(quantity, row[column]);
        if (!std::isfinite(q)) {
            return kNoValue;
        }
        return bounds[guess] <= q && q < bounds[guess + 1] ? guess : bandOf(ascending, q);
    };
    // Two loops, so that the one for the rows below the first has no
    // dependence on the point before.
    if (above != nullptr) {
        for (std::size_t column = 0; column < row.size(); ++column) {
            bands[column] =
                static_cast<std::int16_t>(bandAt(column, std::max<int>(above[column], 0)));
        }
        return;
    }
    int previous = 0;
    for (std::size_t column = 0; column < row.size(); ++column) {
        const int band = bandAt(column, previous);
        previous = band == kNoValue ? previous : band;
        bands[column] = static_cast<std::int16_t>(band);
    }
}

// The crossings of every level in the cells between rows `row` and row + 1,
// and the cells they cross. `ascending` holds the levels in ascending
// order, as `sides` does; `bands` the band of every point of both rows.
void crossingsInRow(const MapGeometry& geometry, std::span<const ComplexValue> values,
                    LevelQuantity quantity, std::span<const double> ascending,
                    std::span<const Side> sides, const std::int16_t* bands, int row,
                    SharedEdges& shared, std::vector<Crossing>& crossings,
                    std::vector<CrossedCell>& cells, std::vector<int>& look) {
    const int width = geometry.width;
    const int levels = static_cast<int>(ascending.size());
    const bool wraps = quantity == LevelQuantity::argument;
    // Only cells across bands can hold a level, and a cell where arg f
    // wraps has corners on both sides of any level between -pi/2 and pi/2
    // (arg above pi/2 and below -pi/2), which the argument's default
    // levels hold. Without one, every cell is looked at.
    const bool bandsShowWraps =
        !wraps || std::any_of(ascending.begin(), ascending.end(),
                              [](double level) { return std::fabs(level) <= kPi / 2; });
    look.resize(static_cast<std::size_t>(width));
    std::size_t looked = static_cast<std::size_t>(width - 1);
    if (bandsShowWraps) {
        looked = cellsAcrossBands(bands, bands + width, looked, look.data());
    } else {
        for (int column = 0; column + 1 < width; ++column) {
            look[static_cast<std::size_t>(column)] = column;
        }
    }
    for (const int column : std::span(look).first(looked)) {
        const std::array<int, 4> corners = {bands[column], bands[column + 1],
                                            bands[width + column + 1], bands[width + column]};
        const auto [low, high] = std::minmax({corners[0], corners[1], corners[2], corners[3]});
        if (low == kNoValue) {
            continue;  // no segment to a point without a value
        }
        const std::array<ComplexValue, 4> f = {
            values[static_cast<std::size_t>(row) * width + column],
            values[static_cast<std::size_t>(row) * width + column + 1],
            values[static_cast<std::size_t>(row + 1) * width + column + 1],
            values[static_cast<std::size_t>(row + 1) * width + column]};
        // Where arg f may wrap from pi to -pi inside the cell (corners on
        // both sides of the negative real axis), or turn the long way round
        // between corners (more than one band apart: near a zero or a
        // pole), every level is tested on its own rotation; elsewhere the
        // levels between the bands.
        bool wrapped = wraps && high - low >= 2;
        if (wraps && !wrapped) {
            bool upper = false;
            bool lower = false;
            for (const ComplexValue corner : f) {
                upper = upper || (corner.real() < 0 && !std::signbit(corner.imag()));
                lower = lower || (corner.real() < 0 && std::signbit(corner.imag()));
            }
            wrapped = upper && lower;
        }
        if (low == high && !wrapped) {
            continue;  // no level here
        }
        const int first = wrapped ? 0 : low;
        const int last = wrapped ? levels : high;
        shared.startCell(column);
        for (int level = first; level < last; ++level) {
            const Side& side = sides[static_cast<std::size_t>(level)];
            std::array<double, 4> cornerSides{};
            for (int k = 0; k < 4; ++k) {
                cornerSides[k] = side.of(f[k]);
            }
            crossCell(geometry, values, column, row, level, cornerSides, f, side, shared, crossings,
                      cells);
        }
    }
}

// The segments of the crossed cells, from those of their crossings that
// passed the check, added to `found` with their levels.
void segmentsOfCells(const std::vector<Crossing>& crossings, const std::vector<CrossedCell>& cells,
                     std::vector<FoundSegment>& found, std::vector<std::array<int, 2>>& pairs) {
    for (const CrossedCell& cell : cells) {
        std::array<int, 4> drawn = cell.edges;
        for (int& index : drawn) {
            if (index >= 0 && !crossings[static_cast<std::size_t>(index)].accepted) {
                index = -1;
            }
        }
        pairs.clear();
        pairCrossings(drawn, cell.above, cell.centreAbove, pairs);
        for (const auto& [a, b] : pairs) {
            auto place = [&](const Crossing& c) {
                return std::array<double, 2>{c.column + 0.5 + (c.across ? c.s : 0.0),
                                             c.row + 0.5 + (c.across ? 0.0 : c.s)};
            };
            const auto from = place(crossings[static_cast<std::size_t>(a)]);
            const auto to = place(crossings[static_cast<std::size_t>(b)]);
            found.push_back({cell.level, {from[0], from[1], to[0], to[1]}});
        }
    }
}

double roundStep(double width) {
    // 1, 2 or 5 times a power of ten, the one giving nearest ten levels.
    const double rough = width / 10;
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    double best = power;
    for (const double factor : {1.0, 2.0, 5.0, 10.0}) {
        if (std::fabs(std::log(width / (factor * power) / 10)) <
            std::fabs(std::log(width / best / 10))) {
            best = factor * power;
        }
    }
    return best;
}

}  // namespace

std::vector<Level> roundLevels(double low, double high) {
    std::vector<Level> levels;
    const double width = high - low;
    if (!(width > 0) || !std::isfinite(width)) {
        return levels;
    }
    const double step = roundStep(width);
    for (double k = std::ceil(low / step); k * step <= high && levels.size() < 64; ++k) {
        levels.push_back({k * step, k == 0});
    }
    return levels;
}

std::vector<LevelSet> defaultLevels(const MapShading& shading) {
    std::vector<LevelSet> sets;
    auto argumentLevels = [](int perHalfTurn, bool heavyEnds) {
        LevelSet set{LevelQuantity::argument, {}};
        for (int k = -perHalfTurn + 1; k <= perHalfTurn; ++k) {
            set.levels.push_back(
                {k * kPi / perHalfTurn, heavyEnds && (k == 0 || k == perHalfTurn)});
        }
        return set;
    };
    switch (shading.kind) {
        case MapKind::realImaginary:
            sets.push_back(
                {LevelQuantity::real, roundLevels(shading.realRange.low, shading.realRange.high)});
            sets.push_back({LevelQuantity::imaginary,
                            roundLevels(shading.imaginaryRange.low, shading.imaginaryRange.high)});
            break;
        case MapKind::modulusArgument: {
            LevelSet modulus{LevelQuantity::logModulus, {}};
            const int low = static_cast<int>(std::lround(std::log10(shading.realRange.low)));
            const int high = static_cast<int>(std::lround(std::log10(shading.realRange.high)));
            const bool fine = high - low < 3;
            for (int decade = low; decade <= high; ++decade) {
                for (const double factor : {1.0, 2.0, 5.0}) {
                    if (factor == 1.0 || (fine && decade < high)) {
                        modulus.levels.push_back(
                            {std::log(factor) + decade * std::numbers::ln10, false});
                    }
                }
            }
            sets.push_back(modulus);
            sets.push_back(argumentLevels(4, true));
            break;
        }
        case MapKind::phase: {
            LevelSet modulus{LevelQuantity::logModulus, {}};
            for (int power = -40; power <= 40; ++power) {
                modulus.levels.push_back({power * std::numbers::ln2, false});
            }
            sets.push_back(modulus);
            sets.push_back(argumentLevels(6, false));
            break;
        }
    }
    return sets;
}

namespace {

// A set's levels in ascending order, each with its place in the set.
struct SortedSet {
    LevelQuantity quantity = LevelQuantity::real;
    std::vector<std::size_t> order;
    std::vector<double> ascending;
    std::vector<double> bounds;  // -inf, the ascending levels, inf
    std::vector<Side> sides;

    explicit SortedSet(const LevelSet& set) : quantity(set.quantity), order(set.levels.size()) {
        for (std::size_t k = 0; k < order.size(); ++k) {
            order[k] = k;
        }
        std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
            return set.levels[a].value < set.levels[b].value;
        });
        for (const std::size_t k : order) {
            ascending.push_back(set.levels[k].value);
            sides.emplace_back(set.quantity, set.levels[k].value);
        }
        bounds.push_back(-std::numeric_limits<double>::infinity());
        bounds.insert(bounds.end(), ascending.begin(), ascending.end());
        bounds.push_back(std::numeric_limits<double>::infinity());
    }

    // The bands of Re f or Im f, compared with every level at once, where
    // the set allows; false where it does not, and nothing written.
    bool partBands(std::span<const ComplexValue> points, std::int16_t* bands) const {
        if ((quantity != LevelQuantity::real && quantity != LevelQuantity::imaginary) ||
            !std::all_of(ascending.begin(), ascending.end(),
                         [](double level) { return std::isfinite(level); })) {
            return false;
        }
        return levelBands(points.data(), points.size(),
                          quantity == LevelQuantity::real ? ValuePart::real : ValuePart::imaginary,
                          ascending.data(), ascending.size(), bands);
    }
};

void bandsOfRowFor(const SortedSet& set, std::span<const ComplexValue> line,
                   const std::int16_t* above, std::int16_t* out) {
    switch (set.quantity) {
        case LevelQuantity::real:
            return bandsOfRow<LevelQuantity::real>(line, set.ascending, set.bounds, above, out);
        case LevelQuantity::imaginary:
            return bandsOfRow<LevelQuantity::imaginary>(line, set.ascending, set.bounds, above,
                                                        out);
        case LevelQuantity::logModulus:
            return bandsOfRow<LevelQuantity::logModulus>(line, set.ascending, set.bounds, above,
                                                         out);
        case LevelQuantity::argument:
            return bandsOfRow<LevelQuantity::argument>(line, set.ascending, set.bounds, above, out);
    }
}

// Cell rows are taken this many at a time: the values of a block (half a
// megabyte for a row of 1024) stay in the processor's own cache while each
// set's bands and crossings are found, and the crossings of a whole block
// are checked together. 32 measured 5-10 % faster than 8 or 16.
constexpr int kBlockRows = 32;

// Where a block's segments of one set are: which worker's list, and where
// in it.
struct FoundPart {
    std::size_t worker = 0;
    std::size_t begin = 0;
    std::size_t end = 0;
};

// The segments of one block of cell rows, for each set, added to the
// worker's list: one list for the whole call, kept from call to call, where
// a list for each level and block, grown from nothing, cost a fifth of the
// curves' time (measured).
void curvesOfBlock(const CompiledExpression& function, const MapGeometry& geometry,
                   std::span<const ComplexValue> values, const std::vector<SortedSet>& sets,
                   int block, std::size_t worker, WorkerScratch& scratch,
                   std::span<FoundPart> parts) {
    const auto width = static_cast<std::size_t>(geometry.width);
    const int first = block * kBlockRows;
    const int last = std::min(first + kBlockRows, geometry.height - 1);  // cell rows
    std::vector<std::int16_t>& bands = scratch.bands;
    std::vector<Crossing>& crossings = scratch.crossings;
    std::vector<CrossedCell>& cells = scratch.cells;
    SharedEdges& shared = scratch.shared;
    bands.resize((kBlockRows + 1) * width);
    for (std::size_t index = 0; index < sets.size(); ++index) {
        const SortedSet& set = sets[index];
        if (!set.partBands(values.subspan(first * width, (last - first + 1) * width),
                           bands.data())) {
            for (int row = first; row <= last; ++row) {
                std::int16_t* rowBands = bands.data() + (row - first) * width;
                bandsOfRowFor(set, values.subspan(row * width, width),
                              row == first ? nullptr : rowBands - width, rowBands);
            }
        }
        crossings.clear();
        cells.clear();
        shared.startBlock();
        for (int row = first; row < last; ++row) {
            shared.startRow();
            crossingsInRow(geometry, values, set.quantity, set.ascending, set.sides,
                           bands.data() + (row - first) * width, row, shared, crossings, cells,
                           scratch.look);
        }
        parts[index] = {worker, scratch.found.size(), scratch.found.size()};
        if (!crossings.empty()) {
            checkCrossings(function, geometry, set.sides, crossings, scratch);
            segmentsOfCells(crossings, cells, scratch.found, scratch.pairs);
            parts[index].end = scratch.found.size();
        }
    }
}

}  // namespace

std::vector<std::vector<LevelCurve>> levelCurvesOfSets(const CompiledExpression& function,
                                                       const MapGeometry& geometry,
                                                       std::span<const ComplexValue> values,
                                                       std::span<const LevelSet> sets,
                                                       int threads) {
    std::vector<SortedSet> sorted(sets.begin(), sets.end());
    const int rows = std::max(0, geometry.height - 1);
    const int blocks = (rows + kBlockRows - 1) / kBlockRows;
    // Block by block, set by set.
    std::vector<FoundPart> parts(static_cast<std::size_t>(blocks) * sets.size());
    static ScratchPool pool;
    std::vector<std::unique_ptr<WorkerScratch>> scratch;
    for (int worker = 0; worker < std::max(threads, 1); ++worker) {
        scratch.push_back(pool.take());
    }
    forEachRow(blocks, threads, [&](int block, int worker) {
        const auto at = static_cast<std::size_t>(worker);
        curvesOfBlock(
            function, geometry, values, sorted, block, at, *scratch[at],
            std::span(parts).subspan(static_cast<std::size_t>(block) * sets.size(), sets.size()));
    });
    std::vector<std::vector<LevelCurve>> result;
    for (std::size_t index = 0; index < sets.size(); ++index) {
        const LevelSet& set = sets[index];
        const SortedSet& order = sorted[index];
        // Each level's curve, by its place in ascending order, made at its
        // full size before the blocks' segments are copied in, in order.
        std::vector<LevelCurve> curves(set.levels.size());
        std::vector<LevelCurve*> ascending(order.order.size());
        for (std::size_t place = 0; place < order.order.size(); ++place) {
            ascending[place] = &curves[order.order[place]];
            ascending[place]->quantity = set.quantity;
            ascending[place]->level = set.levels[order.order[place]];
        }
        std::vector<std::size_t> counts(ascending.size());
        for (int block = 0; block < blocks; ++block) {
            const FoundPart& part = parts[static_cast<std::size_t>(block) * sets.size() + index];
            for (std::size_t k = part.begin; k < part.end; ++k) {
                ++counts[static_cast<std::size_t>(scratch[part.worker]->found[k].level)];
            }
        }
        for (std::size_t place = 0; place < ascending.size(); ++place) {
            ascending[place]->segments.reserve(counts[place]);
        }
        for (int block = 0; block < blocks; ++block) {
            const FoundPart& part = parts[static_cast<std::size_t>(block) * sets.size() + index];
            for (std::size_t k = part.begin; k < part.end; ++k) {
                const FoundSegment& found = scratch[part.worker]->found[k];
                ascending[static_cast<std::size_t>(found.level)]->segments.push_back(found.segment);
            }
        }
        result.push_back(std::move(curves));
    }
    for (auto& kept : scratch) {
        pool.give(std::move(kept));
    }
    return result;
}

std::vector<LevelCurve> levelCurves(const CompiledExpression& function, const MapGeometry& geometry,
                                    std::span<const ComplexValue> values, const LevelSet& set,
                                    int threads) {
    return std::move(levelCurvesOfSets(function, geometry, values, {&set, 1}, threads).front());
}

}  // namespace complexplot
