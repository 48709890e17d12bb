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
// write them instead (NaN and infinity have messages of their own). They are answered before any
// "did you mean", which would offer a function of another meaning (acot is not cot).
constexpr std::pair<std::string_view, std::string_view> kNamesNotInTheLanguage[] = {
    {"acot", "atan(1/z)"},       {"arccot", "atan(1/z)"},   {"asec", "acos(1/z)"},
    {"arcsec", "acos(1/z)"},     {"acsc", "asin(1/z)"},     {"arccsc", "asin(1/z)"},
    {"acoth", "atanh(1/z)"},     {"arcoth", "atanh(1/z)"},  {"asech", "acosh(1/z)"},
    {"acsch", "asinh(1/z)"},     {"sec", "1/cos(z)"},       {"csc", "1/sin(z)"},
    {"coth", "1/tanh(z)"},       {"sech", "1/cosh(z)"},     {"csch", "1/sinh(z)"},
    {"log10", "log(z)/log(10)"}, {"log2", "log(z)/log(2)"},
};

class Parser {
public:
    explicit Parser(std::string_view text) : text_(text) { advance(); }

    ParsedExpression parse() {
        ParsedExpression parsed;
        parsed.root = sum();
        if (token_.kind != Token::Kind::end) {
            fail(token_.offset, ExpressionMessage::expectedOperatorOrEnd, {describe(token_)});
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

    [[noreturn]] void fail(std::size_t offset, ExpressionMessage message,
                           std::vector<std::string> arguments = {}) const {
        throw ExpressionError(columnOf(offset), message, std::move(arguments));
    }

    std::string_view textOf(const Token& token) const {
        return text_.substr(token.offset, token.length);
    }

    // What was found, quoted; empty at the end of the text.
    std::string describe(const Token& token) const {
        if (token.kind == Token::Kind::end) {
            return "";
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
                fail(at, ExpressionMessage::controlCharacter);
            }
            if (c == '|') {
                const std::size_t close = text_.find('|', at + 1);
                fail(at, ExpressionMessage::modulusBars,
                     {quoted("abs(" +
                             std::string(close == std::string_view::npos
                                             ? std::string_view("z")
                                             : text_.substr(at + 1, close - at - 1)) +
                             ")")});
            }
            fail(at, ExpressionMessage::unexpectedCharacter, {quoted(text_.substr(at, length))});
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
                fail(at, ExpressionMessage::digitsAroundPoint);
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
            fail(at, ExpressionMessage::numberOutOfRange, {std::string(digits)});
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
                parser_.fail(parser_.token_.offset, ExpressionMessage::nestsTooDeep,
                             {std::to_string(kDeepestNesting)});
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
                fail(secondAt, ExpressionMessage::doubleStarPower,
                     {quoted(std::string(text_.substr(start, operatorAt - start)) + "^" +
                             std::string(textOf(token_)))});
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
    struct Complaint {
        ExpressionMessage message;
        std::vector<std::string> arguments;
    };
    std::optional<Complaint> aboutTheNumber(const Token& number) const {
        const std::string digits(textOf(number));
        const std::string next(textOf(token_));
        const bool adjacent = token_.offset == number.offset + number.length;
        if (adjacent && token_.kind == Token::Kind::name && (next == "e" || next == "E")) {
            return Complaint{ExpressionMessage::exponentWithoutDigits,
                             {quoted(digits + next), digits + next + "3"}};
        }
        if (adjacent && token_.kind == Token::Kind::name && digits == "0" &&
            (next[0] == 'x' || next[0] == 'X')) {
            return Complaint{ExpressionMessage::hexadecimalNumber, {quoted(digits + next)}};
        }
        if (adjacent && token_.kind == Token::Kind::name &&
            next.find_first_not_of('i') == std::string::npos) {
            return Complaint{ExpressionMessage::numberWithManyI,
                             {quoted(digits + next), digits + "i"}};
        }
        if (adjacent && token_.kind == Token::Kind::number && next[0] == '.') {
            return Complaint{ExpressionMessage::numberWithManyPoints, {quoted(digits + next)}};
        }
        if (exponentDepth_ > 0) {
            return Complaint{
                ExpressionMessage::operatorAfterExponent,
                {quoted(digits), describe(token_), quoted("^(" + digits + "*" + next + ")")}};
        }
        return std::nullopt;
    }

    // operand := number | z | i | pi | e | function '(' sum ')' | '(' sum ')'
    int operand() {
        const Token first = token_;
        const int value = operandWithoutCheck();
        // Two operands in a row, as in 2z: a product must be written.
        if (token_.kind == Token::Kind::number || token_.kind == Token::Kind::name ||
            isSymbol('(')) {
            if (first.kind == Token::Kind::number) {
                if (std::optional<Complaint> complaint = aboutTheNumber(first)) {
                    fail(token_.offset, complaint->message, std::move(complaint->arguments));
                }
            }
            std::string before(text_.substr(first.offset, token_.offset - first.offset));
            while (!before.empty() && std::isspace(static_cast<unsigned char>(before.back()))) {
                before.pop_back();
            }
            fail(token_.offset, ExpressionMessage::expectedOperatorBefore,
                 {describe(token_), quoted(before + "*" + std::string(textOf(token_)))});
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
        fail(token.offset, ExpressionMessage::expectedOperand, {describe(token)});
    }

    void expectClosing(const Token& opening) {
        if (!isSymbol(')')) {
            fail(token_.offset, ExpressionMessage::expectedClosing,
                 {std::to_string(columnOf(opening.offset)), describe(token_)});
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
                    fail(token_.offset, ExpressionMessage::expectedOpening,
                         {std::string(textOf(token)), describe(token_)});
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
            fail(token.offset, ExpressionMessage::nameNotLowerCase, {quoted(name), lower});
        }
        if (lower == "nan") {
            fail(token.offset, ExpressionMessage::noNaNConstant, {quoted(name)});
        }
        if (lower == "inf" || lower == "infinity") {
            fail(token.offset, ExpressionMessage::noInfinity, {quoted(name)});
        }
        for (const auto& [missing, instead] : kNamesNotInTheLanguage) {
            if (lower == missing) {
                fail(token.offset, ExpressionMessage::nameWrittenOtherwise,
                     {quoted(name), std::string(missing), std::string(instead)});
            }
        }
        const std::string nearest = nearestName(lower, allNames());
        if (!nearest.empty()) {
            fail(token.offset, ExpressionMessage::unknownNameDidYouMean,
                 {quoted(name), nearest, knownFunctionNames()});
        }
        fail(token.offset, ExpressionMessage::unknownName, {quoted(name), knownFunctionNames()});
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

std::string knownFunctionNames() {
    std::string names;
    for (const FunctionName& function : knownFunctions()) {
        names += names.empty() ? "" : " ";
        names += function.name;
    }
    return names;
}

}  // namespace complexplot
