#include "expression_error.h"

#include <utility>

namespace complexplot {

const char* englishPattern(ExpressionMessage message) {
    switch (message) {
        case ExpressionMessage::expectedOperatorOrEnd:
            return "expected an operator or the end, not %1";
        case ExpressionMessage::expectedOperand:
            return "expected a number, a name or '(', not %1";
        case ExpressionMessage::expectedOperatorBefore:
            return "expected an operator before %1: for a product write %2";
        case ExpressionMessage::expectedClosing:
            return "expected ')' to close the '(' at column %1, not %2";
        case ExpressionMessage::expectedOpening:
            return "expected '(' after %1, not %2";
        case ExpressionMessage::operatorAfterExponent:
            return "expected an operator after the exponent %1, before %2: an exponent that is a "
                   "product goes in parentheses, as in %3";
        case ExpressionMessage::controlCharacter:
            return "unexpected control character";
        case ExpressionMessage::unexpectedCharacter:
            return "unexpected character %1";
        case ExpressionMessage::modulusBars:
            return "unexpected character '|': for the modulus write %1";
        case ExpressionMessage::doubleStarPower:
            return "unexpected '*': a power is written with ^, as in %1";
        case ExpressionMessage::digitsAroundPoint:
            return "expected digits around '.'";
        case ExpressionMessage::numberOutOfRange:
            return "the number %1 is out of the range of double precision";
        case ExpressionMessage::exponentWithoutDigits:
            return "the number %1 has no digits in its exponent: write them, as in %2";
        case ExpressionMessage::hexadecimalNumber:
            return "the number %1 is hexadecimal, which is not read here: write it in decimal";
        case ExpressionMessage::numberWithManyI:
            return "the number %1 has more than one i: an imaginary number takes one, as in %2";
        case ExpressionMessage::numberWithManyPoints:
            return "the number %1 has more than one decimal point";
        case ExpressionMessage::nestsTooDeep:
            return "the expression nests deeper than %1 levels";
        case ExpressionMessage::nameNotLowerCase:
            return "unknown name %1: names are lower case, write %2";
        case ExpressionMessage::nameWrittenOtherwise:
            return "unknown name %1: for %2(z) write %3";
        case ExpressionMessage::noNaNConstant:
            return "unknown name %1: the language has no NaN constant";
        case ExpressionMessage::noInfinity:
            return "unknown name %1: the language has no infinity";
        case ExpressionMessage::unknownNameDidYouMean:
            return "unknown name %1: did you mean %2? the known names are z, i, pi, e and the "
                   "functions %3";
        case ExpressionMessage::unknownName:
            return "unknown name %1: the known names are z, i, pi, e and the functions %2";
    }
    return "";
}

std::string englishText(ExpressionMessage message, const std::vector<std::string>& arguments) {
    const std::string pattern = englishPattern(message);
    std::string text;
    for (std::size_t k = 0; k < pattern.size(); ++k) {
        const char next = k + 1 < pattern.size() ? pattern[k + 1] : '\0';
        if (pattern[k] == '%' && next >= '1' && next <= '9') {
            const auto index = static_cast<std::size_t>(next - '1');
            if (index < arguments.size()) {
                text += arguments[index].empty() ? "the end" : arguments[index];
            }
            ++k;
        } else {
            text += pattern[k];
        }
    }
    return text;
}

ExpressionError::ExpressionError(int column, ExpressionMessage message,
                                 std::vector<std::string> arguments)
    : std::runtime_error(englishText(message, arguments)),
      column_(column),
      message_(message),
      arguments_(std::move(arguments)) {}

}  // namespace complexplot
