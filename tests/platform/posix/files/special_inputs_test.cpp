// Every file the library reads by name refuses a FIFO at once, with the
// failure code of that path and a diagnostic line, instead of waiting for a
// writer that never comes.
#include <zeseal/zeseal_posix.h>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <future>
#include <string>

#include "catalogue/court_list.h"
#include "catalogue/data_file_format.h"
#include "catalogue/model_lookup.h"
#include "platform/posix/spooler/printers_file_io.h"
#include "support/temp_printers_file.h"
#include "support/temp_system_directory.h"
#include "support/test_pages.h"

namespace zeseal {
namespace {

namespace fs = std::filesystem;

// Runs call on its own thread; when it has not returned after a few seconds
// it is taken to be stuck on the FIFO, which is then opened for writing and
// closed so that the call sees its end and the test can finish.
std::int32_t CallWithWatchdog(const std::function<std::int32_t()>& call, const fs::path& fifo,
                              bool& stuck) {
    auto result = std::async(std::launch::async, call);
    stuck = result.wait_for(std::chrono::seconds(5)) != std::future_status::ready;
    if (stuck) {
        const int writer = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (writer >= 0) ::close(writer);
    }
    return result.get();
}

TEST(SpecialInputs, AFifoInPlaceOfAnyInputIsRefusedPromptly) {
    struct Case {
        const char* name;
        const char* fileName;  // in the system directory, or the printers file when null
        std::function<std::int32_t(const fs::path&)> call;
        std::int32_t expected;
    };
    const Case cases[] = {
        {"printers file, chosen", nullptr,
         [](const fs::path& p) { return std::int32_t(iZeHostUseVirtualSpooler(p.c_str())); }, -1},
        {"printers file, updated", nullptr,
         [](const fs::path& p) {
             const bool updated = platform::posix::UpdatePrintersFile(
                 p.string(), [](const platform::posix::PrintersFile&) { return std::string("x\n"); });
             return std::int32_t(updated ? 1 : 0);
         },
         0},
        {"model file", catalogue::kModelFileName,
         [](const fs::path&) { return catalogue::LookupSupportedModel("ANY"); }, catalogue::kModelFileBad},
        {"court list", catalogue::kCourtListFileName,
         [](const fs::path&) { return catalogue::LookupCourtPrinter("ANY"); },
         catalogue::kCourtListMissing},
        {"laser logo", "court_laser",
         [](const fs::path&) {
             testing::OwnedPage page(60, 20, 72);
             return iZeCourtLogoPrint(page.dc(), ZE_MODEL_CLASS_2, 0, 0, 1, 1);
         },
         ZE_COURTLOGO_FAILED},
        {"ink logo", "court_ink",
         [](const fs::path&) {
             testing::OwnedPage page(60, 20, 72);
             return iZeCourtLogoPrint(page.dc(), ZE_MODEL_CLASS_1, 0, 0, 1, 1);
         },
         ZE_COURTLOGO_FAILED},
    };
    for (const Case& c : cases) {
        testing::TempSystemDirectory dir;
        const fs::path fifo = dir.path() / (c.fileName != nullptr ? c.fileName : "printers.txt");
        ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0) << c.name;
        testing::CapturedDiagnostics diagnostics;
        bool stuck = false;
        const std::int32_t result = CallWithWatchdog([&] { return c.call(fifo); }, fifo, stuck);
        EXPECT_FALSE(stuck) << c.name << ": waited on the FIFO";
        EXPECT_EQ(result, c.expected) << c.name;
        EXPECT_NE(diagnostics.Text().find("not a regular file"), std::string::npos)
            << c.name << ": " << diagnostics.Text();
        if (c.fileName == nullptr) iZeHostUseVirtualSpooler(nullptr);
    }
}

}  // namespace
}  // namespace zeseal
