#pragma once

// The argument principle on a circle: how often f winds about 0 along it,
// counted from the quadrants of its values at evenly spaced points, and
// trusted only when it holds with half the points and the values change
// smoothly from point to point.

#include "compiled_expression.h"

namespace complexplot {

struct CircleWinding {
    enum class Outcome { settled, unsettled, valuesJump };
    Outcome outcome = Outcome::unsettled;
    int winding = 0;  // counterclockwise, where settled
};

// The winding of f along the circle of `radius` about `centre`, with 64
// points, doubled up to 4096 until it settles.
CircleWinding windingOnCircle(const CompiledExpression& function, ComplexValue centre,
                              double radius);

// A pole's residue by the trapezoid rule on the circle of `radius` about
// it, the points doubled from 64 until two sums agree; `error` is then the
// difference of the last two, with the roundings of the sum and of the
// points added.
ComplexValue residueOnCircle(const CompiledExpression& function, ComplexValue pole, double radius,
                             double& error);

}  // namespace complexplot
