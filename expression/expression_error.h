#pragma once

#include <stdexcept>
#include <string>
#include <vector>

namespace complexplot {

// What the reader found wrong. A program that shows the message in another
// language looks it up by this, and fills in the arguments as the English
// text below does.
enum class ExpressionMessage {
    expectedOperatorOrEnd,   // %1 what was found
    expectedOperand,         // %1 what was found
    expectedOperatorBefore,  // %1 what was found, %2 the product to write
    expectedClosing,         // %1 the column of '(', %2 what was found
    expectedOpening,         // %1 the function's name, %2 what was found
    operatorAfterExponent,   // %1 the exponent, %2 what was found, %3 what to write
    controlCharacter,
    unexpectedCharacter,  // %1 the character
    modulusBars,          // %1 what to write
    doubleStarPower,      // %1 what to write
    digitsAroundPoint,
    numberOutOfRange,       // %1 the number
    exponentWithoutDigits,  // %1 the number, %2 an example
    hexadecimalNumber,      // %1 the number
    numberWithManyI,        // %1 the number, %2 an example
    numberWithManyPoints,   // %1 the number
    nestsTooDeep,           // %1 how many levels are allowed
    nameNotLowerCase,       // %1 the name, %2 the name in lower case
    nameWrittenOtherwise,   // %1 the name, %2 the function, %3 what to write
    noNaNConstant,          // %1 the name
    noInfinity,             // %1 the name
    unknownNameDidYouMean,  // %1 the name, %2 the nearest, %3 the functions' names
    unknownName,            // %1 the name, %2 the functions' names
};

// Every message, for those that translate them all.
inline constexpr ExpressionMessage kAllExpressionMessages[] = {
    ExpressionMessage::expectedOperatorOrEnd,
    ExpressionMessage::expectedOperand,
    ExpressionMessage::expectedOperatorBefore,
    ExpressionMessage::expectedClosing,
    ExpressionMessage::expectedOpening,
    ExpressionMessage::operatorAfterExponent,
    ExpressionMessage::controlCharacter,
    ExpressionMessage::unexpectedCharacter,
    ExpressionMessage::modulusBars,
    ExpressionMessage::doubleStarPower,
    ExpressionMessage::digitsAroundPoint,
    ExpressionMessage::numberOutOfRange,
    ExpressionMessage::exponentWithoutDigits,
    ExpressionMessage::hexadecimalNumber,
    ExpressionMessage::numberWithManyI,
    ExpressionMessage::numberWithManyPoints,
    ExpressionMessage::nestsTooDeep,
    ExpressionMessage::nameNotLowerCase,
    ExpressionMessage::nameWrittenOtherwise,
    ExpressionMessage::noNaNConstant,
    ExpressionMessage::noInfinity,
    ExpressionMessage::unknownNameDidYouMean,
    ExpressionMessage::unknownName,
};

// The English form of a message, with %1, %2 and %3 where its arguments go.
const char* englishPattern(ExpressionMessage message);

// The pattern with its arguments in place. An argument naming what was
// found is empty where the text ended, and reads "the end".
std::string englishText(ExpressionMessage message, const std::vector<std::string>& arguments);

// An expression that cannot be read: where (the column, counted in
// characters from 1), what was wrong there, and the words the message
// quotes. what() is the English text.
class ExpressionError : public std::runtime_error {
public:
    ExpressionError(int column, ExpressionMessage message, std::vector<std::string> arguments);

    int column() const noexcept { return column_; }
    ExpressionMessage message() const noexcept { return message_; }
    const std::vector<std::string>& arguments() const noexcept { return arguments_; }

private:
    int column_ = 0;
    ExpressionMessage message_ = ExpressionMessage::expectedOperand;
    std::vector<std::string> arguments_;
};

}  // namespace complexplot
