// "zeseal densecode decode" and "verify" on scans: the code found without a
// position, the test page's code checked, the report as JSON, and the
// overlay written when the code fails.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "cli.h"
#include "image_io.h"
#include "densecode/encoder.h"
#include "densecode/format.h"
#include "support/dense_code_scans.h"
#include "support/tool_runs.h"
#include "testpage/test_page.h"

namespace zeseal::tool {
namespace {

namespace fs = std::filesystem;
namespace dc = zeseal::densecode;

std::vector<std::uint8_t> TestPageMessage() {
    std::vector<std::uint8_t> message(dc::kDenseInputBytes, 0);
    std::copy(testpage::kDenseCodeText.begin(), testpage::kDenseCodeText.end(), message.begin());
    return message;
}

// A scan of the code of message, damaged, written as a PGM file.
void WriteScan(const fs::path& path, const std::vector<std::uint8_t>& message, const dc::testing::ScanDamage& damage) {
    const frame::HeapBlock code = dc::EncodeDenseCode(message.data());
    const dc::testing::Scan scan = dc::testing::ScanDenseCode(code.data(), damage);
    std::ofstream file(path, std::ios::binary);
    file << "P5\n" << scan.width << " " << scan.height << "\n255\n";
    file.write(reinterpret_cast<const char*>(scan.grey.data()), std::streamsize(scan.grey.size()));
}

class DenseScanCommandsTest : public testing::ToolTest {
protected:
    DenseScanCommandsTest() : ToolTest("zeseal-densecode-scan") {}
};

TEST_F(DenseScanCommandsTest, VerifyTellsTheTestPageFromOtherCodesAndDamage) {
    dc::testing::ScanDamage fair;
    fair.dpi = 600;
    fair.angleDegrees = -2;
    fair.blurSigma = 1;
    fair.noiseSigma = 8;
    fair.clutter = true;
    dc::testing::ScanDamage ruined = fair;
    ruined.saltAndPepper = 0.45;
    std::vector<std::uint8_t> other = TestPageMessage();
    other[100] = 'x';

    struct Case {
        const char* name;
        std::vector<std::uint8_t> message;
        dc::testing::ScanDamage damage;
        int status;
        const char* json;
    };
    const Case cases[] = {
        {"the test page", TestPageMessage(), fair, 0, "\"matches\":true"},
        {"another message", other, fair, 1, "\"matches\":false"},
        {"ruined", TestPageMessage(), ruined, 1, "\"decoded\":false"},
    };
    for (const Case& c : cases) {
        const fs::path scan = dir() / (std::string(c.name) + ".pgm");
        const fs::path overlay = dir() / (std::string(c.name) + "-overlay.png");
        WriteScan(scan, c.message, c.damage);
        EXPECT_EQ(Run({"densecode", "verify", scan.string(), "--dpi", "600", "--json", "--overlay", overlay.string()}),
                  c.status)
            << c.name << Out() << Err();
        EXPECT_NE(Out().find(c.json), std::string::npos) << c.name << Out();
        if (c.status == 0) {
            EXPECT_NE(Out().find("\"margin\":"), std::string::npos) << Out();
        }
        // The overlay marks the cells of a code that was found, failed or
        // not: red for the cells of a failed codeword, green for sound ones.
        if (Out().find("\"found\"") != std::string::npos) {
            ASSERT_TRUE(fs::exists(overlay)) << c.name;
            const Image marked = ReadImageFile(overlay.string());
            ASSERT_EQ(marked.channels, 3) << c.name;
            std::size_t red = 0, green = 0;
            for (std::size_t i = 0; i + 2 < marked.pixels.size(); i += 3) {
                const std::uint8_t* px = marked.pixels.data() + i;
                red += px[0] == 255 && px[1] == 0 && px[2] == 0;
                green += px[0] == 0 && px[1] == 200 && px[2] == 0;
            }
            EXPECT_EQ(red > 0, c.json == std::string("\"decoded\":false")) << c.name << ": " << red << " red";
            if (c.status == 0) {
                EXPECT_GT(green, 0u) << c.name;
            }
        }
    }
}

TEST_F(DenseScanCommandsTest, DecodeFindsTheCodeUpsideDownWithoutAPosition) {
    std::vector<std::uint8_t> message(dc::kDenseInputBytes);
    for (std::size_t i = 0; i < message.size(); ++i) message[i] = static_cast<std::uint8_t>(i * 7 + 3);
    dc::testing::ScanDamage damage;
    damage.dpi = 600;
    damage.upsideDown = true;
    damage.angleDegrees = 1;
    damage.blurSigma = 0.8;
    const fs::path scan = dir() / "upside-down.pgm";
    const fs::path bytes = dir() / "bytes.bin";
    WriteScan(scan, message, damage);
    ASSERT_EQ(Run({"densecode", "decode", scan.string(), "-o", bytes.string()}), 0) << Out() << Err();
    EXPECT_NE(Out().find("upside down"), std::string::npos) << Out();
    std::ifstream file(bytes, std::ios::binary);
    const std::vector<std::uint8_t> read((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_EQ(read, message);
}

// What the tool writes on the process's standard error while it runs with
// fd 2 on a terminal (a pseudo-terminal here) or on a plain file.
std::string StandardErrorOf(const std::vector<std::string>& args, bool terminal, int& status) {
    std::vector<const char*> argv = {"zeseal"};
    for (const std::string& arg : args) argv.push_back(arg.c_str());
    int master = -1, target = -1;
    std::FILE* file = nullptr;
    if (terminal) {
        int slave = -1;
        if (openpty(&master, &slave, nullptr, nullptr, nullptr) != 0) return "no pseudo-terminal";
        target = slave;
    } else {
        file = std::tmpfile();
        target = fileno(file);
    }
    std::fflush(stderr);
    const int saved = dup(STDERR_FILENO);
    dup2(target, STDERR_FILENO);
    std::ostringstream out;
    status = RunCli(int(argv.size()), argv.data(), out, std::cerr);
    std::cerr.flush();
    dup2(saved, STDERR_FILENO);
    close(saved);
    std::string written;
    char buffer[4096];
    if (terminal) {
        close(target);
        fcntl(master, F_SETFL, O_NONBLOCK);
        for (ssize_t n; (n = read(master, buffer, sizeof buffer)) > 0;) written.append(buffer, std::size_t(n));
        close(master);
    } else {
        std::rewind(file);
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) written.append(buffer, n);
        std::fclose(file);
    }
    return written;
}

TEST_F(DenseScanCommandsTest, ProgressShowsOnATerminalOnly) {
    dc::testing::ScanDamage damage;
    damage.dpi = 300;
    damage.angleDegrees = 1;
    const fs::path scan = dir() / "scan.pgm";
    WriteScan(scan, TestPageMessage(), damage);
    const fs::path bytes = dir() / "bytes.bin";
    const std::vector<std::string> commands[] = {
        {"densecode", "verify", scan.string()},
        {"densecode", "decode", scan.string(), "-o", bytes.string()},
    };
    for (const auto& args : commands) {
        for (const bool terminal : {true, false}) {
            int status = -1;
            const std::string written = StandardErrorOf(args, terminal, status);
            EXPECT_EQ(status, 0) << args[1] << written;
            const bool shown = written.find("zeseal: looking for the code in a") != std::string::npos;
            EXPECT_EQ(shown, terminal) << args[1] << ": " << written;
            if (terminal) {
                // The line is taken away again: it ends blank, back at its start.
                ASSERT_FALSE(written.empty());
                const std::size_t last = written.find_last_not_of(' ', written.size() - 2);
                EXPECT_EQ(written.back(), '\r') << args[1];
                EXPECT_EQ(written[last], '\r') << args[1];
            }
        }
    }
}

}  // namespace
}  // namespace zeseal::tool
