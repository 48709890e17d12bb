#pragma once

// The instruction sets the expression kernels are tested on, and how a
// parameterised test names them.

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "vector_kernels.h"

namespace complexplot {

inline std::string testNameOf(const testing::TestParamInfo<InstructionSet>& info) {
    switch (info.param) {
        case InstructionSet::avx512:
            return "AVX512";
        case InstructionSet::avx2:
            return "AVX2";
        case InstructionSet::scalar:
            break;
    }
    return "Scalar";
}

inline void PrintTo(InstructionSet instructionSet, std::ostream* out) {
    *out << nameOf(instructionSet);
}

}  // namespace complexplot
