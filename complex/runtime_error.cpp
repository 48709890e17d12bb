#include "runtime_error.h"

namespace complexplot {

RuntimeError::RuntimeError(int number) : RuntimeError(number, standardMessage(number)) {}

RuntimeError::RuntimeError(int number, const std::string& message)
    : std::runtime_error(message), number_(number) {}

const char* RuntimeError::standardMessage(int number) noexcept {
    switch (number) {
        case kInvalidCall:
            return "Invalid procedure call or argument";
        case kOverflow:
            return "Overflow";
        case kDivisionByZero:
            return "Division by zero";
        default:
            return "Application-defined or object-defined error";
    }
}

}  // namespace complexplot
