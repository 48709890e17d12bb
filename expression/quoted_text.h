#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace complexplot {

// What the user typed, fit for a one-line message on a terminal: in single
// quotes, with control characters (C0 such as newlines and escape, DEL, and
// the C1 controls U+0080..U+009F), the quote and the backslash written as
// escapes, so nothing typed can move the cursor or colour the terminal.
// Characters that cannot be seen (no-break and zero-width spaces, the
// bidirectional controls and the like) are escaped as \uXXXX, and bytes
// that are not UTF-8 as \xNN; other characters pass as they are, so UTF-8
// names read as typed.
std::string quoted(std::string_view text);

// The same escapes, without the quotes: for a file name at the head of a
// message ("list.txt:3: …").
std::string escaped(std::string_view text);

// Whether the bytes are well-formed UTF-8.
bool isUtf8(std::string_view text);

// Of the names, the one nearest to a mistyped word, for "did you mean …?":
// one letter added, dropped, changed or swapped, or two for a word of four
// letters or more; empty when none is that near.
std::string nearestName(std::string_view word, const std::vector<std::string>& names);

// A line of typed text with a caret under one of its characters (column,
// counted in characters from 1; one past the end for the end itself): the
// text escaped as quoted() escapes it, without the quotes, and cut to about
// `reach` characters on either side of the caret, with "…" where it is cut.
struct CaretExcerpt {
    std::string text;
    std::string caret;
};
CaretExcerpt caretExcerpt(std::string_view text, int column, int reach = 60);

}  // namespace complexplot
