#include "platform/WindowRules.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

TEST(WindowRules, DecidesEachEvent) {
    struct Case {
        WindowEvent event;
        WindowAction action;
    };
    const Case cases[] = {
        {WINDOW_EVENT_KEY_DOWN, WINDOW_ACTION_QUIT},
        {WINDOW_EVENT_CLOSE, WINDOW_ACTION_QUIT},
        {WINDOW_EVENT_SCREENSAVE, WINDOW_ACTION_SWALLOW},
        {WINDOW_EVENT_OTHER, WINDOW_ACTION_DEFAULT},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.event);
        GlWindow window{};
        window.mouseMovesLeft = 5;
        EXPECT_EQ(decideWindowAction(window, c.event), c.action);
        EXPECT_EQ(window.mouseMovesLeft, 5);
        EXPECT_EQ(window.quit, 0);
    }
}

TEST(WindowRules, TheFifthMouseMoveAndEveryLaterOneQuits) {
    GlWindow window{};
    window.mouseMovesLeft = 5;
    const WindowAction expected[] = {
        WINDOW_ACTION_DEFAULT, WINDOW_ACTION_DEFAULT, WINDOW_ACTION_DEFAULT, WINDOW_ACTION_DEFAULT,
        WINDOW_ACTION_QUIT,    WINDOW_ACTION_QUIT,    WINDOW_ACTION_QUIT};
    for (size_t i = 0; i < sizeof expected / sizeof expected[0]; i++) {
        SCOPED_TRACE(i + 1);
        EXPECT_EQ(decideWindowAction(window, WINDOW_EVENT_MOUSE_MOVE), expected[i]);
    }
    EXPECT_EQ(window.quit, 0);
}

TEST(WindowRules, OtherEventsBetweenMovesDoNotCount) {
    GlWindow window{};
    window.mouseMovesLeft = 5;
    for (int i = 0; i < 4; i++) {
        EXPECT_EQ(decideWindowAction(window, WINDOW_EVENT_MOUSE_MOVE), WINDOW_ACTION_DEFAULT);
        EXPECT_EQ(decideWindowAction(window, WINDOW_EVENT_OTHER), WINDOW_ACTION_DEFAULT);
        EXPECT_EQ(decideWindowAction(window, WINDOW_EVENT_SCREENSAVE), WINDOW_ACTION_SWALLOW);
    }
    EXPECT_EQ(decideWindowAction(window, WINDOW_EVENT_MOUSE_MOVE), WINDOW_ACTION_QUIT);
}

TEST(WindowRules, AMoveBeforeAnyCreateQuitsAndAnEndlessStreamKeepsQuitting) {
    GlWindow window{};
    EXPECT_EQ(decideWindowAction(window, WINDOW_EVENT_MOUSE_MOVE), WINDOW_ACTION_QUIT);
    window.mouseMovesLeft = INT_MIN + 1;
    EXPECT_EQ(decideWindowAction(window, WINDOW_EVENT_MOUSE_MOVE), WINDOW_ACTION_QUIT);
    EXPECT_EQ(decideWindowAction(window, WINDOW_EVENT_MOUSE_MOVE), WINDOW_ACTION_QUIT);
    EXPECT_EQ(window.mouseMovesLeft, INT_MIN + 1);
}

} // namespace
