#pragma once

#include <iosfwd>
#include <string>

#include "render_options.h"

namespace complexplot {

// The maps of an expression: computes the values, prints the grey range
// used and the number of points without a value to `messages`, and writes
// DIR/STEM-re.png, DIR/STEM-im.png and, if asked, the raw values. A map
// that holds only greys is written as 8-bit grey, else as 8-bit RGB. While
// the values are computed for longer than about half a second, a progress
// bar is shown on `messages` if `showProgress`.
void renderFunction(const FunctionRequest& request, bool axes, const std::string& outputDirectory,
                    std::ostream& messages, bool showProgress);

}  // namespace complexplot
