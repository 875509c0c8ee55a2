// A virtual spooler file for one test: written into a fresh folder, chosen
// with iZeHostUseVirtualSpooler (or left for the code under test to choose,
// as a tool given the file's path does), and removed again (with the choice
// undone) when the object goes.
#pragma once

#include <zeseal/zeseal_posix.h>

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace zeseal::testing {

enum class PrintersFileChoice { kChosenHere, kLeftToTheTest };

class TempPrintersFile {
public:
    explicit TempPrintersFile(const std::string& text,
                              PrintersFileChoice choice = PrintersFileChoice::kChosenHere) {
        const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = "zeseal-printers-" + std::to_string(getpid());
        if (test != nullptr) name += std::string("-") + test->name();
        for (char& c : name) {
            if (c == '/') c = '_';
        }
        folder_ = std::filesystem::temp_directory_path() / name;
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
        path_ = folder_ / "printers.txt";
        Rewrite(text);
        if (choice == PrintersFileChoice::kChosenHere) {
            EXPECT_EQ(iZeHostUseVirtualSpooler(path_.c_str()), 0);
        }
    }
    ~TempPrintersFile() {
        iZeHostUseVirtualSpooler(nullptr);
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    TempPrintersFile(const TempPrintersFile&) = delete;
    TempPrintersFile& operator=(const TempPrintersFile&) = delete;

    const std::filesystem::path& path() const { return path_; }
    const std::filesystem::path& folder() const { return folder_; }

    void Rewrite(const std::string& text) const {
        std::ofstream out(path_, std::ios::binary | std::ios::trunc);
        out << text;
        ASSERT_TRUE(out.good()) << "cannot write " << path_;
    }

    std::string Text() const {
        std::ifstream in(path_, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

private:
    std::filesystem::path folder_;
    std::filesystem::path path_;
};

// Captures the diagnostic stream into a file while the object lives.
class CapturedDiagnostics {
public:
    CapturedDiagnostics() {
        file_ = std::filesystem::temp_directory_path() /
                ("zeseal-diagnostics-" + std::to_string(getpid()) + ".log");
        std::filesystem::remove(file_);
        setenv("ZESEAL_DIAGNOSTICS", file_.c_str(), 1);
    }
    ~CapturedDiagnostics() {
        unsetenv("ZESEAL_DIAGNOSTICS");
        std::error_code ignored;
        std::filesystem::remove(file_, ignored);
    }
    CapturedDiagnostics(const CapturedDiagnostics&) = delete;
    CapturedDiagnostics& operator=(const CapturedDiagnostics&) = delete;

    std::string Text() const {
        std::ifstream in(file_, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

private:
    std::filesystem::path file_;
};

}  // namespace zeseal::testing
