// split, trimEach, removeEmpty and toLower over arbitrary bytes, and the command-line decision
// built on them. The first byte's low three bits give how many delimiters follow it; the rest is
// the text.
#include "FuzzCheck.h"
#include "app/CommandLine.h"
#include "app/LaunchDecision.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using Tokens = std::vector<std::string>;

const char WHITE_SPACE[] = " \n\t\v\r\f";

bool isWhiteSpace(char c) {
    return c != '\0' && std::string(WHITE_SPACE).find(c) != std::string::npos;
}

Tokens splitAlone(const std::string& text, const std::string& delimiters) {
    Tokens tokens;
    split(tokens, text, delimiters);
    return tokens;
}

Tokens concatenated(Tokens head, const Tokens& tail) {
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

void checkSplit(const std::string& text, const std::string& delimiters) {
    // What the list held stays, in front.
    Tokens tokens = {"held"};
    split(tokens, text, delimiters);
    fuzzCheck(!tokens.empty() && tokens[0] == "held", "split appends");
    tokens.erase(tokens.begin());

    size_t quotes = 0;
    size_t cutters = 0;
    for (char c : text) {
        quotes += c == '"';
        cutters += delimiters.find(c) != std::string::npos;
    }
    size_t kept = 0;
    for (const std::string& token : tokens) {
        fuzzCheck(token.find('"') == std::string::npos, "quotes never reach a token");
        kept += token.size();
    }
    fuzzCheck(kept + quotes <= text.size(), "split adds no characters");

    // Without quotes every delimiter cuts: the tokens are the text without its delimiters.
    if (quotes == 0) {
        std::string joined;
        for (const std::string& token : tokens) {
            fuzzCheck(token.find_first_of(delimiters) == std::string::npos,
                      "no delimiter outside quotes reaches a token");
            joined += token;
        }
        std::string stripped;
        for (char c : text) {
            if (delimiters.find(c) == std::string::npos) {
                stripped += c;
            }
        }
        fuzzCheck(joined == stripped, "the tokens are the text less its delimiters");
        const bool lastPiece = !text.empty() && delimiters.find(text.back()) == std::string::npos;
        fuzzCheck(tokens.size() == cutters + (lastPiece ? 1 : 0),
                  "every delimiter ends one token, and a last non-empty piece is one more");
        const Tokens quoted = splitAlone("\"" + text + "\"", delimiters);
        fuzzCheck(quoted == (text.empty() ? Tokens{} : Tokens{text}),
                  "quoting the whole text makes it one token");
    }
    if (cutters == 0) {
        std::string unquoted = text;
        unquoted.erase(std::remove(unquoted.begin(), unquoted.end(), '"'), unquoted.end());
        fuzzCheck(tokens == (unquoted.empty() ? Tokens{} : Tokens{unquoted}),
                  "text without delimiters is one token less its quotes");
    }

    // After a delimiter outside quotes splitting starts afresh: cutting the text there changes
    // nothing. The first and the last such place are tried.
    size_t firstCut = std::string::npos;
    size_t lastCut = std::string::npos;
    size_t seenQuotes = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '"') {
            seenQuotes++;
        } else if (seenQuotes % 2 == 0 && delimiters.find(text[i]) != std::string::npos) {
            firstCut = std::min(firstCut, i);
            lastCut = i;
        }
    }
    for (size_t cut : {firstCut, lastCut}) {
        if (cut != std::string::npos) {
            fuzzCheck(tokens == concatenated(splitAlone(text.substr(0, cut + 1), delimiters),
                                             splitAlone(text.substr(cut + 1), delimiters)),
                      "splitting restarts after a delimiter outside quotes");
        }
    }
}

void checkTrimEach(const Tokens& original) {
    Tokens trimmed = original;
    trimEach(trimmed);
    fuzzCheck(trimmed.size() == original.size(), "trimEach keeps every token");
    for (size_t i = 0; i < trimmed.size(); ++i) {
        const std::string& token = trimmed[i];
        fuzzCheck(token.empty() || (!isWhiteSpace(token.front()) && !isWhiteSpace(token.back())),
                  "no white space is left at either end");
        // The token sits in the original between stretches of white space only.
        const std::string& before = original[i];
        const size_t at = token.empty() ? before.size() : before.find(token);
        fuzzCheck(at != std::string::npos && at + token.size() <= before.size(),
                  "a trimmed token is part of its original");
        const std::string outside = before.substr(0, at) + before.substr(at + token.size());
        fuzzCheck(std::all_of(outside.begin(), outside.end(), isWhiteSpace),
                  "only white space is removed");
    }
    Tokens again = trimmed;
    trimEach(again);
    fuzzCheck(again == trimmed, "trimming twice changes nothing");
}

void checkRemoveEmpty(const Tokens& original) {
    Tokens kept = original;
    removeEmpty(kept);
    fuzzCheck(
        std::none_of(kept.begin(), kept.end(), [](const std::string& t) { return t.empty(); }),
        "no empty token is left");
    // The tokens left are the non-empty ones, in their order.
    size_t next = 0;
    for (const std::string& token : original) {
        if (!token.empty()) {
            fuzzCheck(next < kept.size() && kept[next] == token,
                      "non-empty tokens keep their order");
            next++;
        }
    }
    fuzzCheck(next == kept.size(), "nothing is added");
}

void checkToLower(const std::string& text) {
    const std::string folded = toLower(text);
    fuzzCheck(folded.size() == text.size(), "folding keeps the length");
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        fuzzCheck(folded[i] == ((c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c),
                  "only A to Z fold");
    }
}

void checkDecision(const std::string& text) {
    // The program sees the command line as a C string: it ends at the first NUL.
    const Tokens tokens = commandLineTokens(text.c_str());
    for (const std::string& token : tokens) {
        fuzzCheck(!token.empty() && !isWhiteSpace(token.front()) && !isWhiteSpace(token.back()) &&
                      token.find('"') == std::string::npos,
                  "command-line tokens are trimmed, unquoted and not empty");
    }
    const LaunchDecision decision = decideLaunch(tokens);
    fuzzCheck(!decision.showAbout || decision.noRun, "the about box never comes with a run");
    fuzzCheck(!tokens.empty() || (decision.noRun && decision.showAbout),
              "an empty command line shows the about box");
    const bool anySwitchLike = std::any_of(tokens.begin(), tokens.end(), [](const std::string& t) {
        return t.size() >= 2 && (t[0] == '/' || t[0] == '-' || t[0] == '\\');
    });
    fuzzCheck(tokens.empty() || !decision.noRun || anySwitchLike, "only a switch stops the run");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    const size_t delimiterCount = std::min<size_t>(data[0] & 7u, size - 1);
    const std::string delimiters(reinterpret_cast<const char*>(data + 1), delimiterCount);
    const std::string text(reinterpret_cast<const char*>(data + 1 + delimiterCount),
                           size - 1 - delimiterCount);

    checkSplit(text, delimiters);
    // Tokens with white space and empty ones inside, to trim and to drop.
    Tokens pieces;
    split(pieces, text, delimiters);
    pieces.push_back(text);
    checkTrimEach(pieces);
    trimEach(pieces);
    checkRemoveEmpty(pieces);
    checkToLower(text);
    checkDecision(text);
    return 0;
}
