// The Linux entry point's reading of its arguments: the joined command line must split back into
// the same arguments by the program's own rules, and window ids must be read strictly.
#include "app/LaunchDecision.h"
#include "platform/x11/LinuxArguments.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string join(std::vector<const char*> arguments) {
    arguments.insert(arguments.begin(), "quellmoor");
    return joinArguments(static_cast<int>(arguments.size()), arguments.data());
}

TargetWindowChoice choose(std::vector<const char*> arguments, const char* environment) {
    arguments.insert(arguments.begin(), "quellmoor");
    return chooseTargetWindow(static_cast<int>(arguments.size()), arguments.data(), environment);
}

TEST(JoinArguments, JoinsWithBlanksAndQuotesWhatHoldsWhiteSpace) {
    struct Case {
        std::vector<const char*> arguments;
        std::string line;
    } cases[] = {
        {{}, ""},
        {{"/s"}, "/s"},
        {{"/p", "1234"}, "/p 1234"},
        {{"a b", "c"}, "\"a b\" c"},
        {{"tab\there"}, "\"tab\there\""},
        {{"line\nfeed"}, "\"line\nfeed\""},
        {{"x", ""}, "x \"\""},
        {{"say\"hi\""}, "sayhi"},
        {{"\"a b"}, "\"a b\""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(join(c.arguments), c.line);
    }
}

// Each argument must come back as exactly one token (quotes removed, ends trimmed): a stray quote
// inside one argument must not swallow the arguments after it.
TEST(JoinArguments, EveryArgumentSplitsBackIntoItsOwnToken) {
    const std::vector<const char*> arguments = {"/s",         "two words", "\"odd",
                                                "-window-id", "0x1a",      "tab\tinside"};
    const std::vector<std::string> tokens = commandLineTokens(join(arguments).c_str());
    const std::vector<std::string> expected = {"/s",         "two words", "odd",
                                               "-window-id", "0x1a",      "tab\tinside"};
    EXPECT_EQ(tokens, expected);
}

TEST(JoinArguments, SwitchesStillDecideAfterJoining) {
    EXPECT_EQ(decideLaunch(commandLineTokens(join({"/c:1234"}).c_str())).showAbout, 1);
    EXPECT_EQ(decideLaunch(commandLineTokens(join({"-window-id", "0x400001"}).c_str())).noRun, 0);
    EXPECT_EQ(decideLaunch(commandLineTokens(join({"-root"}).c_str())).noRun, 0);
    EXPECT_EQ(decideLaunch(commandLineTokens(join({}).c_str())).showAbout, 1);
}

TEST(ParseWindowId, ReadsDecimalAndHexAndRefusesTheRest) {
    struct Case {
        const char* text;
        unsigned long id;
    } cases[] = {
        {"4194305", 4194305},
        {"0x400001", 0x400001},
        {"0X1aBc", 0x1abc},
        {"0755", 755},
        {"4294967295", 4294967295ul},
        {"0xffffffff", 0xffffffff},
        {"4294967296", 0},
        {"0x100000000", 0},
        {"99999999999999999999999", 0},
        {"", 0},
        {"0x", 0},
        {"-5", 0},
        {"+5", 0},
        {" 5", 0},
        {"5 ", 0},
        {"12ab", 0},
        {"0x12g", 0},
        {nullptr, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(parseWindowId(c.text), c.id) << (c.text ? c.text : "(null)");
    }
}

TEST(ChooseTargetWindow, ArgumentBeatsEnvironmentAndTheLastArgumentCounts) {
    struct Case {
        std::vector<const char*> arguments;
        const char* environment;
        int requested;
        unsigned long window;
    } cases[] = {
        {{"/s"}, nullptr, 0, 0},
        {{"/s"}, "", 0, 0},
        {{"-root"}, "0x600002", 1, 0x600002},
        {{"-window-id", "0x400001"}, nullptr, 1, 0x400001},
        {{"--window-id", "77"}, nullptr, 1, 77},
        {{"-window-id", "12"}, "0x600002", 1, 12},
        {{"-window-id", "1", "-window-id", "2"}, nullptr, 1, 2},
        // Asked for but unreadable: no window, and no falling back to a full-screen run.
        {{"-window-id"}, nullptr, 1, 0},
        {{"-window-id", "bogus"}, "0x600002", 1, 0},
        {{"/s"}, "garbage", 1, 0},
        {{"-window-idx", "5"}, nullptr, 0, 0},
    };
    for (const Case& c : cases) {
        const TargetWindowChoice choice = choose(c.arguments, c.environment);
        EXPECT_EQ(choice.requested, c.requested);
        EXPECT_EQ(choice.window, c.window);
    }
}

} // namespace
