#pragma once

// A handout's list file: each line holds the options of one figure, as a
// shell would split them.

#include <string>
#include <vector>

#include "render_options.h"

namespace complexplot {

// --from LIST: reads the list into the options' pages. Raises UsageError,
// naming the line, for anything it cannot take.
void readHandout(const OptionValues& given, RenderOptions& options);

// The words of a line as a POSIX shell splits them: blanks part them; a
// word that starts with # starts a comment to the end of the line;
// 'single quotes' keep everything; "double quotes" keep everything but a
// backslash before " \ $ or `; a backslash outside quotes keeps the next
// character. Raises UsageError for a quote left open, and for a curly quote
// outside quotes, which was meant as a straight one.
std::vector<std::string> shellWords(const std::string& line);

}  // namespace complexplot
