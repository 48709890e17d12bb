#pragma once

#include <string>
#include <vector>

#include "operations.h"

namespace complexplot {

// The header of a NumPy .npy file (format version 1.0) for an array of
// complex128 of shape (rows, columns) in C order; the raw values follow it.
// numpy.load then gives the grid exactly, inf and NaN included.
std::string npyHeader(int rows, int columns);

}  // namespace complexplot
