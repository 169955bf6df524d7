// The Linux entry point's reading of its arguments: the joined command line must split back into
// the same arguments by the program's own rules, and window ids must be read strictly.
#include "app/LaunchDecision.h"
#include "app/LinuxArguments.h"

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

LinuxOptions read(std::vector<const char*> arguments) {
    arguments.insert(arguments.begin(), "quellmoor");
    return readLinuxOptions(static_cast<int>(arguments.size()), arguments.data(), nullptr);
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

// Where the id came from and its text name it in the message when it is no window.
TEST(ChooseTargetWindow, ArgumentBeatsEnvironmentAndTheLastArgumentCounts) {
    struct Case {
        std::vector<const char*> arguments;
        const char* environment;
        int requested;
        unsigned long window;
        const char* source;
        const char* text;
    } cases[] = {
        {{"/s"}, nullptr, 0, 0, nullptr, nullptr},
        {{"/s"}, "", 0, 0, nullptr, nullptr},
        {{"-root"}, "0x600002", 1, 0x600002, "XSCREENSAVER_WINDOW", "0x600002"},
        {{"-window-id", "0x400001"}, nullptr, 1, 0x400001, "-window-id", "0x400001"},
        {{"--window-id", "77"}, nullptr, 1, 77, "--window-id", "77"},
        {{"-window-id", "12"}, "0x600002", 1, 12, "-window-id", "12"},
        {{"--window-id", "1", "-window-id", "2"}, nullptr, 1, 2, "-window-id", "2"},
        // Asked for but unreadable: no window, and no falling back to a full-screen run.
        {{"-window-id"}, nullptr, 1, 0, "-window-id", nullptr},
        {{"-window-id", "bogus"}, "0x600002", 1, 0, "-window-id", "bogus"},
        {{"-window-id", "0"}, nullptr, 1, 0, "-window-id", "0"},
        {{"/s"}, "garbage", 1, 0, "XSCREENSAVER_WINDOW", "garbage"},
        {{"-window-idx", "5"}, nullptr, 0, 0, nullptr, nullptr},
    };
    for (const Case& c : cases) {
        const TargetWindowChoice choice = choose(c.arguments, c.environment);
        EXPECT_EQ(choice.requested, c.requested);
        EXPECT_EQ(choice.window, c.window);
        EXPECT_STREQ(choice.source, c.source);
        EXPECT_STREQ(choice.text, c.text);
    }
}

TEST(ParseDelay, ReadsDigitsOnlyAndStopsAtTheMaximum) {
    struct Case {
        const char* text;
        long delay;
    } cases[] = {
        {"0", 0},
        {"30000", 30000},
        {"000020000", 20000},
        {"1000000", 1000000},
        {"1000001", 1000000},
        {"99999999999999999999999999", 1000000},
        {"", -1},
        {"-1", -1},
        {"+5", -1},
        {"5 ", -1},
        {"1e3", -1},
        {"0x10", -1},
        {nullptr, -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(parseDelay(c.text), c.delay) << (c.text ? c.text : "(null)");
    }
}

TEST(ReadLinuxOptions, TakesXScreenSaverOptionsWithOneHyphenOrTwo) {
    struct Case {
        std::vector<const char*> arguments;
        long delay;
        int fps;
        int windowed;
        int help;
        LinuxBackendRequest backend = LINUX_BACKEND_ANY;
    } cases[] = {
        {{"-root"}, LINUX_DEFAULT_DELAY_MICROSECONDS, 0, 0, 0},
        {{"--root", "--delay", "0"}, 0, 0, 0, 0},
        {{"-delay", "20000", "-fps"}, 20000, 1, 0, 0},
        {{"-window", "--fps"}, LINUX_DEFAULT_DELAY_MICROSECONDS, 1, 1, 0},
        // An unreadable value leaves the earlier one, and is not read as an option itself.
        {{"-delay", "10", "-delay", "fast"}, 10, 0, 0, 0},
        {{"-delay", "-fps"}, LINUX_DEFAULT_DELAY_MICROSECONDS, 0, 0, 0},
        // The daemon's options change nothing, and their values are not options either.
        {{"-visual", "-fps", "-install", "-root"}, LINUX_DEFAULT_DELAY_MICROSECONDS, 0, 0, 0},
        {{"-window-id", "0x40001", "-delay", "5"}, 5, 0, 0, 0},
        {{"--help"}, LINUX_DEFAULT_DELAY_MICROSECONDS, 0, 0, 1},
        {{"/s", "-help"}, LINUX_DEFAULT_DELAY_MICROSECONDS, 0, 0, 1},
        // Of the two backends the last one named counts.
        {{"--x11", "-root"}, LINUX_DEFAULT_DELAY_MICROSECONDS, 0, 0, 0, LINUX_BACKEND_X11},
        {{"-x11", "--wayland"}, LINUX_DEFAULT_DELAY_MICROSECONDS, 0, 0, 0, LINUX_BACKEND_WAYLAND},
        {{"-wayland", "-window", "--x11"},
         LINUX_DEFAULT_DELAY_MICROSECONDS,
         0,
         1,
         0,
         LINUX_BACKEND_X11},
    };
    for (const Case& c : cases) {
        const LinuxOptions options = read(c.arguments);
        EXPECT_EQ(options.delayMicroseconds, c.delay);
        EXPECT_EQ(options.showFrameRate, c.fps);
        EXPECT_EQ(options.windowed, c.windowed);
        EXPECT_EQ(options.help, c.help);
        EXPECT_EQ(options.backend, c.backend);
    }
}

// A typo must not start a full-screen run; values, switches and the rest are taken as they are.
TEST(ReadLinuxOptions, RefusesUnknownOptionsAndMissingValues) {
    EXPECT_EQ(read({"-root", "-fpsx", "---window"}).refusal, "unknown option '-fpsx'");
    EXPECT_EQ(read({"-fps", "--delay"}).refusal, "option '--delay' needs a number of microseconds");
    EXPECT_EQ(read({"/s", "-s", "-S", "\\x", "-preview", "-C:1234", "-l", "-A", "-delay", "-h",
                    "--visual", "--x", "-window-id", "-y", "-install", "--root", "-window"})
                  .refusal,
              "");
}

// XScreenSaver's options must never read as one of the program's switches, or the daemon's
// command line would end the hack or show the about box.
TEST(ReadLinuxOptions, DaemonCommandLinesRunTheScreensaver) {
    const std::vector<std::vector<const char*>> lines = {
        {"--root"},
        {"-root", "-delay", "0", "-fps"},
        {"--window", "--visual", "default", "--install"},
        {"-window-id", "0x600002", "--delay", "100000"},
    };
    for (const std::vector<const char*>& line : lines) {
        const LaunchDecision decision = decideLaunch(commandLineTokens(join(line).c_str()));
        EXPECT_EQ(decision.noRun, 0) << join(line);
    }
}

} // namespace
