#include "quoted_text.h"

#include <cstdio>

namespace complexplot {

std::string quoted(std::string_view text) {
    std::string result = "'";
    for (std::size_t index = 0; index < text.size(); ++index) {
        const char character = text[index];
        const auto byte = static_cast<unsigned char>(character);
        // U+0080..U+009F, the C1 controls in UTF-8, which some terminals
        // obey as escape sequences.
        const auto next = index + 1 < text.size() ? static_cast<unsigned char>(text[index + 1]) : 0;
        if (byte == 0xc2 && next >= 0x80 && next <= 0x9f) {
            char escape[7];
            std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(next));
            ++index;
            result += escape;
            continue;
        }
        switch (character) {
            case '\n':
                result += "\\n";
                break;
            case '\t':
                result += "\\t";
                break;
            case '\r':
                result += "\\r";
                break;
            case '\'':
                result += "\\'";
                break;
            case '\\':
                result += "\\\\";
                break;
            default:
                if (byte < 0x20 || byte == 0x7f) {
                    char escape[5];
                    std::snprintf(escape, sizeof escape, "\\x%02x", byte);
                    result += escape;
                } else {
                    result += character;
                }
        }
    }
    result += '\'';
    return result;
}

}  // namespace complexplot
