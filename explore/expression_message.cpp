#include "expression_message.h"

#include <QCoreApplication>

namespace complexplot {

// The patterns repeat the reader's English ones word for word (a test
// holds them to it), so that the text is the same where no translation is
// installed; written out here, so that Qt's tools find them to translate.
QString translatedPattern(ExpressionMessage message) {
    switch (message) {
        case ExpressionMessage::expectedOperatorOrEnd:
            return QCoreApplication::translate("ExpressionMessage",
                                               "expected an operator or the end, not %1");
        case ExpressionMessage::expectedOperand:
            return QCoreApplication::translate("ExpressionMessage",
                                               "expected a number, a name or '(', not %1");
        case ExpressionMessage::expectedOperatorBefore:
            return QCoreApplication::translate(
                "ExpressionMessage", "expected an operator before %1: for a product write %2");
        case ExpressionMessage::expectedClosing:
            return QCoreApplication::translate(
                "ExpressionMessage", "expected ')' to close the '(' at column %1, not %2");
        case ExpressionMessage::expectedOpening:
            return QCoreApplication::translate("ExpressionMessage",
                                               "expected '(' after %1, not %2");
        case ExpressionMessage::operatorAfterExponent:
            return QCoreApplication::translate(
                "ExpressionMessage",
                "expected an operator after the exponent %1, before %2: an exponent that is a "
                "product goes in parentheses, as in %3");
        case ExpressionMessage::controlCharacter:
            return QCoreApplication::translate("ExpressionMessage", "unexpected control character");
        case ExpressionMessage::unexpectedCharacter:
            return QCoreApplication::translate("ExpressionMessage", "unexpected character %1");
        case ExpressionMessage::modulusBars:
            return QCoreApplication::translate(
                "ExpressionMessage", "unexpected character '|': for the modulus write %1");
        case ExpressionMessage::doubleStarPower:
            return QCoreApplication::translate(
                "ExpressionMessage", "unexpected '*': a power is written with ^, as in %1");
        case ExpressionMessage::digitsAroundPoint:
            return QCoreApplication::translate("ExpressionMessage", "expected digits around '.'");
        case ExpressionMessage::numberOutOfRange:
            return QCoreApplication::translate(
                "ExpressionMessage", "the number %1 is out of the range of double precision");
        case ExpressionMessage::exponentWithoutDigits:
            return QCoreApplication::translate(
                "ExpressionMessage",
                "the number %1 has no digits in its exponent: write them, as in %2");
        case ExpressionMessage::hexadecimalNumber:
            return QCoreApplication::translate(
                "ExpressionMessage",
                "the number %1 is hexadecimal, which is not read here: write it in decimal");
        case ExpressionMessage::numberWithManyI:
            return QCoreApplication::translate(
                "ExpressionMessage",
                "the number %1 has more than one i: an imaginary number takes one, as in %2");
        case ExpressionMessage::numberWithManyPoints:
            return QCoreApplication::translate("ExpressionMessage",
                                               "the number %1 has more than one decimal point");
        case ExpressionMessage::nestsTooDeep:
            return QCoreApplication::translate("ExpressionMessage",
                                               "the expression nests deeper than %1 levels");
        case ExpressionMessage::nameNotLowerCase:
            return QCoreApplication::translate("ExpressionMessage",
                                               "unknown name %1: names are lower case, write %2");
        case ExpressionMessage::nameWrittenOtherwise:
            return QCoreApplication::translate("ExpressionMessage",
                                               "unknown name %1: for %2(z) write %3");
        case ExpressionMessage::noNaNConstant:
            return QCoreApplication::translate("ExpressionMessage",
                                               "unknown name %1: the language has no NaN constant");
        case ExpressionMessage::noInfinity:
            return QCoreApplication::translate("ExpressionMessage",
                                               "unknown name %1: the language has no infinity");
        case ExpressionMessage::unknownNameDidYouMean:
            return QCoreApplication::translate(
                "ExpressionMessage",
                "unknown name %1: did you mean %2? the known names are z, i, pi, e and the "
                "functions %3");
        case ExpressionMessage::unknownName:
            return QCoreApplication::translate(
                "ExpressionMessage",
                "unknown name %1: the known names are z, i, pi, e and the functions %2");
    }
    return {};
}

QString translatedText(const ExpressionError& error) {
    // Filled in one pass, so that an argument holding "%1" (a quoted piece
    // of what was typed) is never filled in again.
    const QString pattern = translatedPattern(error.message());
    QString text;
    for (qsizetype k = 0; k < pattern.size(); ++k) {
        const QChar next = k + 1 < pattern.size() ? pattern[k + 1] : QChar();
        if (pattern[k] == QLatin1Char('%') && next >= QLatin1Char('1') &&
            next <= QLatin1Char('9')) {
            const auto index = static_cast<std::size_t>(next.unicode() - u'1');
            if (index < error.arguments().size()) {
                const std::string& argument = error.arguments()[index];
                text += argument.empty()
                            ? QCoreApplication::translate("ExpressionMessage", "the end")
                            : QString::fromStdString(argument);
            }
            ++k;
        } else {
            text += pattern[k];
        }
    }
    return text;
}

}  // namespace complexplot
