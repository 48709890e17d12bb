#pragma once

// The zeros and poles found, told in words and as a table: on stderr, in a
// TSV file, and in the explorer's status bar.

#include <string>

#include "zeros_and_poles.h"

namespace complexplot {

// The table written to stderr, each line begun with `prefix`: one line per
// point with the columns of the TSV file and the residue's estimated
// error, then a line for each place where none could be told (at most ten,
// and how many more), and a line where more than the first 1000 were found.
std::string zerosAndPolesReport(const ZerosAndPoles& found, const std::string& prefix);

// The TSV file's text: the header line, then one line per point.
std::string zerosAndPolesTable(const ZerosAndPoles& found);

// One point in words: "pole of order 2 at 1+0.5i, residue -1+0i".
std::string pointInWords(const ZeroOrPole& point);

// a+bi with each part in the shortest form that reads back as the same
// double.
std::string complexText(ComplexValue z);

}  // namespace complexplot
