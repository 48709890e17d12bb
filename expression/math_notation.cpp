#include "math_notation.h"

#include <cctype>

namespace complexplot {

namespace {

bool isDigit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

bool isNameStart(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) != 0 || c == '_';
}

bool isNamePart(char c) {
    return isNameStart(c) || isDigit(c);
}

// Where the number, or the name, that starts at `at` ends.
std::size_t tokenEnd(std::string_view text, std::size_t at) {
    std::size_t end = at;
    if (isNameStart(text[at])) {
        while (end < text.size() && isNamePart(text[end]))
            ++end;
        return end;
    }
    while (end < text.size() && (isDigit(text[end]) || text[end] == '.'))
        ++end;
    if (end < text.size() && (text[end] == 'e' || text[end] == 'E')) {
        std::size_t exponent = end + 1;
        if (exponent < text.size() && (text[exponent] == '+' || text[exponent] == '-')) ++exponent;
        if (exponent < text.size() && isDigit(text[exponent])) {
            end = exponent;
            while (end < text.size() && isDigit(text[end]))
                ++end;
        }
    }
    if (end < text.size() && text[end] == 'i' &&
        (end + 1 == text.size() || !isNamePart(text[end + 1]))) {
        ++end;
    }
    return end;
}

std::size_t skipBlanks(std::string_view text, std::size_t at) {
    while (at < text.size() && (text[at] == ' ' || text[at] == '\t'))
        ++at;
    return at;
}

// The exponent after a '^' at `at`, as superscripts, when it is a whole
// number with an optional sign and nothing joined to it; `end` is then
// where it ends.
std::string superscript(std::string_view text, std::size_t at, std::size_t& end) {
    static const char* const kDigits[] = {"⁰", "¹", "²", "³", "⁴", "⁵", "⁶", "⁷", "⁸", "⁹"};
    std::size_t k = skipBlanks(text, at);
    std::string raised;
    if (k < text.size() && (text[k] == '-' || text[k] == '+')) {
        raised = text[k] == '-' ? "⁻" : "⁺";
        ++k;
    }
    const std::size_t digits = k;
    while (k < text.size() && isDigit(text[k])) {
        raised += kDigits[text[k] - '0'];
        ++k;
    }
    const bool joined = k < text.size() && (isNamePart(text[k]) || text[k] == '.');
    if (k == digits || joined) {
        return "";
    }
    end = k;
    return raised;
}

}  // namespace

std::string mathNotation(std::string_view text) {
    std::string printed;
    // What the last token was, for the product sign.
    bool afterNumber = false;
    for (std::size_t at = 0; at < text.size();) {
        const char c = text[at];
        if (isNameStart(c) || isDigit(c) || c == '.') {
            const std::size_t end = tokenEnd(text, at);
            const std::string_view token = text.substr(at, end - at);
            afterNumber = !isNameStart(c);
            if (token == "pi") {
                printed += "π";
            } else if (token == "sqrt" && skipBlanks(text, end) < text.size() &&
                       text[skipBlanks(text, end)] == '(') {
                // √z for a root of one token, else √( … ).
                const std::size_t open = skipBlanks(text, end);
                const std::size_t inner = skipBlanks(text, open + 1);
                const std::size_t innerEnd =
                    inner < text.size() && (isNamePart(text[inner]) || text[inner] == '.')
                        ? tokenEnd(text, inner)
                        : inner;
                const std::size_t close = skipBlanks(text, innerEnd);
                if (innerEnd > inner && close < text.size() && text[close] == ')') {
                    const std::string_view argument = text.substr(inner, innerEnd - inner);
                    printed += "√";
                    printed += argument == "pi" ? std::string("π") : std::string(argument);
                    at = close + 1;
                    afterNumber = false;
                    continue;
                }
                printed += "√";
            } else {
                printed += token;
            }
            at = end;
            continue;
        }
        std::size_t end = at + 1;
        if (c == '^') {
            const std::string raised = superscript(text, at + 1, end);
            printed += raised.empty() ? "^" : raised;
            if (raised.empty()) end = at + 1;
        } else if (c == '*') {
            const std::size_t next = skipBlanks(text, at + 1);
            const bool nameNext =
                next < text.size() && (isNameStart(text[next]) || text[next] == '(');
            printed += afterNumber && nameNext ? "\u2009" : "·";
        } else if (c == '-') {
            printed += "−";
        } else {
            printed += c;
        }
        if (c != ' ' && c != '\t') afterNumber = false;
        at = end;
    }
    return printed;
}

}  // namespace complexplot
