// The example printers file with the example installation's data files, for
// the printer commands' tests: the commands run on a copy, so settings can
// change.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <string>

#include "support/tool_runs.h"

namespace zeseal::tool {

class ExamplePrintersTest : public testing::ToolTest {
protected:
    explicit ExamplePrintersTest(const std::string& prefix) : ToolTest(prefix) {}
    void SetUp() override {
        std::filesystem::copy_file(std::filesystem::path(ZESEAL_EXAMPLES_DIR) / "printers.txt",
                                   dir() / "printers.txt");
        setenv("ZESEAL_SYSTEM_DIR", ZESEAL_EXAMPLE_SYSTEM_DIR, 1);
        setenv("ZESEAL_PRINTERS", Path("printers.txt").c_str(), 1);
    }
    void TearDown() override {
        unsetenv("ZESEAL_SYSTEM_DIR");
        unsetenv("ZESEAL_PRINTERS");
    }
};

}  // namespace zeseal::tool
