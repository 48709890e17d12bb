#pragma once

#include <stdexcept>

namespace complexplot {

// A runtime error of the program: an error number and its message, raised
// when arithmetic overflows, divides by zero or is invalid, and by anything
// else that the plot cannot recover from on its own.
class RuntimeError : public std::runtime_error {
public:
    static constexpr int kInvalidCall = 5;
    static constexpr int kOverflow = 6;
    static constexpr int kDivisionByZero = 11;

    explicit RuntimeError(int number);
    RuntimeError(int number, const std::string& message);

    int number() const noexcept { return number_; }

    // The standard English message for the numbers above.
    static const char* standardMessage(int number) noexcept;

private:
    int number_ = 0;
};

}  // namespace complexplot
