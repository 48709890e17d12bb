#pragma once

#include <stdexcept>

namespace complexplot {

// Bad command-line input. The message is ready for stderr: one line, or for
// an expression that cannot be read, the expression with a caret under the
// place.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Memory ran out while input was read: not a fault of the input. The
// message says what was being read.
class OutOfMemoryWhileReading : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace complexplot
