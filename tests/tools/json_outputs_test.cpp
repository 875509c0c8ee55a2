// The --json outputs: each is one well-formed JSON value, with its keys, and
// a result code always travels with its meaning.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cctype>
#include <filesystem>
#include <string>
#include <vector>

#include "example_printers_fixture.h"
#include "support/tool_runs.h"

namespace zeseal::tool {
namespace {

namespace fs = std::filesystem;

// A strict JSON syntax check: true when text is exactly one value.
class JsonChecker {
public:
    explicit JsonChecker(const std::string& text) : text_(text) {}
    bool WholeValue() {
        if (!Value()) return false;
        Blanks();
        return at_ == text_.size();
    }

private:
    void Blanks() {
        while (at_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[at_]))) ++at_;
    }
    bool Take(char c) {
        Blanks();
        if (at_ < text_.size() && text_[at_] == c) {
            ++at_;
            return true;
        }
        return false;
    }
    bool Word(const char* word) {
        const std::string w(word);
        if (text_.compare(at_, w.size(), w) != 0) return false;
        at_ += w.size();
        return true;
    }
    bool String() {
        if (!Take('"')) return false;
        while (at_ < text_.size() && text_[at_] != '"') {
            if (static_cast<unsigned char>(text_[at_]) < 0x20) return false;
            if (text_[at_] == '\\') {
                ++at_;
                if (at_ >= text_.size() || std::string("\"\\/bfnrtu").find(text_[at_]) == std::string::npos) return false;
            }
            ++at_;
        }
        return Take('"');
    }
    bool Number() {
        const std::size_t start = at_;
        if (at_ < text_.size() && text_[at_] == '-') ++at_;
        while (at_ < text_.size() && std::isdigit(static_cast<unsigned char>(text_[at_]))) ++at_;
        return at_ > start && text_[at_ - 1] != '-';
    }
    bool Value() {
        Blanks();
        if (at_ >= text_.size()) return false;
        const char c = text_[at_];
        if (c == '{') return Members('}', true);
        if (c == '[') return Members(']', false);
        if (c == '"') return String();
        if (c == 't') return Word("true");
        if (c == 'f') return Word("false");
        if (c == 'n') return Word("null");
        return Number();
    }
    bool Members(char close, bool object) {
        ++at_;
        if (Take(close)) return true;
        do {
            if (object && (!String() || !Take(':'))) return false;
            if (!Value()) return false;
        } while (Take(','));
        return Take(close);
    }
    const std::string& text_;
    std::size_t at_ = 0;
};

struct JsonCase {
    const char* what;
    std::vector<std::string> args;
    int status;
    std::vector<std::string> shown;  // in the JSON
    std::string reason = {};         // on stderr
};

class JsonOutputs : public ExamplePrintersTest, public ::testing::WithParamInterface<JsonCase> {
protected:
    JsonOutputs() : ExamplePrintersTest("zeseal-json") {}
};

TEST_P(JsonOutputs, IsOneValueWithItsKeys) {
    const JsonCase& c = GetParam();
    std::vector<std::string> args = c.args;
    args.push_back("--json");
    EXPECT_EQ(Run(args), c.status) << Out() << Err();
    EXPECT_TRUE(JsonChecker(Out()).WholeValue()) << Out();
    for (const std::string& text : c.shown) EXPECT_NE(Out().find(text), std::string::npos) << text << "\n" << Out();
    if (!c.reason.empty()) {
        EXPECT_NE(Err().find(c.reason), std::string::npos) << Err();
    }
}

const std::string kSystem = ZESEAL_EXAMPLE_SYSTEM_DIR;

INSTANTIATE_TEST_SUITE_P(
    Commands, JsonOutputs,
    ::testing::Values(
        JsonCase{"printers", {"printers"}, 0,
                 {"\"reason\": \"supported\"", "\"reason\": \"unsupported-port\"", "\"reason\": \"multi-port\"",
                  "\"reason\": \"unregistered\""}},
        JsonCase{"status", {"status", "Orrin InkJet 350"}, 1,
                 {"{\"printer\": \"Orrin InkJet 350\", \"result\": {\"code\": 5030, \"meaning\": \"a printing job "
                  "is in error\"}, \"work_offline\": false}"}},
        JsonCase{"status_unknown", {"status", "Nobody"}, 1, {"\"code\": 9999, \"meaning\": "},
                 "zeseal: no printer named 'Nobody'"},
        JsonCase{"jobs", {"jobs", "Orrin InkJet 350", "Certificate"}, 0,
                 {"\"filter\": \"Certificate\", \"count\": 1, \"result\": {\"code\": 0, \"meaning\": \"success\"}",
                  "{\"id\": 201, \"document\": \"Certificate 2026-0002\", \"status\": \"JOB_STATUS_ERROR | "
                  "JOB_STATUS_PRINTING\", \"matches\": true}",
                  "\"id\": 202, \"document\": \"Family register\"", "\"matches\": false}"}},
        JsonCase{"jobs_unknown", {"jobs", "Nobody"}, 1, {"\"count\": null", "\"jobs\": null"},
                 "no printer named 'Nobody'"},
        JsonCase{"port", {"port", "Orrin InkJet 350"}, 0,
                 {"\"port\": \"USB001\", \"result\": {\"code\": 0, \"meaning\": \"success\"}"}},
        JsonCase{"port_unknown", {"port", "Nobody"}, 1, {"\"port\": null"}, "no printer named 'Nobody'"},
        JsonCase{"default", {"default"}, 0,
                 {"\"default\": \"Talvo Laser (Office)\", \"default_able\": {\"code\": 0, \"meaning\": "
                  "\"success\"}, \"any_able\": {\"code\": 0"}},
        JsonCase{"codes", {"codes", "5024", "9999"}, 0,
                 {"{\"code\": 5024, \"meaning\": \"the printer is printing\", \"detail\": null}", "\"code\": 9999"}},
        JsonCase{"all_codes", {"codes"}, 0, {"{\"code\": 0, \"meaning\": \"success\", \"detail\": null}"}},
        JsonCase{"catalogue", {"catalogue", "list", kSystem + "/ZePrintInfoCourt.dat"}, 0,
                 {"\"sound\": true", "\"entries\": [", "\"support_class\": ", "\"problems\": []"}},
        JsonCase{"catalogue_short", {"catalogue", "list", std::string(ZESEAL_EXAMPLES_DIR) + "/printers.txt"}, 1,
                 {"\"sound\": false", "{\"level\": \"error\", \"message\": "}},
        JsonCase{"courtlist", {"courtlist", "list", kSystem + "/ZeCourtPrtChk.dat"}, 0,
                 {"\"sound\": true", "\"length\": ", "\"name\": "}}),
    [](const auto& info) { return std::string(info.param.what); });

}  // namespace
}  // namespace zeseal::tool
