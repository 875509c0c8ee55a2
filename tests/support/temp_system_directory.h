// A fresh system directory for one test: created empty, chosen with
// iZeHostSetSystemDirectory, and removed again (with the choice undone) when
// the object goes.
#pragma once

#include <zeseal/zeseal_posix.h>

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <span>
#include <string>
#include <vector>

namespace zeseal::testing {

class TempSystemDirectory {
public:
    TempSystemDirectory() {
        const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = "zeseal-system-" + std::to_string(getpid());
        if (test != nullptr) name += std::string("-") + test->name();
        for (char& c : name) {
            if (c == '/') c = '_';
        }
        path_ = std::filesystem::temp_directory_path() / name;
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
        EXPECT_EQ(iZeHostSetSystemDirectory(path_.c_str()), 0);
    }
    ~TempSystemDirectory() {
        iZeHostSetSystemDirectory(nullptr);
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempSystemDirectory(const TempSystemDirectory&) = delete;
    TempSystemDirectory& operator=(const TempSystemDirectory&) = delete;

    const std::filesystem::path& path() const { return path_; }

    void Write(const std::string& fileName, std::span<const std::uint8_t> bytes) const {
        std::ofstream out(path_ / fileName, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        ASSERT_TRUE(out.good()) << "cannot write " << (path_ / fileName);
    }

    std::vector<std::uint8_t> Read(const std::string& fileName) const {
        std::ifstream in(path_ / fileName, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

private:
    std::filesystem::path path_;
};

}  // namespace zeseal::testing
