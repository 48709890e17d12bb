#include "parser.h"

#include <pthread.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <exception>
#include <new>
#include <numbers>
#include <optional>
#include <utility>
#include <vector>

#include "quoted_text.h"

namespace complexplot {

namespace {

// Parentheses, signs and powers may nest this deep: deeper input would
// exhaust the stack of a reader that recurses.
constexpr int kDeepestNesting = 200;

bool isNameStart(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) != 0 || c == '_';
}

bool isNamePart(char c) {
    return isNameStart(c) || std::isdigit(static_cast<unsigned char>(c)) != 0;
}

// Whether a number written as digits, a point and an exponent is below 1:
// its first non-zero digit stands after the point once the exponent is
// applied. The exponent is read saturated, so that no length of digits
// overflows.
bool isBelowOne(std::string_view number) {
    long long exponent = 0;
    const std::size_t e = number.find_first_of("eE");
    if (e != std::string_view::npos) {
        std::size_t k = e + 1;
        const bool negative = k < number.size() && number[k] == '-';
        k += k < number.size() && (number[k] == '-' || number[k] == '+') ? 1 : 0;
        for (; k < number.size(); ++k) {
            exponent = std::min(exponent * 10 + (number[k] - '0'), 1000000000LL);
        }
        exponent = negative ? -exponent : exponent;
    }
    const std::string_view mantissa = number.substr(0, e);
    const std::size_t point = std::min(mantissa.find('.'), mantissa.size());
    const std::size_t firstDigit = mantissa.find_first_of("123456789");
    if (firstDigit == std::string_view::npos) {
        return true;
    }
    // The power of ten of the first non-zero digit.
    const long long place = firstDigit < point ? static_cast<long long>(point - firstDigit) - 1
                                               : -static_cast<long long>(firstDigit - point);
    return place + exponent < 0;
}

struct Token {
    enum class Kind { number, name, symbol, end };
    Kind kind = Kind::end;
    std::size_t offset = 0;
    std::size_t length = 0;
    double value = 0.0;
    bool imaginary = false;
};

// Names that people write which the language does not have, with how to
// write them instead. They are answered before any "did you mean", which
// would offer a function of another meaning (acot is not cot).
constexpr std::pair<std::string_view, std::string_view> kNamesNotInTheLanguage[] = {
    {"acot", "for acot(z) write atan(1/z)"},     {"arccot", "for arccot(z) write atan(1/z)"},
    {"asec", "for asec(z) write acos(1/z)"},     {"arcsec", "for arcsec(z) write acos(1/z)"},
    {"acsc", "for acsc(z) write asin(1/z)"},     {"arccsc", "for arccsc(z) write asin(1/z)"},
    {"acoth", "for acoth(z) write atanh(1/z)"},  {"arcoth", "for arcoth(z) write atanh(1/z)"},
    {"asech", "for asech(z) write acosh(1/z)"},  {"acsch", "for acsch(z) write asinh(1/z)"},
    {"sec", "for sec(z) write 1/cos(z)"},        {"csc", "for csc(z) write 1/sin(z)"},
    {"coth", "for coth(z) write 1/tanh(z)"},     {"sech", "for sech(z) write 1/cosh(z)"},
    {"csch", "for csch(z) write 1/sinh(z)"},     {"log10", "for log10(z) write log(z)/log(10)"},
    {"log2", "for log2(z) write log(z)/log(2)"}, {"nan", "the language has no NaN constant"},
    {"inf", "the language has no infinity"},     {"infinity", "the language has no infinity"},
};

class Parser {
public:
    explicit Parser(std::string_view text) : text_(text) { advance(); }

    ParsedExpression parse() {
        ParsedExpression parsed;
        parsed.root = sum();
        if (token_.kind != Token::Kind::end) {
            fail(token_.offset, "expected an operator or the end, not " + describe(token_));
        }
        parsed.graph = std::move(graph_);
        return parsed;
    }

private:
    // Columns count characters from 1, not the bytes of their UTF-8 form.
    int columnOf(std::size_t offset) const {
        int column = 1;
        for (std::size_t k = 0; k < offset && k < text_.size(); ++k) {
            column += (static_cast<unsigned char>(text_[k]) & 0xc0) != 0x80 ? 1 : 0;
        }
        return column;
    }

    [[noreturn]] void fail(std::size_t offset, const std::string& message) const {
        throw ExpressionError(columnOf(offset), message);
    }

    std::string_view textOf(const Token& token) const {
        return text_.substr(token.offset, token.length);
    }

    std::string describe(const Token& token) const {
        if (token.kind == Token::Kind::end) {
            return "the end";
        }
        return quoted(textOf(token));
    }

    bool isSymbol(char symbol) const {
        return token_.kind == Token::Kind::symbol && text_[token_.offset] == symbol;
    }

    void advance() {
        std::size_t at = token_.offset + token_.length;
        while (at < text_.size() && std::isspace(static_cast<unsigned char>(text_[at])) != 0) {
            ++at;
        }
        token_ = Token{Token::Kind::end, at, 0};
        if (at == text_.size()) {
            return;
        }
        const char c = text_[at];
        if (std::isdigit(static_cast<unsigned char>(c)) != 0 || c == '.') {
            readNumber(at);
        } else if (isNameStart(c)) {
            std::size_t end = at;
            while (end < text_.size() && isNamePart(text_[end])) {
                ++end;
            }
            token_ = Token{Token::Kind::name, at, end - at};
        } else if (std::string_view("+-*/^()").find(c) != std::string_view::npos) {
            token_ = Token{Token::Kind::symbol, at, 1};
        } else {
            std::size_t length = 1;
            while (at + length < text_.size() &&
                   (static_cast<unsigned char>(text_[at + length]) & 0xc0) == 0x80) {
                ++length;
            }
            const auto byte = static_cast<unsigned char>(c);
            const auto next = length > 1 ? static_cast<unsigned char>(text_[at + 1])
                                         : static_cast<unsigned char>(0);
            if (byte < 0x20 || byte == 0x7f || (byte == 0xc2 && next < 0xa0)) {
                // Never echoed: it could steer the terminal the message is shown on.
                fail(at, "unexpected control character");
            }
            if (c == '|') {
                const std::size_t close = text_.find('|', at + 1);
                fail(at, "unexpected character '|': for the modulus write " +
                             quoted("abs(" +
                                    std::string(close == std::string_view::npos
                                                    ? std::string_view("z")
                                                    : text_.substr(at + 1, close - at - 1)) +
                                    ")"));
            }
            fail(at, "unexpected character " + quoted(text_.substr(at, length)));
        }
    }

    // Digits with an optional point and exponent; an i straight after the
    // number makes it imaginary.
    void readNumber(std::size_t at) {
        auto digitsFrom = [&](std::size_t k) {
            while (k < text_.size() && std::isdigit(static_cast<unsigned char>(text_[k])) != 0) {
                ++k;
            }
            return k;
        };
        std::size_t end = digitsFrom(at);
        const bool digitsBefore = end > at;
        if (end < text_.size() && text_[end] == '.') {
            const std::size_t afterPoint = digitsFrom(end + 1);
            if (!digitsBefore && afterPoint == end + 1) {
                fail(at, "expected digits around '.'");
            }
            end = afterPoint;
        }
        if (end < text_.size() && (text_[end] == 'e' || text_[end] == 'E')) {
            std::size_t exponent = end + 1;
            if (exponent < text_.size() && (text_[exponent] == '+' || text_[exponent] == '-')) {
                ++exponent;
            }
            const std::size_t exponentEnd = digitsFrom(exponent);
            if (exponentEnd > exponent) {
                end = exponentEnd;
            }
        }
        double value = 0.0;
        const std::string_view digits = text_.substr(at, end - at);
        const auto [stop, error] =
            std::from_chars(digits.data(), digits.data() + digits.size(), value);
        if (error == std::errc::result_out_of_range && isBelowOne(digits)) {
            // Too small for even the least subnormal: the nearest double is
            // zero, as C++ and Python read it.
            value = 0.0;
        } else if (error != std::errc() || stop != digits.data() + digits.size()) {
            fail(at,
                 "the number " + std::string(digits) + " is out of the range of double precision");
        }
        bool imaginary = false;
        if (end < text_.size() && text_[end] == 'i' &&
            (end + 1 == text_.size() || !isNamePart(text_[end + 1]))) {
            imaginary = true;
            ++end;
        }
        token_ = Token{Token::Kind::number, at, end - at, value, imaginary};
    }

    struct Nesting {
        explicit Nesting(Parser& parser) : parser_(parser) {
            if (++parser_.depth_ > kDeepestNesting) {
                parser_.fail(parser_.token_.offset, "the expression nests deeper than " +
                                                        std::to_string(kDeepestNesting) +
                                                        " levels");
            }
        }
        ~Nesting() { --parser_.depth_; }
        Parser& parser_;
    };

    // sum := product (('+' | '-') product)*
    int sum() {
        int value = product();
        while (isSymbol('+') || isSymbol('-')) {
            const Operation operation = isSymbol('+') ? Operation::add : Operation::subtract;
            advance();
            value = graph_.binary(operation, value, product());
        }
        return value;
    }

    // product := signed (('*' | '/') signed)*
    int product() {
        std::size_t start = token_.offset;
        int value = signedPower();
        while (isSymbol('*') || isSymbol('/')) {
            const Operation operation = isSymbol('*') ? Operation::multiply : Operation::divide;
            const std::size_t operatorAt = token_.offset;
            advance();
            if (operation == Operation::multiply && isSymbol('*')) {
                // z**2, as some languages write a power.
                const std::size_t secondAt = token_.offset;
                advance();
                fail(secondAt, "unexpected '*': a power is written with ^, as in " +
                                   quoted(std::string(text_.substr(start, operatorAt - start)) +
                                          "^" + std::string(textOf(token_))));
            }
            start = token_.offset;
            value = graph_.binary(operation, value, signedPower());
        }
        return value;
    }

    // signed := ('-' | '+') signed | power. The sign applies to the power,
    // so -z^2 is -(z^2).
    int signedPower() {
        const Nesting nesting(*this);
        if (isSymbol('-')) {
            advance();
            return graph_.unary(Operation::negate, signedPower());
        }
        if (isSymbol('+')) {
            advance();
            return signedPower();
        }
        return power();
    }

    // power := operand ('^' signed)?  The exponent may itself be a power,
    // so 2^3^2 is 2^(3^2), and may carry a sign, as in z^-1.
    int power() {
        const int base = operand();
        if (!isSymbol('^')) {
            return base;
        }
        advance();
        ++exponentDepth_;
        const int exponent = signedPower();
        --exponentDepth_;
        return graph_.power(base, exponent);
    }

    // Inside parentheses an operand is no longer an exponent's.
    int sumInParentheses() {
        const int outerExponentDepth = exponentDepth_;
        exponentDepth_ = 0;
        const int value = sum();
        exponentDepth_ = outerExponentDepth;
        return value;
    }

    // What is wrong with a number that an operand follows with no operator,
    // where a product is not what was meant: a number cut short or written
    // in a form not read here, or an exponent followed by more.
    std::string aboutTheNumber(const Token& number) const {
        const std::string digits(textOf(number));
        const std::string next(textOf(token_));
        const bool adjacent = token_.offset == number.offset + number.length;
        if (adjacent && token_.kind == Token::Kind::name && (next == "e" || next == "E")) {
            return "the number " + quoted(digits + next) +
                   " has no digits in its exponent: write them, as in " + digits + next + "3";
        }
        if (adjacent && token_.kind == Token::Kind::name && digits == "0" &&
            (next[0] == 'x' || next[0] == 'X')) {
            return "the number " + quoted(digits + next) +
                   " is hexadecimal, which is not read here: write it in decimal";
        }
        if (adjacent && token_.kind == Token::Kind::name &&
            next.find_first_not_of('i') == std::string::npos) {
            return "the number " + quoted(digits + next) +
                   " has more than one i: an imaginary number takes one, as in " + digits + "i";
        }
        if (adjacent && token_.kind == Token::Kind::number && next[0] == '.') {
            return "the number " + quoted(digits + next) + " has more than one decimal point";
        }
        if (exponentDepth_ > 0) {
            return "expected an operator after the exponent " + quoted(digits) + ", before " +
                   describe(token_) +
                   ": an exponent that is a product goes in parentheses, as in " +
                   quoted("^(" + digits + "*" + next + ")");
        }
        return "";
    }

    // operand := number | z | i | pi | e | function '(' sum ')' | '(' sum ')'
    int operand() {
        const Token first = token_;
        const int value = operandWithoutCheck();
        // Two operands in a row, as in 2z: a product must be written.
        if (token_.kind == Token::Kind::number || token_.kind == Token::Kind::name ||
            isSymbol('(')) {
            if (first.kind == Token::Kind::number) {
                if (const std::string message = aboutTheNumber(first); !message.empty()) {
                    fail(token_.offset, message);
                }
            }
            std::string before(text_.substr(first.offset, token_.offset - first.offset));
            while (!before.empty() && std::isspace(static_cast<unsigned char>(before.back()))) {
                before.pop_back();
            }
            fail(token_.offset, "expected an operator before " + describe(token_) +
                                    ": for a product write " +
                                    quoted(before + "*" + std::string(textOf(token_))));
        }
        return value;
    }

    int operandWithoutCheck() {
        const Token token = token_;
        if (token.kind == Token::Kind::number) {
            advance();
            return token.imaginary ? graph_.constant(ComplexValue(0.0, token.value), false)
                                   : graph_.constant(token.value, true);
        }
        if (isSymbol('(')) {
            advance();
            const int value = sumInParentheses();
            expectClosing(token);
            return value;
        }
        if (token.kind == Token::Kind::name) {
            return named(token);
        }
        fail(token.offset, "expected a number, a name or '(', not " + describe(token));
    }

    void expectClosing(const Token& opening) {
        if (!isSymbol(')')) {
            fail(token_.offset, "expected ')' to close the '(' at column " +
                                    std::to_string(columnOf(opening.offset)) + ", not " +
                                    describe(token_));
        }
        advance();
    }

    int named(const Token& token) {
        const std::string_view name = canonicalName(textOf(token));
        advance();
        if (name == "z") return graph_.variable();
        if (name == "i") return graph_.constant(ComplexValue(0.0, 1.0), false);
        if (name == "pi") return graph_.constant(std::numbers::pi, true);
        if (name == "e") return graph_.constant(std::numbers::e, true);
        for (const FunctionName& function : knownFunctions()) {
            if (function.name == name) {
                if (!isSymbol('(')) {
                    fail(token_.offset, "expected '(' after " + std::string(textOf(token)) +
                                            ", not " + describe(token_));
                }
                const Token opening = token_;
                advance();
                const int argument = sumInParentheses();
                expectClosing(opening);
                return graph_.unary(function.operation, argument);
            }
        }
        std::string lower(name);
        for (char& c : lower) {
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        if (lower != name && isKnownName(std::string(canonicalName(lower)))) {
            fail(token.offset,
                 "unknown name " + quoted(name) + ": names are lower case, write " + lower);
        }
        for (const auto& [missing, instead] : kNamesNotInTheLanguage) {
            if (lower == missing) {
                fail(token.offset, "unknown name " + quoted(name) + ": " + std::string(instead));
            }
        }
        const std::string nearest = nearestName(lower, allNames());
        fail(token.offset, "unknown name " + quoted(name) + ": " +
                               (nearest.empty() ? "" : "did you mean " + nearest + "? ") +
                               "the known names are " + knownNames());
    }

    // Other names in common use for the same functions.
    static std::string_view canonicalName(std::string_view name) {
        static constexpr std::pair<std::string_view, std::string_view> kAliases[] = {
            {"arctan", "atan"},   {"arcsin", "asin"},  {"arccos", "acos"},   {"arsinh", "asinh"},
            {"arcosh", "acosh"},  {"artanh", "atanh"}, {"arcsinh", "asinh"}, {"arccosh", "acosh"},
            {"arctanh", "atanh"}, {"ln", "log"}};
        for (const auto& [alias, name_] : kAliases) {
            if (alias == name) {
                return name_;
            }
        }
        return name;
    }

    static std::vector<std::string> allNames() {
        std::vector<std::string> names = {"z", "i", "pi", "e"};
        for (const FunctionName& function : knownFunctions()) {
            names.emplace_back(function.name);
        }
        for (const char* alias : {"arctan", "arcsin", "arccos", "arsinh", "arcosh", "artanh",
                                  "arcsinh", "arccosh", "arctanh", "ln"}) {
            names.emplace_back(alias);
        }
        return names;
    }

    static bool isKnownName(const std::string& name) {
        if (name == "z" || name == "i" || name == "pi" || name == "e") {
            return true;
        }
        for (const FunctionName& function : knownFunctions()) {
            if (function.name == name) {
                return true;
            }
        }
        return false;
    }

    std::string_view text_;
    Token token_;
    ExpressionGraph graph_;
    int depth_ = 0;
    // How many exponents the operand being read lies in, outside parentheses.
    int exponentDepth_ = 0;
};

}  // namespace

namespace {

// The reader recurses, a few frames for each level of nesting, about 1.5 KB
// a level in an optimised build and several times that under the
// sanitizers; the stack of the calling thread may be as small as the user's
// limit makes it. So the reading runs on a thread of its own whose stack is
// large enough for the deepest nesting allowed, whatever that limit.
constexpr std::size_t kReaderStack = std::size_t{8} << 20;

struct Reading {
    std::string_view text;
    std::optional<ParsedExpression> parsed;
    std::exception_ptr failure;
};

void* readOnThisThread(void* argument) {
    auto* reading = static_cast<Reading*>(argument);
    try {
        reading->parsed = Parser(reading->text).parse();
    } catch (...) {
        reading->failure = std::current_exception();
    }
    return nullptr;
}

}  // namespace

ParsedExpression parseExpression(std::string_view text) {
    Reading reading{text, std::nullopt, nullptr};
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setstacksize(&attributes, kReaderStack);
    pthread_t reader;
    const int started = pthread_create(&reader, &attributes, readOnThisThread, &reading);
    pthread_attr_destroy(&attributes);
    if (started != 0) {
        // No memory, or no thread, for the stack.
        throw std::bad_alloc();
    }
    pthread_join(reader, nullptr);
    if (reading.failure) {
        std::rethrow_exception(reading.failure);
    }
    return std::move(*reading.parsed);
}

std::string knownNames() {
    std::string names = "z, i, pi, e and the functions";
    for (const FunctionName& function : knownFunctions()) {
        names += " ";
        names += function.name;
    }
    return names;
}

}  // namespace complexplot
