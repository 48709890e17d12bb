#pragma once

#include <functional>

#include "runtime_error.h"

namespace complexplot::testing {

// The number of the RuntimeError the action raises, or 0 when it raises none.
inline int errorNumberOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const RuntimeError& error) {
        return error.number();
    }
    return 0;
}

}  // namespace complexplot::testing
