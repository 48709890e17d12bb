#include "expression_error.h"

namespace complexplot {

ExpressionError::ExpressionError(int column, const std::string& message)
    : std::runtime_error(message), column_(column) {}

}  // namespace complexplot
