#pragma once

#include <string>
#include <string_view>

namespace complexplot {

// What the user typed, fit for a one-line message on a terminal: in single
// quotes, with control characters (newlines, escape sequences, DEL), the
// quote and the backslash written as escapes, so nothing typed can move the
// cursor or colour the terminal. Bytes from 0x80 up pass as they are, so
// UTF-8 names read as typed.
std::string quoted(std::string_view text);

}  // namespace complexplot
