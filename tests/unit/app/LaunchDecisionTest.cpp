#include "app/LaunchDecision.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Tokens = std::vector<std::string>;

TEST(CommandLineTokens, SplitsTrimsAndDropsEmpties) {
    struct Case {
        const char* commandLine;
        Tokens expected;
    };
    const Case cases[] = {
        {"", {}},
        {" \t\n  \n", {}},
        {"/p 1234", {"/p", "1234"}},
        {"  /s \t\t/c\n", {"/s", "/c"}},
        {"\"a b\" c", {"a b", "c"}},
        {"a\"\"b", {"ab"}},
        {"x \"  open  to the end  ", {"x", "open  to the end"}},
        {"\" \" z", {"z"}},
        {"\r/s\r \va\vb\f", {"/s", "a\vb"}},
        {"\"\\c\"", {"\\c"}},
        {nullptr, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.commandLine ? c.commandLine : "(null)");
        EXPECT_EQ(commandLineTokens(c.commandLine), c.expected);
    }
}

TEST(DecideLaunch, FollowsTheSwitchTable) {
    struct Case {
        const char* commandLine;
        int noRun;
        int showAbout;
    };
    const Case cases[] = {
        {"", 1, 1},      {" \t\n", 1, 1},   {"\"\"", 1, 1},        {"/s", 0, 0},
        {"/S", 0, 0},    {"-s", 0, 0},      {"hello world", 0, 0}, {"c", 0, 0},
        {"/", 0, 0},     {"\\c", 1, 1},     {"-c", 1, 1},          {"/c", 1, 1},
        {"/C", 1, 1},    {"/c:1234", 1, 1}, {"\"\\c\"", 1, 1},     {"\\p", 1, 0},
        {"\\l", 1, 0},   {"\\a", 1, 0},     {"-p", 1, 0},          {"-l", 1, 0},
        {"-a", 1, 0},    {"/p", 1, 0},      {"/l", 1, 0},          {"/a", 1, 0},
        {"/P", 1, 0},    {"/p 1234", 1, 0}, {"-preview", 1, 0},    {"/s /c", 1, 1},
        {"/c /s", 1, 1}, {"/p /c", 1, 1},   {"x /a", 1, 0},        {"|c", 0, 0},
        {"/\xc3", 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.commandLine);
        LaunchDecision decision = decideLaunch(commandLineTokens(c.commandLine));
        EXPECT_EQ(decision.noRun, c.noRun);
        EXPECT_EQ(decision.showAbout, c.showAbout);
    }
}

TEST(DecideLaunch, ATokenWithANulSecondCharacterMatchesNothing) {
    EXPECT_EQ(decideLaunch({std::string("/\0", 2)}).noRun, 0);
    EXPECT_EQ(decideLaunch({std::string("/")}).noRun, 0);
}

} // namespace
