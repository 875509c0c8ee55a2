#include "frame/diagnostics.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace zeseal::frame {
namespace {

TEST(Diagnostics, SilentUnlessAskedAndAppendedToTheNamedFile) {
    const auto file = std::filesystem::temp_directory_path() / "zeseal-diagnostics-test.log";
    std::filesystem::remove(file);
    unsetenv("ZESEAL_DIAGNOSTICS");
    EXPECT_FALSE(DiagnosticsEnabled());
    DiagnosticText("dropped\n");

    setenv("ZESEAL_DIAGNOSTICS", file.c_str(), 1);
    EXPECT_TRUE(DiagnosticsEnabled());
    DiagnosticText("first\n");
    DiagnosticText("second\n");
    unsetenv("ZESEAL_DIAGNOSTICS");
    DiagnosticText("dropped too\n");

    std::ifstream in(file);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(), "first\nsecond\n");
    std::filesystem::remove(file);
}

}  // namespace
}  // namespace zeseal::frame
