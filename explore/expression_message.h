#pragma once

#include <QString>

#include "expression_error.h"

namespace complexplot {

// The reader's message in the language of the window: the pattern of its
// identifier, translated where a translation is installed, with the
// arguments filled in. Without one it is the English text.
QString translatedPattern(ExpressionMessage message);
QString translatedText(const ExpressionError& error);

}  // namespace complexplot
