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

// A test run once on each set: the scalar one everywhere, a vector one
// only where this processor has it (skipped, saying so, elsewhere).
class OnEachInstructionSet : public testing::TestWithParam<InstructionSet> {
protected:
    void SetUp() override {
        if (vectorKernelsFor(GetParam()) == nullptr && GetParam() != InstructionSet::scalar) {
            GTEST_SKIP() << "this processor has no " << nameOf(GetParam());
        }
    }
};

inline void PrintTo(InstructionSet instructionSet, std::ostream* out) {
    *out << nameOf(instructionSet);
}

}  // namespace complexplot
