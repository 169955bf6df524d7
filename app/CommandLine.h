// String operations that turn a command line into tokens; bytes are compared exactly, with no
// locale.
#pragma once

#include <string>
#include <vector>

// Appends the tokens of `input` to `tokens`, cutting at every character of `delimiters` outside
// double quotes. Quotes are dropped and never end a token; an unbalanced quote quotes the rest.
// Every delimiter ends a token, even an empty one; an empty last token is not appended.
void split(std::vector<std::string>& tokens, const std::string& input, std::string delimiters);

// Strips blank, line feed, tab, vertical tab, carriage return and form feed from both ends of
// every token.
void trimEach(std::vector<std::string>& tokens);

// Drops the empty tokens, keeping the order of the others.
void removeEmpty(std::vector<std::string>& tokens);

// Folds A to Z to a to z; every other byte stays.
std::string toLower(std::string text);
