// Names for the cases of parameterised tests.
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <string>

namespace zeseal::testing {

// Names a case after its `what` text, for INSTANTIATE_TEST_SUITE_P: every
// character that may not stand in a test name (all but letters and digits)
// becomes '_'.
struct CaseNameFromWhat {
    template <class Case>
    std::string operator()(const ::testing::TestParamInfo<Case>& info) const {
        std::string name = info.param.what;
        for (char& c : name) {
            if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
        }
        return name;
    }
};

}  // namespace zeseal::testing
