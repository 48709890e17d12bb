#include "quoted_text.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace complexplot {

namespace {

// The length of the UTF-8 sequence that starts at `at`: its lead byte and
// the continuation bytes after it.
std::size_t characterLength(std::string_view text, std::size_t at) {
    std::size_t length = 1;
    while (at + length < text.size() &&
           (static_cast<unsigned char>(text[at + length]) & 0xc0) == 0x80) {
        ++length;
    }
    return length;
}

// One character as a message shows it: itself, or an escape.
std::string escapedCharacter(std::string_view character) {
    const auto byte = static_cast<unsigned char>(character[0]);
    // U+0080..U+009F, the C1 controls in UTF-8, which some terminals obey as
    // escape sequences.
    if (byte == 0xc2 && character.size() >= 2 && static_cast<unsigned char>(character[1]) <= 0x9f) {
        char escape[8];
        std::snprintf(escape, sizeof escape, "\\u%04x",
                      static_cast<unsigned>(static_cast<unsigned char>(character[1])));
        return escape;
    }
    switch (character[0]) {
        case '\n':
            return "\\n";
        case '\t':
            return "\\t";
        case '\r':
            return "\\r";
        case '\'':
            return "\\'";
        case '\\':
            return "\\\\";
        default:
            if (byte < 0x20 || byte == 0x7f) {
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\x%02x", static_cast<unsigned>(byte));
                return escape;
            }
            return std::string(character);
    }
}

std::vector<std::string> escapedCharacters(std::string_view text) {
    std::vector<std::string> characters;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = characterLength(text, at);
        characters.push_back(escapedCharacter(text.substr(at, length)));
        at += length;
    }
    return characters;
}

// How many columns a shown character takes: its escape's length, or one.
std::size_t columnsOf(const std::string& shown) {
    std::size_t columns = 0;
    for (const char c : shown) {
        columns += (static_cast<unsigned char>(c) & 0xc0) != 0x80 ? 1 : 0;
    }
    return columns;
}

}  // namespace

std::string quoted(std::string_view text) {
    std::string result = "'";
    for (const std::string& character : escapedCharacters(text)) {
        result += character;
    }
    result += '\'';
    return result;
}

CaretExcerpt caretExcerpt(std::string_view text, int column, int reach) {
    const std::vector<std::string> characters = escapedCharacters(text);
    const long long count = static_cast<long long>(characters.size());
    const long long at = std::min(std::max(column - 1LL, 0LL), count);
    const long long first = std::max(0LL, at - reach);
    const long long last = std::min(count, at + reach + 1);
    CaretExcerpt excerpt;
    std::size_t caretColumn = 0;
    if (first > 0) {
        excerpt.text = "\u2026";
        caretColumn = 1;
    }
    for (long long k = first; k < last; ++k) {
        excerpt.text += characters[k];
        caretColumn += k < at ? columnsOf(characters[k]) : 0;
    }
    if (last < count) {
        excerpt.text += "\u2026";
    }
    excerpt.caret = std::string(caretColumn, ' ') + "^";
    return excerpt;
}

}  // namespace complexplot
