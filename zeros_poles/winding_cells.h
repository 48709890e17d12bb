#pragma once

// The first step of finding zeros and poles: the winding of f along the
// boundary of each cell of four pixel centres, counted from the quadrants
// of the values.

#include <span>
#include <vector>

#include "compiled_expression.h"
#include "map_geometry.h"

namespace complexplot {

// The quadrant a value lies in: 0 for Re > 0 and Im >= 0, then 1, 2 and 3
// counterclockwise (each half axis belongs to the quadrant it begins), or
// kNoQuadrant for 0 and for a value that is not finite.
constexpr int kNoQuadrant = 4;
int quadrantOf(ComplexValue value);

// A cell, between pixel rows row and row + 1 and columns column and
// column + 1, along whose boundary f winds about 0, or whose winding cannot
// be told: a corner is 0 or has no value, or a step between opposite
// quadrants stays between them however often its edge is halved.
struct CandidateCell {
    int row = 0;
    int column = 0;
    int winding = 0;  // counterclockwise in the plane; only where settled
    bool settled = true;
    // A corner is 0 or has no finite value: the cell's winding was not
    // looked for.
    bool withoutValue = false;
};

// The cells of the map that are candidates, row by row. The same whatever
// the number of threads.
std::vector<CandidateCell> candidateCells(const CompiledExpression& function,
                                          const MapGeometry& geometry,
                                          std::span<const ComplexValue> values, int threads);

// The winding, in quarter turns, of a path from a value in quadrant `from`
// to one in quadrant `to` along the segment between za and zb, halving the
// segment where the step is between opposite quadrants, at most `depth`
// times; false where it stays ambiguous or meets a value without a quadrant.
bool quarterTurns(const CompiledExpression& function, ComplexValue za, int from, ComplexValue zb,
                  int to, int depth, int& turns);

}  // namespace complexplot
