#include "quoted_text.h"

#include <algorithm>
#include <cstdio>
#include <string>
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

// The code point of one well-formed UTF-8 character.
char32_t codePoint(std::string_view character) {
    const auto lead = static_cast<unsigned char>(character[0]);
    if (character.size() == 1) {
        return lead;
    }
    char32_t point = lead & (0x7f >> character.size());
    for (std::size_t k = 1; k < character.size(); ++k) {
        point = (point << 6) | (static_cast<unsigned char>(character[k]) & 0x3f);
    }
    return point;
}

// Characters that show as nothing, or as a blank that cannot be told from a
// space, or that turn the text around it: no-break and other spaces, the
// zero-width characters, soft hyphen, line and paragraph separators, the
// bidirectional controls, the byte-order mark and the tags.
bool isInvisible(char32_t point) {
    return point == 0xa0 || point == 0xad || point == 0x34f || point == 0x61c || point == 0x115f ||
           point == 0x1160 || point == 0x17b4 || point == 0x17b5 || point == 0x180e ||
           (point >= 0x2000 && point <= 0x200f) || (point >= 0x2028 && point <= 0x202f) ||
           (point >= 0x205f && point <= 0x206f) || point == 0x3000 || point == 0x3164 ||
           point == 0xfeff || (point >= 0xfff9 && point <= 0xfffb) ||
           (point >= 0xe0000 && point <= 0xe007f);
}

std::string byteEscapes(std::string_view bytes) {
    std::string escapes;
    for (const char c : bytes) {
        char escape[8];
        std::snprintf(escape, sizeof escape, "\\x%02x",
                      static_cast<unsigned>(static_cast<unsigned char>(c)));
        escapes += escape;
    }
    return escapes;
}

// One character as a message shows it: itself, or an escape.
std::string escapedCharacter(std::string_view character) {
    const auto byte = static_cast<unsigned char>(character[0]);
    if (byte >= 0x80 && !isUtf8(character)) {
        return byteEscapes(character);
    }
    if (const char32_t point = codePoint(character); isInvisible(point)) {
        char escape[16];
        std::snprintf(escape, sizeof escape, point > 0xffff ? "\\U%08x" : "\\u%04x",
                      static_cast<unsigned>(point));
        return escape;
    }
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

std::string escaped(std::string_view text) {
    const std::string inQuotes = quoted(text);
    return inQuotes.substr(1, inQuotes.size() - 2);
}

bool isUtf8(std::string_view text) {
    for (std::size_t at = 0; at < text.size();) {
        const auto lead = static_cast<unsigned char>(text[at]);
        const std::size_t length = lead < 0x80                   ? 1
                                   : lead >= 0xc2 && lead < 0xe0 ? 2
                                   : lead >= 0xe0 && lead < 0xf0 ? 3
                                   : lead >= 0xf0 && lead < 0xf5 ? 4
                                                                 : 0;
        if (length == 0 || at + length > text.size()) {
            return false;
        }
        for (std::size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(text[at + k]) & 0xc0) != 0x80) {
                return false;
            }
        }
        // No overlong forms, surrogates or code points past U+10FFFF.
        const auto second =
            static_cast<unsigned char>(text[at + std::min<std::size_t>(1, length - 1)]);
        if ((lead == 0xe0 && second < 0xa0) || (lead == 0xed && second >= 0xa0) ||
            (lead == 0xf0 && second < 0x90) || (lead == 0xf4 && second >= 0x90)) {
            return false;
        }
        at += length;
    }
    return true;
}

namespace {

// Letters added, dropped, changed, or two neighbours swapped: the
// optimal string alignment distance.
std::size_t editDistance(std::string_view a, std::string_view b) {
    std::vector<std::vector<std::size_t>> d(a.size() + 1, std::vector<std::size_t>(b.size() + 1));
    for (std::size_t i = 0; i <= a.size(); ++i)
        d[i][0] = i;
    for (std::size_t j = 0; j <= b.size(); ++j)
        d[0][j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t change = a[i - 1] == b[j - 1] ? 0 : 1;
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + change});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
            }
        }
    }
    return d[a.size()][b.size()];
}

}  // namespace

std::string nearestName(std::string_view word, const std::vector<std::string>& names) {
    if (word.size() > 64) {
        return {};
    }
    std::string nearest;
    std::size_t best = std::max<std::size_t>(1, std::min<std::size_t>(2, word.size() / 2));
    for (const std::string& name : names) {
        const std::size_t distance = editDistance(word, name);
        if (distance <= best && (nearest.empty() || distance < best)) {
            nearest = name;
            best = distance;
        }
    }
    return nearest;
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
