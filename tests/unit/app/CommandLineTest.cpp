#include "app/CommandLine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Tokens = std::vector<std::string>;

const char DELIMITERS[] = " \t\n";

TEST(Split, CutsAtDelimitersOutsideQuotes) {
    struct Case {
        const char* name;
        std::string input;
        Tokens expected;
    };
    const Case cases[] = {
        {"empty input", "", {}},
        {"one word", "/s", {"/s"}},
        {"each delimiter cuts", "a b\tc\nd", {"a", "b", "c", "d"}},
        {"two delimiters give an empty token", "a  b", {"a", "", "b"}},
        {"a leading blank gives an empty first token", " a", {"", "a"}},
        {"one trailing blank gives nothing", "a ", {"a"}},
        {"two trailing blanks give one empty token", "a  ", {"a", ""}},
        {"carriage return, vertical tab and form feed do not cut", "a\rb\vc\fd", {"a\rb\vc\fd"}},
        {"a quoted stretch keeps its delimiters", "\"a b\" c", {"a b", "c"}},
        {"every other quote opens a stretch", "\"a b\" \"c\td\"", {"a b", "c\td"}},
        {"quotes inside a word vanish", "a\"\"b", {"ab"}},
        {"an unbalanced quote quotes the rest", "x \"a b\tc", {"x", "a b\tc"}},
        {"a quote ends nothing", "a\"b c\"d e", {"ab cd", "e"}},
        {"only quotes", "\"\"", {}},
        {"a quoted blank alone", "\" \"", {" "}},
        {"bytes from 0x80 are kept", "\xe9t\xe9 x", {"\xe9t\xe9", "x"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Tokens tokens;
        split(tokens, c.input, DELIMITERS);
        EXPECT_EQ(tokens, c.expected);
    }
}

TEST(Split, AppendsAfterWhatTheListHeld) {
    Tokens tokens = {"old"};
    split(tokens, "a b", DELIMITERS);
    EXPECT_EQ(tokens, (Tokens{"old", "a", "b"}));
}

TEST(Split, UsesTheDelimitersItIsGiven) {
    Tokens tokens;
    split(tokens, "a,b c;d", ",;");
    EXPECT_EQ(tokens, (Tokens{"a", "b c", "d"}));
}

TEST(TrimEach, StripsTheSixWhiteSpaceCharactersFromBothEnds) {
    Tokens tokens = {" a ", "\r\n\t\v\f b c \f\v\t\n\r", "d\re", "   ", "", "x", "\x85y\xa0"};
    trimEach(tokens);
    EXPECT_EQ(tokens, (Tokens{"a", "b c", "d\re", "", "", "x", "\x85y\xa0"}));
}

TEST(RemoveEmpty, DropsEmptyTokensAndKeepsTheOrder) {
    struct Case {
        Tokens input;
        Tokens expected;
    };
    const Case cases[] = {
        {{}, {}},
        {{"", "", ""}, {}},
        {{"", "a", "", "", "b", ""}, {"a", "b"}},
        {{"c", "b", "a"}, {"c", "b", "a"}},
    };
    for (const Case& c : cases) {
        Tokens tokens = c.input;
        removeEmpty(tokens);
        EXPECT_EQ(tokens, c.expected);
    }
}

TEST(ToLower, FoldsOnlyCapitalLetters) {
    std::string all;
    for (int c = 1; c < 256; c++) {
        all += static_cast<char>(c);
    }
    std::string folded = toLower(all);
    ASSERT_EQ(folded.size(), all.size());
    for (size_t i = 0; i < all.size(); i++) {
        unsigned char c = static_cast<unsigned char>(all[i]);
        unsigned char expected = (c >= 'A' && c <= 'Z') ? c + 32 : c;
        EXPECT_EQ(static_cast<unsigned char>(folded[i]), expected) << "byte " << int(c);
    }
    EXPECT_EQ(toLower(std::string("A\0B", 3)), std::string("a\0b", 3));
}

} // namespace
