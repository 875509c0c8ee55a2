#include "seams/system_directory.h"

#include <zeseal/zeseal_posix.h>

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>

namespace zeseal::platform {
namespace {

// Restores the host's choice and the environment after each test.
class SystemDirectoryTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (const char* env = getenv("ZESEAL_SYSTEM_DIR")) saved_ = env;
    }
    void TearDown() override {
        iZeHostSetSystemDirectory(nullptr);
        if (saved_.empty()) unsetenv("ZESEAL_SYSTEM_DIR");
        else setenv("ZESEAL_SYSTEM_DIR", saved_.c_str(), 1);
    }
    std::string saved_;
};

TEST_F(SystemDirectoryTest, TheHostsChoiceComesBeforeTheEnvironmentAndTheBuiltInDefault) {
    const auto chosen = std::filesystem::temp_directory_path() / "zeseal-system-directory-test";
    std::filesystem::create_directories(chosen);
    unsetenv("ZESEAL_SYSTEM_DIR");
    const std::string builtIn = SystemDirectory();
    EXPECT_FALSE(builtIn.empty());

    setenv("ZESEAL_SYSTEM_DIR", "/opt/zeseal-data//", 1);
    EXPECT_EQ(SystemDirectory(), "/opt/zeseal-data");
    EXPECT_EQ(SystemFilePath("ZeCourtPrtChk.dat"), "/opt/zeseal-data/ZeCourtPrtChk.dat");

    ASSERT_EQ(iZeHostSetSystemDirectory((chosen.string() + "/").c_str()), 0);
    EXPECT_EQ(SystemDirectory(), chosen.string());
    EXPECT_EQ(SystemFilePath("court_ink"), chosen.string() + "/court_ink");

    ASSERT_EQ(iZeHostSetSystemDirectory(""), 0);  // back to the environment
    EXPECT_EQ(SystemDirectory(), "/opt/zeseal-data");
    unsetenv("ZESEAL_SYSTEM_DIR");
    EXPECT_EQ(SystemDirectory(), builtIn);
}

TEST_F(SystemDirectoryTest, ANameThatIsNoDirectoryIsRefusedAndChangesNothing) {
    const auto temp = std::filesystem::temp_directory_path().string();
    ASSERT_EQ(iZeHostSetSystemDirectory(temp.c_str()), 0);
    const std::string before = SystemDirectory();
    EXPECT_EQ(iZeHostSetSystemDirectory("/no/such/zeseal/directory"), -1);
    EXPECT_EQ(iZeHostSetSystemDirectory("/dev/null"), -1);
    EXPECT_EQ(SystemDirectory(), before);
}

}  // namespace
}  // namespace zeseal::platform
