// The zeseal tool run inside the test program, as a person would type its
// command lines, and a fixture that gives each test a scratch folder for the
// files the commands read and write.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <span>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "cli.h"

namespace zeseal::testing {

struct ToolOutcome {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs "zeseal" followed by args and keeps its exit status and both streams.
inline ToolOutcome RunTool(const std::vector<std::string>& args) {
    std::vector<const char*> argv = {"zeseal"};
    for (const std::string& arg : args) argv.push_back(arg.c_str());
    std::ostringstream out;
    std::ostringstream err;
    ToolOutcome outcome;
    outcome.status = tool::RunCli(static_cast<int>(argv.size()), argv.data(), out, err);
    outcome.out = out.str();
    outcome.err = err.str();
    return outcome;
}

// RunTool with input as the standard input that "-" reads.
inline ToolOutcome RunToolWithInput(const std::vector<std::string>& args, const std::string& input) {
    std::vector<const char*> argv = {"zeseal"};
    for (const std::string& arg : args) argv.push_back(arg.c_str());
    std::istringstream in(input);
    std::ostringstream out;
    std::ostringstream err;
    ToolOutcome outcome;
    outcome.status = tool::RunCli(static_cast<int>(argv.size()), argv.data(), in, out, err);
    outcome.out = out.str();
    outcome.err = err.str();
    return outcome;
}

// A fresh folder named after the prefix, the process and the running test,
// removed again when the test ends; Run keeps what the last command wrote.
class ToolTest : public ::testing::Test {
protected:
    explicit ToolTest(const std::string& prefix) {
        const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = prefix + "-" + std::to_string(getpid());
        if (test != nullptr) name += std::string("-") + test->name();
        for (char& c : name) {
            if (c == '/') c = '_';  // parameterised tests are named "Test/Case"
        }
        dir_ = std::filesystem::temp_directory_path() / name;
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
    }
    ~ToolTest() override {
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }
    ToolTest(const ToolTest&) = delete;
    ToolTest& operator=(const ToolTest&) = delete;

    const std::filesystem::path& dir() const { return dir_; }
    std::string Path(const std::string& name) const { return (dir_ / name).string(); }

    void Write(const std::string& name, std::string_view bytes) const {
        std::ofstream out(dir_ / name, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), std::streamsize(bytes.size()));
        ASSERT_TRUE(out.good()) << "cannot write " << (dir_ / name);
    }
    void Write(const std::string& name, std::span<const std::uint8_t> bytes) const {
        Write(name, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    }
    std::vector<std::uint8_t> Read(const std::string& name) const {
        std::ifstream in(dir_ / name, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    std::string Text(const std::string& name) const {
        std::ifstream in(dir_ / name, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    int Run(const std::vector<std::string>& args) {
        last_ = RunTool(args);
        return last_.status;
    }
    std::string Out() const { return last_.out; }
    std::string Err() const { return last_.err; }

private:
    std::filesystem::path dir_;
    ToolOutcome last_;
};

}  // namespace zeseal::testing
