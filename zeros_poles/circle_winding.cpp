#include "circle_winding.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "winding_cells.h"

namespace complexplot {

namespace {

constexpr int kFirstPoints = 64;
constexpr int kMostPoints = 4096;

// f at `count` points evenly spaced on the circle, the first at angle 0.
// Each point is rounded to doubles; `offsets` holds each one's exact
// distance from the centre as the rounding left it.
void valuesOnCircle(const CompiledExpression& function, ComplexValue centre, double radius,
                    int count, std::vector<ComplexValue>& values,
                    std::vector<ComplexValue>& offsets) {
    std::vector<ComplexValue> points(count);
    offsets.resize(count);
    for (int k = 0; k < count; ++k) {
        const double angle = 2 * std::numbers::pi * k / count;
        points[k] = centre + radius * ComplexValue(std::cos(angle), std::sin(angle));
        offsets[k] = points[k] - centre;
    }
    values.resize(count);
    std::vector<ComplexValue> scratch;
    function.evaluate(points.data(), values.data(), count, scratch);
}

// The winding along every `stride`-th value, or false where a value has no
// quadrant or a step is between opposite ones.
bool windingOf(const std::vector<ComplexValue>& values, int stride, int& winding) {
    int turns = 0;
    const int count = static_cast<int>(values.size());
    for (int k = 0; k < count; k += stride) {
        const int from = quadrantOf(values[k]);
        const int to = quadrantOf(values[(k + stride) % count]);
        if (from == kNoQuadrant || to == kNoQuadrant || ((to - from) & 3) == 2) {
            return false;
        }
        const int step = (to - from) & 3;
        turns += step == 3 ? -1 : step;
    }
    winding = turns / 4;
    return true;
}

// The jump test. Along a smooth f the change over an arc shrinks to about
// half as the arc is halved: the largest change between neighbours of all
// the points is close to half the largest change between every second
// point. A jump (a branch cut) keeps its size however short the arc, so
// that the two largest changes come close to equal. The values are smooth
// where the first is at most 3/4 of the second: a jump then is at most
// three times the change along a smooth arc, too little to turn the
// winding, and the points are doubled until that holds or they run out.
bool changesSmoothly(const std::vector<ComplexValue>& values) {
    const int count = static_cast<int>(values.size());
    double halves = 0.0;
    double wholes = 0.0;
    for (int k = 0; k < count; k += 2) {
        const ComplexValue a = values[k];
        const ComplexValue b = values[k + 1];
        const ComplexValue c = values[(k + 2) % count];
        halves = std::max({halves, std::abs(b - a), std::abs(c - b)});
        wholes = std::max(wholes, std::abs(c - a));
    }
    return halves <= 0.75 * wholes;
}

}  // namespace

CircleWinding windingOnCircle(const CompiledExpression& function, ComplexValue centre,
                              double radius) {
    std::vector<ComplexValue> values;
    std::vector<ComplexValue> offsets;
    CircleWinding result;
    for (int count = 2 * kFirstPoints; count <= kMostPoints; count *= 2) {
        valuesOnCircle(function, centre, radius, count, values, offsets);
        int all = 0;
        int half = 0;
        if (!windingOf(values, 1, all) || !windingOf(values, 2, half) || all != half) {
            result.outcome = CircleWinding::Outcome::unsettled;
            continue;
        }
        result.winding = all;
        if (changesSmoothly(values)) {
            result.outcome = CircleWinding::Outcome::settled;
            return result;
        }
        result.outcome = CircleWinding::Outcome::valuesJump;
    }
    return result;
}

ComplexValue residueOnCircle(const CompiledExpression& function, ComplexValue pole, double radius,
                             double& error) {
    // (1 / 2 pi i) of the integral of f dz, with dz = i (z - p) dt: the
    // mean of f(z_k) (z_k - p), exponentially convergent for f analytic on
    // an annulus about the circle. The offsets are those of the rounded
    // points, which the values belong to.
    std::vector<ComplexValue> values;
    std::vector<ComplexValue> offsets;
    ComplexValue previous;
    ComplexValue sum;
    double size = 0.0;
    for (int count = kFirstPoints; count <= kMostPoints; count *= 2) {
        valuesOnCircle(function, pole, radius, count, values, offsets);
        sum = 0.0;
        size = 0.0;
        for (int k = 0; k < count; ++k) {
            const ComplexValue term = values[k] * offsets[k];
            sum += term;
            size = std::max(size, std::abs(term));
        }
        sum /= double(count);
        error = std::abs(sum - previous);
        if (count > kFirstPoints && error <= 1e-14 * size) {
            break;
        }
        previous = sum;
    }
    // The sum's roundings, and those of the points themselves: each is off
    // its circle by up to half a unit of the pole's larger part.
    const double largest = std::max(std::abs(pole.real()), std::abs(pole.imag()));
    const double unit = largest > 0 ? std::ldexp(1.0, std::ilogb(largest) - 52) : 0.0;
    error += size * (4 * 0x1p-52 + unit / radius);
    return sum;
}

}  // namespace complexplot
