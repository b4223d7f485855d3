#include <gtest/gtest.h>

#include <algorithm>

#include "app/update_check.h"
#include "fakes/fake_platform.h"

namespace vexmora {
namespace {

using namespace std::string_literals;
using fakes::FakeSystem;

const Text site = VEXMORA_UPDATE_HOST;

struct Case {
    const char* what;
    bool fetched;
    int status;
    std::string body;
    bool opens;
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.what; }

class UpdateCheckCases : public ::testing::TestWithParam<Case> {};

TEST_P(UpdateCheckCases, OpensTheDownloadPageOnlyForAnotherVersionText) {
    const Case& c = GetParam();
    FakeSystem system;
    system.network.response = HttpResponse{c.fetched, c.status, c.body};
    system.program.checkForUpdate();

    const auto gets = std::count_if(system.log.begin(), system.log.end(),
                                    [](const std::string& e) { return e.rfind("httpGet ", 0) == 0; });
    EXPECT_EQ(gets, 1);
    EXPECT_EQ(system.log.front(), "httpGet " + site + "/qmv/DRT.dll");
    if (c.opens)
        EXPECT_EQ(system.network.opened, std::vector<Text>{"http://" + site + "/qmv"});
    else
        EXPECT_TRUE(system.network.opened.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Bodies, UpdateCheckCases,
    ::testing::Values(
        Case{"same text", true, 200, "2", false},
        Case{"line break after", true, 200, "2\n", true},
        Case{"crlf after", true, 200, "2\r\n", true},
        Case{"space before", true, 200, " 2", true},
        Case{"newer", true, 200, "3", true},
        Case{"longer", true, 200, "22", true},
        Case{"empty body", true, 200, "", true},
        Case{"nul then junk", true, 200, "2\0junk\0"s, false},
        Case{"nul then a long tail", true, 200, "2\0"s + std::string(6000, 'x'), false},
        Case{"nul first", true, 200, "\0"s "2", true},
        Case{"body at the bound without nul", true, 200, std::string(versionBodyBound, '2'), true},
        Case{"not found with our text", true, 404, "2", false},
        Case{"not found with a page", true, 404, "<html>not here</html>", false},
        Case{"server error", true, 500, "3", false},
        Case{"redirect status", true, 302, "3", false},
        Case{"no response", false, 0, "", false},
        Case{"no response whatever the body", false, 200, "3", false}),
    [](const ::testing::TestParamInfo<Case>& info) {
        std::string name = info.param.what;
        std::replace(name.begin(), name.end(), ' ', '_');
        return name;
    });

TEST(UpdateCheck, ComparesWithTheEditBoxTextByteForByte) {
    FakeSystem system;
    system.windows.versionText = "版本2";  // GBK bytes
    system.network.response = {true, 200, "版本2"};
    system.program.checkForUpdate();
    EXPECT_TRUE(system.network.opened.empty());

    system.network.response = {true, 200, "版本3"};
    system.program.checkForUpdate();
    EXPECT_EQ(system.network.opened.size(), 1u);

    // An empty local text equals an empty body.
    system.windows.versionText = "";
    system.network.response = {true, 200, "\0tail"s};
    system.program.checkForUpdate();
    EXPECT_EQ(system.network.opened.size(), 1u);
}

TEST(UpdateCheck, ReadsABoundThatCannotChangeTheOutcome) {
    FakeSystem system;
    system.network.response = {true, 200, "2"};
    system.program.checkForUpdate();
    EXPECT_EQ(system.network.lastMaxBodyBytes, versionBodyBound);

    // A local text as long as the bound: one byte more is read, so a body
    // that merely starts with it still differs.
    const Text longLocal(versionBodyBound, 'v');
    system.windows.versionText = longLocal;
    system.network.response = {true, 200, longLocal + "v"};
    system.program.checkForUpdate();
    EXPECT_EQ(system.network.lastMaxBodyBytes, versionBodyBound + 1);
    EXPECT_EQ(system.network.opened.size(), 1u);
}

TEST(UpdateCheck, RunsFirstAndStillRunsForASecondCopy) {
    FakeSystem system;
    system.seedUsableSettings();
    system.process.anotherCopyRunning = true;
    system.network.response = {true, 200, "3"};
    EXPECT_FALSE(system.start());
    const std::vector<std::string> expected = {"httpGet " + site + "/qmv/DRT.dll", "openUrl http://" + site + "/qmv",
                                               "acquireInstanceMutex 516756", "orderlyExit 0"};
    EXPECT_EQ(system.log, expected);
}

TEST(UpdateCheck, AFailedFetchLetsTheStartUpGoOn) {
    FakeSystem system;
    system.seedUsableSettings();
    system.network.response = {};
    ASSERT_TRUE(system.start());
    EXPECT_TRUE(system.network.opened.empty());
    EXPECT_TRUE(system.windows.bar.visible);
    EXPECT_EQ(system.windows.timerPeriod, 1000);
}

TEST(RemoteVersionText, StopsAtTheFirstNul) {
    EXPECT_EQ(remoteVersionText(""), "");
    EXPECT_EQ(remoteVersionText("2"), "2");
    EXPECT_EQ(remoteVersionText("2\0" "3\0"s), "2");
    EXPECT_EQ(remoteVersionText("\0"s), "");
}

TEST(ParseHostPort, SplitsAnOptionalPort) {
    struct Row {
        const char* text;
        std::optional<std::pair<const char*, unsigned>> parsed;
    };
    const Row rows[] = {
        {"update.vexmora.invalid", std::pair{"update.vexmora.invalid", 80u}},
        {"127.0.0.1:18480", std::pair{"127.0.0.1", 18480u}},
        {"h:1", std::pair{"h", 1u}},
        {"h:65535", std::pair{"h", 65535u}},
        {"h:080", std::pair{"h", 80u}},
        {"", std::nullopt},
        {":80", std::nullopt},
        {"h:", std::nullopt},
        {"h:0", std::nullopt},
        {"h:65536", std::nullopt},
        {"h:999999", std::nullopt},
        {"h:8o", std::nullopt},
        {"h:-1", std::nullopt},
        {"h:80:81", std::nullopt},
        {"::1", std::nullopt},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        const std::optional<HostPort> got = parseHostPort(row.text);
        ASSERT_EQ(got.has_value(), row.parsed.has_value());
        if (!got) continue;
        EXPECT_EQ(got->host, row.parsed->first);
        EXPECT_EQ(got->port, row.parsed->second);
    }
}

}  // namespace
}  // namespace vexmora
