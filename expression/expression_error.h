#pragma once

#include <stdexcept>
#include <string>

namespace complexplot {

// An expression that cannot be read: where (the column, counted in
// characters from 1) and what was expected there.
class ExpressionError : public std::runtime_error {
public:
    ExpressionError(int column, const std::string& message);

    int column() const noexcept { return column_; }

private:
    int column_ = 0;
};

}  // namespace complexplot
